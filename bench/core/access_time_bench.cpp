// The access time (the reader window's slider) a port needs: for a port call of 1.5 us (a
// native UART's ioctl) and of 4 us, the smallest setting at which programming and reading a
// simulated 24C02 of the 100 kHz and of the 400 kHz class leave every bus phase as long as the
// datasheets ask.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "data/buffer.h"
#include "i2c/line_executor.h"
#include "i2c/operations.h"
#include "sim/sim_port.h"

namespace keldar {
namespace {

struct Trial {
  uint64_t violations = 0;
  bool readRight = false;
};

// Programs a pattern page by page, then reads it back, at one access time.
Trial Run(const std::string& device, int32_t accessTime) {
  std::string error;
  const std::unique_ptr<sim::SimulatedReader> reader = sim::OpenSimulatedPort(device, error);
  if (!reader) std::abort();
  LineMap map;
  map.accessTime = accessTime;
  LineExecutor lines(map, *reader);
  CurrentMemory memory;
  memory.Select(reader->config().typeIndex);
  Buffer written{};
  for (uint32_t i = 0; i < memory.capacity; ++i)
    written[i] = static_cast<uint8_t>(i * 37 + 11);
  Buffer read{};
  const bool ok = ProgramMemory(lines, memory, written, {}).succeeded() &&
                  ReadMemory(lines, memory, read, {}).succeeded();
  const auto end = written.begin() + memory.capacity;
  return {reader->timingViolations().total(), ok && std::equal(written.begin(), end, read.begin())};
}

void BM_SmallestAccessTime(benchmark::State& state) {
  const auto costNs = state.range(0);
  const std::string speed = state.range(1) == 100 ? "100k" : "400k";
  const std::string device = "sim:24C02,speed=" + speed + ",cost=" + std::to_string(costNs);
  int32_t smallest = -1;
  Trial atZero;
  Trial atSmallest;
  for (auto _ : state) {
    smallest = -1;
    for (int32_t access = 0; access <= kMaxAccessTime && smallest < 0; ++access) {
      const Trial trial = Run(device, access);
      if (access == 0) atZero = trial;
      if (trial.violations == 0) {
        smallest = access;
        atSmallest = trial;
      }
    }
  }
  char label[64];
  std::snprintf(label, sizeof label, "%s part, %.1f us a call",
                state.range(1) == 100 ? "100 kHz" : "400 kHz", static_cast<double>(costNs) / 1000);
  state.SetLabel(label);
  state.counters["access_time"] = smallest;
  state.counters["violations_at_0"] = static_cast<double>(atZero.violations);
  state.counters["read_right_at_0"] = atZero.readRight ? 1 : 0;
  state.counters["read_right"] = atSmallest.readRight ? 1 : 0;
}
BENCHMARK(BM_SmallestAccessTime)
    ->ArgNames({"call_ns", "kHz"})
    ->ArgsProduct({{1500, 4000}, {100, 400}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
}  // namespace keldar

BENCHMARK_MAIN();
