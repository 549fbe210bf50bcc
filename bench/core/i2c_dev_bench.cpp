// A 24C512 through a Linux I2C adapter (i2c-dev) at 100 and 400 kHz: a whole read and a page-mode
// program (without its read back) as the operations run them, through the i2c-dev executor, over
// the simulated adapter, whose memory is clocked bit by bit. wire_s is the time on the bus: every
// clock pulse (acknowledges included), every start, repeated start and stop, and the write cycles
// the polls wait out; transfers counts the I2C_RDWR calls, whose cost beside the wire is the
// adapter's own.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "data/buffer.h"
#include "i2c/i2c_dev_executor.h"
#include "i2c/operations.h"
#include "sim/i2c_adapter.h"

namespace keldar {
namespace {

// state.range(0): the bus clock in kHz; range(1): 1 for a CP2112's limits (61-byte writes,
// 512-byte reads).
sim::SimulatedI2cAdapter Adapter(const benchmark::State& state) {
  std::string error;
  auto bus =
      sim::OpenSimulatedI2cBus("sim:24C512,speed=" + std::to_string(state.range(0)) + "k", error);
  if (!bus) std::abort();
  sim::I2cAdapterModel model;
  if (state.range(1) != 0) {
    model.maxWrite = 61;
    model.maxRead = 512;
    model.limitErrno = EINVAL;
  }
  return sim::SimulatedI2cAdapter(std::move(bus), model);
}

void Report(benchmark::State& state, sim::SimulatedI2cAdapter& adapter) {
  state.counters["wire_s"] = static_cast<double>(adapter.bus().clock()) * 1e-9;
  state.counters["clock_pulses"] = static_cast<double>(adapter.bus().bits());
  state.counters["transfers"] = static_cast<double>(adapter.transfers());
}

CurrentMemory The24C512() {
  CurrentMemory memory;
  memory.Select(FindMemoryType("24C512"));
  return memory;
}

void BM_I2cDev24C512Read(benchmark::State& state) {
  for (auto _ : state) {
    sim::SimulatedI2cAdapter adapter = Adapter(state);
    I2cDevExecutor bus(adapter);
    Buffer read{};
    if (!ReadMemory(bus, The24C512(), read, {}).succeeded()) state.SkipWithError("read failed");
    Report(state, adapter);
  }
}
BENCHMARK(BM_I2cDev24C512Read)
    ->ArgsProduct({{100, 400}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_I2cDev24C512PageProgram(benchmark::State& state) {
  for (auto _ : state) {
    sim::SimulatedI2cAdapter adapter = Adapter(state);
    I2cDevExecutor bus(adapter);
    Buffer data{};
    data.fill(0x5A);
    if (!ProgramMemory(bus, The24C512(), data, {}).succeeded()) state.SkipWithError("write failed");
    Report(state, adapter);
  }
}
BENCHMARK(BM_I2cDev24C512PageProgram)
    ->ArgsProduct({{100, 400}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
}  // namespace keldar

BENCHMARK_MAIN();
