// keldar_bench_ui: how long the grid takes to show a whole 24C512, and how long the program
// takes from its start to its first shown main window. Offscreen, with ports that do not exist
// and the settings in a temporary folder.
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "ui/Keldaru1.h"
#include "ui/grid/hex_grid_view.h"
#include "ui/program.h"
#include "ui/user_dialogs.h"

namespace {

using keldar::ui::FileDialogAnswer;
using keldar::ui::FileDialogRequest;

// Nothing here asks the user anything; should it, the answer is OK or Cancel at once.
class SilentDialogs : public keldar::ui::UserDialogs {
 public:
  int ShowMessage(const QString&, const QString&, uint32_t) override { return keldar::ui::kIdOk; }
  std::optional<FileDialogAnswer> ChooseOpenFile(const FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<FileDialogAnswer> ChooseSaveFile(const FileDialogRequest&) override {
    return std::nullopt;
  }
  void Beep(uint32_t) override {}
  void ShowModal(QDialog&) override {}
};

std::unique_ptr<keldar::ui::Program> StartProgram() {
  keldar::ui::ProgramOptions options;
  options.openPort = [](int) { return std::unique_ptr<keldar::ControlPort>(); };
  options.dialogs = std::make_unique<SilentDialogs>();
  auto program = std::make_unique<keldar::ui::Program>(std::move(options));
  if (!QTest::qWaitForWindowExposed(&program->form1())) std::fputs("window not exposed\n", stderr);
  return program;
}

void BM_RefreshGrid64KiB(benchmark::State& state) {
  auto program = StartProgram();
  keldar::ui::TForm1& form = program->form1();
  form.ComboBox->setCurrentIndex(10);  // 24C512
  form.ChoixMemoire(form.ComboBox);
  for (auto _ : state) {
    form.RefreshGrid(form.buffer, 65536);
    // The grid's first paint after the refresh belongs to its cost.
    form.StringGrid1->repaint();
  }
  state.counters["bytes"] = 65536;
}
BENCHMARK(BM_RefreshGrid64KiB)->Unit(benchmark::kMillisecond);

void BM_StartToShownMainWindow(benchmark::State& state) {
  for (auto _ : state) {
    auto program = StartProgram();
    state.PauseTiming();
    program.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartToShownMainWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[]) {
  const auto started = std::chrono::steady_clock::now();
  qputenv("QT_QPA_PLATFORM", "offscreen");
  for (const char* name : {"KELDAR_COM1", "KELDAR_COM2", "KELDAR_COM3", "KELDAR_COM4"}) {
    qputenv(name, "/nonexistent/keldar-bench-port");
  }
  QApplication app(argc, argv);
  QTemporaryDir settings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  {
    // The first start of the process, application object included: what a user waits for.
    auto program = StartProgram();
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - started;
    std::printf("Start to first shown main window (process start, cold): %.1f ms\n",
                elapsed.count());
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
