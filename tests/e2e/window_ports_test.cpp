// The main window's port menu over real device paths: the device each port number names is
// opened by the real POSIX backend, and the syscall shim answers it with a simulated reader.
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTimer>
#include <QTimerEvent>

#include "devices/open_device.h"
#include "fixtures/machine_tree.h"
#include "shim_session.h"
#include "ui/Keldaru1.h"
#include "ui/port_opener.h"
#include "ui/program.h"
#include "ui/user_dialogs.h"

namespace keldar::e2e {
namespace {

constexpr const char* kPort0 = "/dev/ttyKELDAR0";

// Message boxes are answered OK and recorded; any other prompt has no business here.
class MessageRecorder : public ui::UserDialogs {
 public:
  int ShowMessage(const QString& text, const QString& caption, uint32_t) override {
    messages.push_back(caption + QStringLiteral("|") + text);
    return ui::kIdOk;
  }
  std::optional<ui::FileDialogAnswer> ChooseOpenFile(const ui::FileDialogRequest&) override {
    ADD_FAILURE() << "unexpected open dialog";
    return std::nullopt;
  }
  std::optional<ui::FileDialogAnswer> ChooseSaveFile(const ui::FileDialogRequest&) override {
    ADD_FAILURE() << "unexpected save dialog";
    return std::nullopt;
  }
  void Beep(uint32_t) override {}
  void ShowModal(QDialog&) override { ADD_FAILURE() << "unexpected modal window"; }

  std::vector<QString> messages;
};

class WindowPortsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ShimSession::ShimLoaded()) << "not running under the syscall shim";
  }
  void TearDown() override { program_.reset(); }

  static void MapPort(int port, const std::string& device) {
    ::setenv(("KELDAR_COM" + std::to_string(port)).c_str(), device.c_str(), 1);
  }
  void Start() {
    auto recorder = std::make_unique<MessageRecorder>();
    dialogs_ = recorder.get();
    program_ = std::make_unique<ui::Program>(ui::ProgramOptions{{}, std::move(recorder)});
    form_ = &program_->form1();
  }
  void Trigger(const char* name) {
    QAction* action = form_->findChild<QAction*>(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    ASSERT_TRUE(action->isEnabled()) << name << " is unavailable";
    action->trigger();
  }
  QString Message() const { return form_->EditMessPort->text(); }

  std::unique_ptr<ui::Program> program_;
  ui::TForm1* form_ = nullptr;
  MessageRecorder* dialogs_ = nullptr;
};

using Lines = std::vector<std::string>;

TEST_F(WindowPortsTest, OpeningCom1PowersTheReaderOffOnceAndChoosingItAgainCallsNothing) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16");
  MapPort(1, kPort0);
  Start();
  Trigger("OptionCOM1");
  EXPECT_EQ(form_->portNumber, 1);
  Trigger("OptionCOM1");
  EXPECT_EQ(form_->portNumber, 1);
  Trigger("OptionNoCOM");  // closes the device: the shim writes its counts
  EXPECT_EQ(
      shim.Trace(),
      (Lines{"open /dev/ttyKELDAR0", "TIOCEXCL", "flock LOCK_EX", "TIOCMGET CTS", "TCGETS",
             // Valim, SCL, SDA low under the standard map, then the rest
             "TIOCCBRK", "TIOCMBIC RTS", "TIOCMBIC DTR", "sleep 20", "close /dev/ttyKELDAR0"}));
  EXPECT_EQ(shim.Count("ioctl"), 6U);
  EXPECT_EQ(shim.Count("other"), 0U);
}

TEST_F(WindowPortsTest, ThePowerOffOnOpeningFollowsTheLineMap) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16");
  MapPort(2, kPort0);
  Start();
  form_->lineMap.ApplyInSituPreset();
  Trigger("OptionCOM2");
  EXPECT_EQ(form_->portNumber, 2);
  Trigger("OptionNoCOM");
  // The adapter's transistors invert SCL and SDA: logical 0 is the line asserted.
  EXPECT_EQ(shim.Trace(), (Lines{"open /dev/ttyKELDAR0", "TIOCEXCL", "flock LOCK_EX",
                                 "TIOCMGET CTS", "TCGETS", "TIOCCBRK", "TIOCMBIS RTS",
                                 "TIOCMBIS DTR", "sleep 20", "close /dev/ttyKELDAR0"}));
}

TEST_F(WindowPortsTest, ADeviceHeldByAnotherProgramIsUnavailableUntilReleased) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16");
  MapPort(1, kPort0);
  Start();
  auto other = OpenDevice(kPort0).port;  // another program holds the reader
  ASSERT_NE(other, nullptr);
  Trigger("OptionCOM1");
  EXPECT_EQ(form_->portNumber, 0);
  EXPECT_EQ(Message(), QStringLiteral(" Le COM1 est indisponible !"));
  EXPECT_TRUE(form_->findChild<QAction*>(QStringLiteral("OptionNoCOM"))->isChecked());
  EXPECT_EQ(shim.Count("refused"), 1U);
  // Why, on the status line at once and as the message's tooltip, which outlives the message.
  const QString why = QStringLiteral("Utilisé par un autre programme.");
  EXPECT_EQ(form_->StaticTextInfo->text(), QStringLiteral("Port déjà utilisé"));
  EXPECT_EQ(form_->EditMessPort->toolTip(), why);
  QTimerEvent expiry(form_->Timer1->timerId());
  QCoreApplication::sendEvent(form_->Timer1, &expiry);
  EXPECT_EQ(Message(), QStringLiteral(" Choisissez le port série..."));
  EXPECT_EQ(form_->EditMessPort->toolTip(), why);

  other.reset();
  Trigger("OptionCOM1");
  EXPECT_EQ(form_->portNumber, 1);
  EXPECT_TRUE(form_->EditMessPort->toolTip().isEmpty());
  EXPECT_TRUE(form_->StaticTextInfo->text().isEmpty());
  EXPECT_TRUE(dialogs_->messages.empty());
}

// A serial port with no UART behind it (most PCs' ttyS1..3) opens, but its status cannot be
// read: it is unavailable like a missing one, and nothing more is sent to it.
TEST_F(WindowPortsTest, APortWithNoUartIsUnavailableAndGetsNothingAfterTheStatusRead) {
  ShimSession shim(std::string(kPort0) + "=phantom");
  MapPort(2, kPort0);
  Start();
  Trigger("OptionCOM2");
  EXPECT_EQ(form_->portNumber, 0);
  EXPECT_EQ(Message(), QStringLiteral(" Le COM2 est indisponible !"));
  EXPECT_TRUE(form_->Timer1->isActive());
  EXPECT_EQ(shim.Trace(), (Lines{"open /dev/ttyKELDAR0", "TIOCEXCL", "flock LOCK_EX",
                                 "TIOCMGET EIO", "close /dev/ttyKELDAR0"}));
}

TEST_F(WindowPortsTest, AMissingDeviceIsUnavailableAndThePromptReturns) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16");
  MapPort(1, kPort0);
  MapPort(3, "/dev/ttyKELDAR9");  // no such device
  Start();
  Trigger("OptionCOM1");
  ASSERT_EQ(form_->portNumber, 1);
  Trigger("OptionCOM3");
  EXPECT_EQ(form_->portNumber, 0);
  EXPECT_EQ(Message(), QStringLiteral(" Le COM3 est indisponible !"));
  // COM1 was released before COM3 was tried.
  ASSERT_FALSE(shim.Trace().empty());
  EXPECT_EQ(shim.Trace().back(), "close /dev/ttyKELDAR0");
  EXPECT_EQ(shim.Count("open"), 1U);

  QTimer* timer = form_->Timer1;
  ASSERT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 2500);
  QTimerEvent expiry(timer->timerId());  // the 2.5 s run out, without waiting for them
  QCoreApplication::sendEvent(timer, &expiry);
  EXPECT_EQ(Message(), QStringLiteral(" Choisissez le port série..."));
}

// A whole program and read through the window, the backend and the shim: the simulated memory's
// image holds the buffer afterwards, and reading it back gives the buffer again.
TEST_F(WindowPortsTest, TheWindowProgramsAndReadsTheMemoryThroughTheDevice) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16,image={dir}/memory.bin");
  MapPort(1, kPort0);
  Start();
  const uint32_t capacity = form_->currentMemory.capacity;  // 24C16 at start-up
  for (uint32_t i = 0; i < capacity; ++i)
    form_->buffer[i] = static_cast<uint8_t>(i * 13 + (i >> 8) + 1);  // no block like another
  const Buffer programmed = form_->buffer;
  Trigger("OptionCOM1");
  Trigger("OptionProgramMem");
  EXPECT_EQ(dialogs_->messages.size(), 1U);
  Trigger("OptionNoCOM");  // the reader saves its memory when the device is released
  // The operation's worker thread rests the reader as the window's does: the opening's
  // power-off, the programming's and its read back's power-on and off.
  EXPECT_EQ(shim.Count("sleep"), 5U);
  const std::vector<uint8_t> image = shim.ReadFile("memory.bin");
  ASSERT_EQ(image.size(), capacity);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), programmed.begin()));

  std::fill(form_->buffer.begin(), form_->buffer.begin() + capacity, uint8_t{0});
  Trigger("OptionCOM1");
  Trigger("OptionLire");
  EXPECT_TRUE(
      std::equal(form_->buffer.begin(), form_->buffer.begin() + capacity, programmed.begin()));
  EXPECT_EQ(dialogs_->messages.size(), 1U);  // a successful read says nothing
  EXPECT_EQ(shim.Count("ioctl_failed"), 0U);
}

// COM1 names an I2C adapter with a blank 24C256 at pins 3, read through i2c-dev; while it is open
// the X24C01 cannot be chosen and the port test does not apply, each said why.
TEST_F(WindowPortsTest, AnI2cAdapterCarriesTheMemoryAndRefusesWhatItCannot) {
  ShimSession shim("{dir}/dev/i2c-7=sim:24C256,pins=3");
  // Left set afterwards: the folder goes with the session, and the paths lead nowhere again.
  const keldar::testing::MachineTree machine{shim.dir() + "/sys", shim.dir() + "/dev"};
  machine.I2cMachine();
  ::setenv("KELDAR_SYSFS_ROOT", machine.sys.c_str(), 1);
  ::setenv("KELDAR_DEV_ROOT", machine.dev.c_str(), 1);
  MapPort(1, "i2c:/dev/i2c-7");
  Start();
  Trigger("Option24C256");
  Trigger("MenuAdrBase3");
  Trigger("OptionCOM1");
  std::fill(form_->buffer.begin(), form_->buffer.end(), uint8_t{0});
  Trigger("OptionLire");
  EXPECT_EQ(std::count(form_->buffer.begin(), form_->buffer.end(), 0xFF), 32768);
  Trigger("OptionX24C01");
  EXPECT_EQ(form_->currentMemory.typeIndex, FindMemoryType("24C256"));
  Trigger("Testduportserie");
  ASSERT_EQ(dialogs_->messages.size(), 2U);  // a successful read says nothing
  EXPECT_TRUE(dialogs_->messages[0].contains(
      QString::fromUtf8("La X24C01 (pseudo-I2C) ne peut pas passer par un adaptateur I2C")));
  EXPECT_TRUE(dialogs_->messages[1].contains(QString::fromUtf8("ne s'applique pas")));
  Trigger("OptionNoCOM");
  EXPECT_EQ(shim.Count("I2C_RDWR"), 4U);  // 32 KiB in i2c-dev's 8192-byte messages
}

// Start-up reopens the saved port, then the reader configuration window sets the reader's lines
// to rest under the restored map: two power-offs, and nothing else.
TEST_F(WindowPortsTest, StartUpReopensTheSavedPort) {
  ShimSession shim(std::string(kPort0) + "=sim:24C16");
  MapPort(4, kPort0);
  {
    QSettings store(QStringLiteral("ZEMBRAX"), QStringLiteral("KELDAR"));
    store.setValue(QStringLiteral("Port_serie_COM"), 4);
  }
  Start();
  EXPECT_EQ(form_->portNumber, 4);
  Trigger("OptionNoCOM");
  const Lines powerOff{"TIOCCBRK", "TIOCMBIC RTS", "TIOCMBIC DTR", "sleep 20"};
  Lines expected{"open /dev/ttyKELDAR0", "TIOCEXCL", "flock LOCK_EX", "TIOCMGET CTS", "TCGETS"};
  expected.insert(expected.end(), powerOff.begin(), powerOff.end());
  expected.insert(expected.end(), powerOff.begin(), powerOff.end());
  expected.push_back("close /dev/ttyKELDAR0");
  EXPECT_EQ(shim.Trace(), expected);
}

}  // namespace
}  // namespace keldar::e2e
