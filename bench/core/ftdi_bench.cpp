// An FTDI cable in synchronous bit-bang mode against the same cable as a serial port: a whole
// 24C512 read, page-mode program, program with its read back (what the user waits for) and
// compare, run by the program's bit-bang port over the FT232R model with a 100 kHz memory
// checking its timings. modelled_s is the model's time at the default bit-bang rate with 1 ms
// per USB round trip; serial_usb_s the time the serial path's port calls take at 1 ms each.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "hw/line_driver.h"
#include "i2c/call_counts.h"
#include "data/buffer.h"
#include "i2c/operations.h"
#include "sim/ft232r_model.h"
#include "sim/sim_device.h"

namespace keldar {
namespace {

constexpr double kUsbCallSeconds = 1e-3;

struct Adapter24C512 {
  Adapter24C512() : device(Open()), lines(map, *device.port) {
    memory.Select(10);
    memory.pageMode = true;
    for (size_t i = 0; i < buffer.size(); ++i)
      buffer[i] = static_cast<uint8_t>(i * 7 + 3);
  }
  static sim::SimulatedDevice Open() {
    std::string error;
    sim::SimulatedDevice device =
        sim::OpenSimulatedDevice("sim:24C512,adapter=ft232r,speed=100k", error);
    if (!device.port) std::abort();
    return device;
  }

  // One run of the operation; the counters say what it cost on the model and on a serial port.
  template <typename Operation>
  void Measure(benchmark::State& state, double serialSeconds, Operation operation) {
    const sim::Ft232rModel::Counters before = device.model->counters();
    const uint64_t start = device.model->clock();
    for (auto _ : state) {
      if (!operation()) state.SkipWithError("operation failed");
    }
    const sim::Ft232rModel::Counters& after = device.model->counters();
    state.counters["modelled_s"] = static_cast<double>(device.model->clock() - start) * 1e-9;
    state.counters["usb_transfers"] = static_cast<double>(after.transfers - before.transfers);
    state.counters["packets_out"] = static_cast<double>(after.packetsOut - before.packetsOut);
    state.counters["packets_in"] = static_cast<double>(after.packetsIn - before.packetsIn);
    state.counters["bytes_streamed"] =
        static_cast<double>(after.bytesClocked - before.bytesClocked);
    state.counters["timing_violations"] =
        static_cast<double>(device.reader->timingViolations().total());
    state.counters["serial_usb_s"] = serialSeconds;
    state.counters["bitbang_hz"] = 1e9 / static_cast<double>(device.model->tickNs());
  }

  double SerialSeconds(const OperationCalls& calls) const {
    const PortCallCosts usb{kUsbCallSeconds, kUsbCallSeconds, kUsbCallSeconds, kUsbCallSeconds};
    return EstimateSeconds(calls, map, usb, kDatasheetWriteCycleSeconds);
  }
  bool Program() { return ProgramMemory(lines, memory, buffer, {}).succeeded(); }
  bool Compare() {
    std::vector<uint8_t> scratch(memory.capacity);
    return CompareMemory(lines, memory, buffer, scratch, {}).same();
  }

  sim::SimulatedDevice device;
  LineMap map;
  LineDriver lines;
  CurrentMemory memory;
  Buffer buffer{};
};

void BM_Ftdi24C512Read(benchmark::State& state) {
  Adapter24C512 rig;
  Buffer read{};
  rig.Measure(state, rig.SerialSeconds(ReadCalls(rig.memory.type())),
              [&] { return ReadMemory(rig.lines, rig.memory, read, {}).succeeded(); });
}
BENCHMARK(BM_Ftdi24C512Read)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Ftdi24C512PageProgram(benchmark::State& state) {
  Adapter24C512 rig;
  rig.Measure(state, rig.SerialSeconds(PageProgramCalls(rig.memory.type())),
              [&] { return rig.Program(); });
}
BENCHMARK(BM_Ftdi24C512PageProgram)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Ftdi24C512ProgramAndVerify(benchmark::State& state) {
  Adapter24C512 rig;
  const double serial = rig.SerialSeconds(PageProgramCalls(rig.memory.type())) +
                        rig.SerialSeconds(ReadCalls(rig.memory.type()));
  rig.Measure(state, serial, [&] { return rig.Program() && rig.Compare(); });
}
BENCHMARK(BM_Ftdi24C512ProgramAndVerify)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Ftdi24C512Compare(benchmark::State& state) {
  Adapter24C512 rig;
  rig.buffer.fill(0xFF);  // a blank memory
  rig.Measure(state, rig.SerialSeconds(ReadCalls(rig.memory.type())),
              [&] { return rig.Compare(); });
}
BENCHMARK(BM_Ftdi24C512Compare)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace keldar

BENCHMARK_MAIN();
