// An FTDI cable in synchronous bit-bang mode against the same cable as a serial port: a whole
// read, page-mode program, program with its read back (what the user waits for) and compare of
// a 24C512 and of the parts above 64 KiB, run by the program's bit-bang port over the FT232R
// model with a 100 kHz memory checking its timings and writing for as long as its datasheets
// allow. modelled_s is the model's time at the default bit-bang rate with 1 ms per USB round
// trip; serial_usb_s the time the serial path's port calls take at 1 ms each, with the same
// write cycle.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "data/buffer.h"
#include "hw/bitbang_port.h"
#include "i2c/call_counts.h"
#include "i2c/executors.h"
#include "i2c/operations.h"
#include "sim/ft232r_model.h"
#include "sim/sim_device.h"

namespace keldar {
namespace {

constexpr double kUsbCallSeconds = 1e-3;

struct Adapter {
  explicit Adapter(benchmark::State& state)
      : device(Open(static_cast<int32_t>(state.range(0)))), bus(ExecutorFor(*device.port, map)) {
    memory.Select(static_cast<int32_t>(state.range(0)));
    memory.pageMode = true;
    for (size_t i = 0; i < buffer.size(); ++i)
      buffer[i] = static_cast<uint8_t>(i * 7 + 3);
    state.SetLabel(std::string(memory.type().name));
  }
  static sim::SimulatedDevice Open(int32_t typeIndex) {
    std::string error;
    sim::SimulatedDevice device = sim::OpenSimulatedDevice(
        "sim:" + std::string(kMemoryTypes[static_cast<size_t>(typeIndex)].name) +
            ",adapter=ft232r,speed=100k",
        error);
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
    state.counters["stream_bytes_per_s"] =
        static_cast<double>(static_cast<const BitBangPort&>(*device.port).measuredRate());
    state.counters["most_in_flight"] = static_cast<double>(device.model->mostBytesInFlight());
  }

  double SerialSeconds(const OperationCalls& calls) const {
    const PortCallCosts usb{kUsbCallSeconds, kUsbCallSeconds, kUsbCallSeconds, kUsbCallSeconds};
    return EstimateSeconds(calls, map, usb, DatasheetWriteCycleSeconds(memory.type()));
  }
  bool Program() { return ProgramMemory(*bus, memory, buffer, {}).succeeded(); }
  bool Compare() {
    std::vector<uint8_t> scratch(memory.capacity);
    return CompareMemory(*bus, memory, buffer, scratch, {}).same();
  }

  sim::SimulatedDevice device;
  LineMap map;
  std::unique_ptr<BusExecutor> bus;
  CurrentMemory memory;
  Buffer buffer{};
};

// The 24C512, then the 24M01, 24LC1025 and 24M02.
void Types(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(10)->DenseRange(12, 14)->Unit(benchmark::kMillisecond)->Iterations(1);
}

void BM_FtdiRead(benchmark::State& state) {
  Adapter rig(state);
  Buffer read{};
  rig.Measure(state, rig.SerialSeconds(ReadCalls(rig.memory.type())),
              [&] { return ReadMemory(*rig.bus, rig.memory, read, {}).succeeded(); });
}
BENCHMARK(BM_FtdiRead)->Apply(Types);

void BM_FtdiPageProgram(benchmark::State& state) {
  Adapter rig(state);
  rig.Measure(state, rig.SerialSeconds(PageProgramCalls(rig.memory.type())),
              [&] { return rig.Program(); });
}
BENCHMARK(BM_FtdiPageProgram)->Apply(Types);

void BM_FtdiProgramAndVerify(benchmark::State& state) {
  Adapter rig(state);
  const double serial = rig.SerialSeconds(PageProgramCalls(rig.memory.type())) +
                        rig.SerialSeconds(ReadCalls(rig.memory.type()));
  rig.Measure(state, serial, [&] { return rig.Program() && rig.Compare(); });
}
BENCHMARK(BM_FtdiProgramAndVerify)->Apply(Types);

void BM_FtdiCompare(benchmark::State& state) {
  Adapter rig(state);
  rig.buffer.fill(0xFF);  // a blank memory
  rig.Measure(state, rig.SerialSeconds(ReadCalls(rig.memory.type())),
              [&] { return rig.Compare(); });
}
BENCHMARK(BM_FtdiCompare)->Apply(Types);

}  // namespace
}  // namespace keldar

BENCHMARK_MAIN();
