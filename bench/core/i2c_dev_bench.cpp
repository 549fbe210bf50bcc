// A 24C512 through a Linux I2C adapter (i2c-dev) at 100 and 400 kHz: a whole read and a page-mode
// program by the program's own transfers over the simulated adapter, whose memory is clocked bit
// by bit. wire_s is the time on the bus: every clock pulse (acknowledges included), every start,
// repeated start and stop, and the write cycles the polls wait out; transfers counts the I2C_RDWR
// calls, whose cost beside the wire is the adapter's own.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "hw/i2c_transfers.h"
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

void BM_I2cDev24C512Read(benchmark::State& state) {
  for (auto _ : state) {
    sim::SimulatedI2cAdapter adapter = Adapter(state);
    std::vector<uint8_t> read(65536);
    const uint8_t zero[] = {0, 0};
    if (I2cTransfers(adapter).Read(0x50, zero, read).result != I2cResult::Ok)
      state.SkipWithError("read failed");
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
    I2cTransfers transfers(adapter);
    std::vector<uint8_t> page(128, 0x5A);
    for (uint32_t at = 0; at < 65536; at += 128) {
      const uint8_t word[] = {static_cast<uint8_t>(at >> 8), static_cast<uint8_t>(at)};
      if (transfers.Write(0x50, word, page).result != I2cResult::Ok ||
          transfers.WaitReady(0x50).result != I2cResult::Ok)
        state.SkipWithError("write failed");
    }
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
