// Whole 24C512 operations run from the main window, offscreen, against the simulated reader:
// the real time they take (our code, the repaints, the grid refresh and the simulator), the
// time the same port calls would take on a reader (the simulated clock), and, for the read, how
// late a 50 ms timer of the window's comes meanwhile.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include "sim/sim_port.h"
#include "ui/Keldaru1.h"
#include "ui/program.h"

namespace keldar::ui {
namespace {

// Answers every box with OK and keeps its text.
class OkDialogs final : public UserDialogs {
 public:
  int ShowMessage(const QString& text, const QString&, uint32_t) override {
    last = text;
    return kIdOk;
  }
  std::optional<FileDialogAnswer> ChooseOpenFile(const FileDialogRequest&) override { return {}; }
  std::optional<FileDialogAnswer> ChooseSaveFile(const FileDialogRequest&) override { return {}; }
  void Beep(uint32_t) override {}
  void ShowModal(QDialog&) override {}
  QString last;
};

// The program on COM1 with a simulated 24C512, the 24C512 selected.
struct Window {
  explicit Window(const std::string& device = "sim:24C512") {
    auto answers = std::make_unique<OkDialogs>();
    dialogs = answers.get();
    PortOpener opener = [this, device](int number) -> std::unique_ptr<ControlPort> {
      if (number != 1) return nullptr;
      std::string error;
      auto port = sim::OpenSimulatedPort(device, error);
      if (!port) std::abort();
      reader = port.get();
      return port;
    };
    program = std::make_unique<Program>(ProgramOptions{std::move(opener), std::move(answers)});
    form = &program->form1();
    form->OptionCOM1->trigger();
    form->memoryTypeItems[10]->trigger();
    if (reader == nullptr || form->currentMemory.capacity != 65536) std::abort();
  }

  // Runs one command per iteration; reports port calls and simulated seconds per run.
  void Measure(benchmark::State& state, QAction* command, const QString& expected) {
    const uint64_t calls = reader->calls();
    const uint64_t clock = reader->clock();
    for (auto _ : state) {
      dialogs->last.clear();
      command->trigger();
      if (dialogs->last != expected) state.SkipWithError(dialogs->last.toStdString().c_str());
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["port_calls"] = static_cast<double>(reader->calls() - calls) / runs;
    state.counters["simulated_s"] = static_cast<double>(reader->clock() - clock) * 1e-9 / runs;
  }

  std::unique_ptr<Program> program;
  TForm1* form = nullptr;
  OkDialogs* dialogs = nullptr;
  sim::SimulatedReader* reader = nullptr;
};

// The window's own liveliness while the read runs on its worker: a 50 ms timer, how late its
// ticks come (a window whose loop stops would show none at all).
class TimerLateness {
 public:
  TimerLateness() {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(50);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const auto now = std::chrono::steady_clock::now();
      const double late = std::chrono::duration<double, std::milli>(now - due_).count();
      worst_ = std::max(worst_, late);
      total_ += late;
      ++ticks_;
      due_ = now + std::chrono::milliseconds(50);
    });
  }
  void Start() {
    due_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    timer_.start();
  }
  void Report(benchmark::State& state) {
    timer_.stop();
    state.counters["timer_ticks"] = ticks_;
    state.counters["timer_late_max_ms"] = worst_;
    state.counters["timer_late_mean_ms"] = ticks_ > 0 ? total_ / ticks_ : 0.0;
  }

 private:
  QTimer timer_;
  std::chrono::steady_clock::time_point due_;
  double worst_ = 0;
  double total_ = 0;
  int ticks_ = 0;
};

void BM_Window24C512Read(benchmark::State& state) {
  Window window;
  // A successful read shows no box; the grid refresh is part of the run.
  window.Measure(state, window.form->OptionLire, QString());
}
BENCHMARK(BM_Window24C512Read)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The same read on a reader that takes 2 µs a call in real time (about 4 s), with a 50 ms timer
// of the window's running meanwhile.
void BM_Window24C512PacedReadTimer(benchmark::State& state) {
  Window window("sim:24C512,cost=2000,pace=real");
  TimerLateness timer;
  timer.Start();
  window.Measure(state, window.form->OptionLire, QString());
  timer.Report(state);
}
BENCHMARK(BM_Window24C512PacedReadTimer)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

void BM_Window24C512PageProgram(benchmark::State& state) {
  Window window;
  for (size_t i = 0; i < window.form->buffer.size(); ++i)
    window.form->buffer[i] = static_cast<uint8_t>(i * 7);
  window.Measure(state, window.form->OptionProgramMem,
                 QString::fromUtf8("La programmation s'est correctement déroulée..."));
}
BENCHMARK(BM_Window24C512PageProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_Window24C512Compare(benchmark::State& state) {
  Window window;
  window.form->buffer.fill(0xFF);  // the simulated memory starts blank
  window.Measure(state, window.form->Comparer1,
                 QString::fromUtf8("Aucune différence entre le buffer et l'EEPROM..."));
}
BENCHMARK(BM_Window24C512Compare)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace keldar::ui

int main(int argc, char* argv[]) {
  // Offscreen, with ports that cannot exist and a settings store of its own.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  for (const char* name : {"KELDAR_COM1", "KELDAR_COM2", "KELDAR_COM3", "KELDAR_COM4"}) {
    qputenv(name, "/nonexistent/keldar-bench-port");
  }
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
