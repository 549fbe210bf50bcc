// The main window on COM1 with a simulated reader behind it: the memory operations run through
// the real line map, I2C master and block transfers against a line-level simulated memory. The
// dialogs also note what the window shows while each message box is up.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QProgressBar>

#include "main_window_fixture.h"
#include "sim/sim_port.h"

namespace keldar::ui::testing {

// What the window showed while a message box was up.
struct WindowLook {
  int barValue = 0;
  int barMaximum = 0;
  QString status;
  QColor statusBackground;
  bool powered = false;  // the memory's supply
};

class SnoopingDialogs : public RecordingDialogs {
 public:
  std::function<void()> onMessage;
  int ShowMessage(const QString& text, const QString& caption, uint32_t flags) override {
    if (onMessage) onMessage();
    return RecordingDialogs::ShowMessage(text, caption, flags);
  }
};

// The reader as the window gets it, with a hook called after each of its port calls, on the
// thread that makes them (an operation's worker): a fault can land between two bus phases.
class HookedReader final : public ControlPort {
 public:
  explicit HookedReader(std::unique_ptr<sim::SimulatedReader> reader)
      : reader_(std::move(reader)) {}
  bool SetLine(OutputLine line, bool asserted) override {
    const bool result = reader_->SetLine(line, asserted);
    if (afterCall) afterCall();
    return result;
  }
  bool ReadInputs(InputLevels& levels) override {
    const bool result = reader_->ReadInputs(levels);
    if (afterCall) afterCall();
    return result;
  }
  void Sleep(uint32_t milliseconds) override { reader_->Sleep(milliseconds); }
  std::function<void()> afterCall;

 private:
  std::unique_ptr<sim::SimulatedReader> reader_;
};

class SimWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    auto recorder = std::make_unique<SnoopingDialogs>();
    snooper = recorder.get();
    dialogs = recorder.get();
    PortOpener opener = [this](int number) -> std::unique_ptr<ControlPort> {
      if (number != 1) return nullptr;
      std::string error;
      auto port = sim::OpenSimulatedPort(device, error);
      EXPECT_NE(port, nullptr) << error;
      if (port == nullptr) return nullptr;
      reader = port.get();
      auto hooked = std::make_unique<HookedReader>(std::move(port));
      hooked_ = hooked.get();
      return hooked;
    };
    program = std::make_unique<Program>(ProgramOptions{std::move(opener), std::move(recorder)});
    form = &program->form1();
    snooper->onMessage = [this] { looks.push_back(Look()); };
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QObject::connect(form->ProgressBar, &QProgressBar::valueChanged,
                     [this](int value) { bar.push_back(value); });
  }

  // Opens COM1 with a simulated reader described by `device` ("sim:24C02,cycle=0").
  void Fit(const std::string& deviceString) {
    device = deviceString;
    Trigger("OptionCOM1");
    ASSERT_NE(reader, nullptr);
    ASSERT_EQ(form->portNumber, 1);
  }
  // Chooses the memory type in the memory menu.
  void Choose(int32_t typeIndex) {
    const auto& name = kMemoryTypes[static_cast<size_t>(typeIndex)].menuItem;
    Trigger(std::string(name).c_str());
    ASSERT_EQ(form->currentMemory.typeIndex, typeIndex);
  }
  // Runs a memory command whose message box the user closes with OK; returns that box.
  Prompt Run(const char* action) {
    dialogs->AnswerNextMessage(kIdOk);
    const size_t before = dialogs->prompts().size();
    bar.clear();
    Trigger(action);
    EXPECT_EQ(dialogs->prompts().size(), before + 1) << action;
    if (dialogs->prompts().size() != before + 1) return {};
    return dialogs->prompts().back();
  }
  // A read that succeeds shows no box.
  void ReadWithoutMessage() {
    const size_t before = dialogs->prompts().size();
    bar.clear();
    Trigger("OptionLire");
    ASSERT_EQ(dialogs->prompts().size(), before);
  }

  std::vector<uint8_t> Memory() const {
    const auto cells = reader->memory();
    return {cells.begin(), cells.end()};
  }
  std::vector<uint8_t> BufferStart(uint32_t count) const {
    return {form->buffer.begin(), form->buffer.begin() + count};
  }
  // Fills the first `count` bytes of the buffer with a pattern that differs from type to type.
  void FillBuffer(uint32_t count, uint32_t seed) {
    for (uint32_t i = 0; i < count; ++i)
      form->buffer[i] = static_cast<uint8_t>((i * 7u + seed * 31u + (i >> 8)) & 0xFF);
  }

  // Runs `hook` after each port call of the reader, on the operation's own thread.
  void AfterEachCall(std::function<void()> hook) { hooked_->afterCall = std::move(hook); }

  WindowLook Look() const {
    return {form->ProgressBar->value(), form->ProgressBar->maximum(), form->StaticTextInfo->text(),
            form->StaticTextInfo->palette().color(QPalette::Window),
            reader != nullptr && reader->valim()};
  }
  // The idle look every operation returns to.
  void ExpectIdle() {
    EXPECT_EQ(form->ProgressBar->value(), 0);
    EXPECT_TRUE(form->StaticTextInfo->text().isEmpty());
    const QPalette palette = form->StaticTextInfo->palette();
    EXPECT_EQ(palette.color(QPalette::Window), palette.color(QPalette::Button));
    EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1);
    EXPECT_FALSE(reader->valim()) << "the memory is left powered";
  }

  std::string device = "sim:24C16";
  sim::SimulatedReader* reader = nullptr;  // valid while COM1 is open
  HookedReader* hooked_ = nullptr;
  SnoopingDialogs* snooper = nullptr;
  std::vector<WindowLook> looks;  // one per message box
  std::vector<int> bar;           // the bar's values since the last command
};

inline const QColor kNavy(0, 0, 128);

}  // namespace keldar::ui::testing
