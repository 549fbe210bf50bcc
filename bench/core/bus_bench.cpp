// Port calls per operation against what the call sequence requires, counted here from the bit
// routines' own steps (the 24C512 and the parts beside it, up to the 24M02); what the program's
// estimates count by running the operations; our own cost per line primitive; and whole 24C512
// operations against the simulated reader.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "data/buffer.h"
#include "hw/line_driver.h"
#include "i2c/call_counts.h"
#include "i2c/identify.h"
#include "i2c/line_executor.h"
#include "i2c/operations.h"
#include "sim/recording_port.h"
#include "sim/sim_port.h"

namespace keldar {
namespace {

// Counts calls; the line check (the first status read after PowerOn's wait) sees SDA high, every
// other read low, so every byte is acknowledged at once and the sequence is the shortest the
// operation can have.
class CountingPort final : public ControlPort {
 public:
  bool SetLine(OutputLine, bool) override {
    ++escapes;
    return true;
  }
  bool ReadInputs(InputLevels& levels) override {
    ++reads;
    levels = (sleeps == 1 && !checked) ? InputLevels::Of({InputLine::Cts}) : InputLevels{};
    checked = checked || sleeps == 1;
    return true;
  }
  void Sleep(uint32_t) override { ++sleeps; }
  bool checked = false;
  uint64_t calls() const { return escapes + reads; }
  uint64_t escapes = 0, reads = 0, sleeps = 0;
};

// The reference: each routine of the I2C master and the power sequences, step by step, as the
// bus sequence defines them, kept apart from the program.
BusSteps operator+(BusSteps a, const BusSteps& b) {
  return {a.valim + b.valim, a.scl + b.scl, a.sda + b.sda, a.samples + b.samples};
}
BusSteps operator*(uint64_t n, const BusSteps& s) {
  return {n * s.valim, n * s.scl, n * s.sda, n * s.samples};
}
constexpr BusSteps kStart{0, 2, 3, 0};         // SDA high, SCL high, SDA low, SCL low, SDA high
constexpr BusSteps kStop{0, 1, 2, 0};          // SDA low, SCL high, SDA high
constexpr BusSteps kSend{0, 27, 17, 1};        // 8 x (SDA, clock pulse, SDA high), then the ack
constexpr BusSteps kReceiveAck{0, 19, 3, 8};   // SDA high, 8 x (SCL high, sample, SCL low), ack
constexpr BusSteps kReceiveLast{0, 19, 2, 8};  // the same without driving the acknowledge
constexpr BusSteps kPower{1, 1, 1, 0};         // Valim, SCL, SDA
constexpr BusSteps kLineCheck{0, 0, 0, 1};     // SDA must read high once powered
constexpr BusSteps kResync{0, 18, 0, 0};       // the X24C01's nine clock pulses
constexpr uint32_t kBlock = 256;

// A read: the dummy write of address 0 and the read device byte (the X24C01's control byte
// alone), each span's bytes with the last not acknowledged, the stop, power on and off.
BusSteps ReferenceRead(const MemoryType& type) {
  BusSteps address = kStart + kSend;
  if (type.typeIndex != kX24C01Index) {
    address = kStart + (1U + static_cast<uint64_t>(type.addressBytes)) * kSend + kStart + kSend;
  }
  const uint64_t reads = type.capacity / SequentialSpan(type);
  return kPower + kLineCheck + reads * address + (type.capacity - reads) * kReceiveAck +
         reads * kReceiveLast + kStop + kPower;
}

// A memory of several blocks and one address byte whose blocks all read alike is read again
// block by block: a dummy write of each block's address, the read of its 256 bytes, the stop.
BusSteps ReferenceBlockReread(const MemoryType& type) {
  if (type.typeIndex == kX24C01Index || type.addressBytes != 1 || type.capacity <= kBlock)
    return {};
  const BusSteps block =
      kStart + 2U * kSend + kStart + kSend + (kBlock - 1U) * kReceiveAck + kReceiveLast + kStop;
  return (type.capacity / kBlock) * block;
}

// Page mode: per page the X24C01's pulses, the address phase, the data, the stop and one poll.
BusSteps ReferencePageProgram(const MemoryType& type) {
  const bool x24c01 = type.typeIndex == kX24C01Index;
  const uint64_t addressBytes = x24c01 ? 1U : 1U + static_cast<uint64_t>(type.addressBytes);
  const BusSteps poll = kStart + kSend + kStop;
  const BusSteps page = (x24c01 ? kResync : BusSteps{}) + kStart +
                        (addressBytes + type.pageSize) * kSend + kStop + poll;
  return kPower + kLineCheck + (type.capacity / type.pageSize) * page + kPower;
}

void ReportRatio(benchmark::State& state, uint64_t measured, uint64_t required) {
  state.counters["port_calls"] = static_cast<double>(measured);
  state.counters["required"] = static_cast<double>(required);
  state.counters["ratio"] = static_cast<double>(measured) / static_cast<double>(required);
}

void BM_PortCallsRead(benchmark::State& state) {
  const auto typeIndex = static_cast<int32_t>(state.range(0));
  const auto access = static_cast<int32_t>(state.range(1));
  LineMap map;
  map.accessTime = access;
  CurrentMemory memory;
  memory.Select(typeIndex);
  Buffer buffer{};
  uint64_t calls = 0;
  for (auto _ : state) {
    CountingPort port;
    LineExecutor bus(map, port);
    benchmark::DoNotOptimize(ReadMemory(bus, memory, buffer, {}));
    calls = port.calls();
  }
  state.SetLabel(std::string(memory.type().name) + " read");
  // The counting port's memory reads all 0: a memory of several blocks then reads every block
  // alike, and is read again block by block, as a part that wraps at its blocks must be.
  ReportRatio(
      state, calls,
      (ReferenceRead(memory.type()) + ReferenceBlockReread(memory.type())).PortCalls(access));
}
BENCHMARK(BM_PortCallsRead)
    ->ArgsProduct({{10, 5, 11, 12, 13, 14}, {0, 15}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_PortCallsCompare(benchmark::State& state) {
  LineMap map;
  CurrentMemory memory;
  memory.Select(10);
  Buffer buffer{};
  std::vector<uint8_t> scratch(memory.capacity);
  uint64_t calls = 0;
  for (auto _ : state) {
    CountingPort port;
    LineExecutor bus(map, port);
    benchmark::DoNotOptimize(CompareMemory(bus, memory, buffer, scratch, {}));
    calls = port.calls();
  }
  state.SetLabel("24C512 compare");
  ReportRatio(state, calls, ReferenceRead(memory.type()).PortCalls(0));
}
BENCHMARK(BM_PortCallsCompare)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PortCallsPageProgram(benchmark::State& state) {
  LineMap map;
  CurrentMemory memory;
  memory.Select(static_cast<int32_t>(state.range(0)));
  Buffer buffer{};
  uint64_t calls = 0;
  for (auto _ : state) {
    CountingPort port;
    LineExecutor bus(map, port);
    benchmark::DoNotOptimize(ProgramMemory(bus, memory, buffer, {}));
    calls = port.calls();
  }
  state.SetLabel(std::string(memory.type().name) + " page-mode program");
  ReportRatio(state, calls, ReferencePageProgram(memory.type()).PortCalls(0));
}
BENCHMARK(BM_PortCallsPageProgram)
    ->DenseRange(10, 14)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The calls the program's estimates count by running the operations on their own counting port
// (its memory's blocks read apart: no block-by-block reread) against the reference.
void BM_EstimateCountsRead(benchmark::State& state) {
  const MemoryType& type = kMemoryTypes[static_cast<size_t>(state.range(0))];
  uint64_t counted = 0;
  for (auto _ : state)
    counted = ReadCalls(type).steps.PortCalls(0);
  state.SetLabel(std::string(type.name) + " read, estimate");
  ReportRatio(state, counted, ReferenceRead(type).PortCalls(0));
}
BENCHMARK(BM_EstimateCountsRead)
    ->Arg(10)
    ->DenseRange(0, 5)
    ->DenseRange(11, 14)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

void BM_EstimateCountsPageProgram(benchmark::State& state) {
  const MemoryType& type = kMemoryTypes[static_cast<size_t>(state.range(0))];
  uint64_t counted = 0;
  for (auto _ : state)
    counted = PageProgramCalls(type).steps.PortCalls(0);
  state.SetLabel(std::string(type.name) + " page-mode program, estimate");
  ReportRatio(state, counted, ReferencePageProgram(type).PortCalls(0));
}
BENCHMARK(BM_EstimateCountsPageProgram)
    ->Arg(10)
    ->DenseRange(11, 14)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// What identifying a part full of random bytes costs: port calls, and the time they take at 1 ms
// a call, the rests after powering on and off included.
void BM_IdentifyCost(benchmark::State& state) {
  const MemoryType& type = kMemoryTypes[static_cast<size_t>(state.range(0))];
  uint64_t calls = 0;
  uint64_t restMs = 0;
  for (auto _ : state) {
    std::string error;
    const auto reader = sim::OpenSimulatedPort("sim:" + std::string(type.name), error);
    std::minstd_rand random(1);
    for (uint8_t& cell : reader->memory())
      cell = static_cast<uint8_t>(random());
    LineMap map;
    sim::RecordingPort port(reader.get());
    LineExecutor lines(map, port);
    if (IdentifyMemory(lines, 0, {}).verdict != IdentifyVerdict::OneType) {
      state.SkipWithError("not identified");
    }
    calls = port.Count(sim::PortEvent::Kind::Line) + port.Count(sim::PortEvent::Kind::Read);
    restMs = 0;
    for (const sim::PortEvent& event : port.events())
      restMs += event.milliseconds;
  }
  state.SetLabel(std::string(type.name) + " identify");
  state.counters["port_calls"] = static_cast<double>(calls);
  state.counters["s_at_1ms_a_call"] = static_cast<double>(calls + restMs) / 1000.0;
}
BENCHMARK(BM_IdentifyCost)->Arg(2)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(1);

// Our own cost per primitive: a port that does nothing.
void BM_PrimitiveOutput(benchmark::State& state) {
  LineMap map;
  sim::NullPort port;
  LineDriver lines(map, port);
  for (auto _ : state) {
    lines.SetSclHigh();
    lines.SetSclLow();
  }
  state.SetItemsProcessed(state.iterations() * 2);
  state.counters["ns_per_call"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 2,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PrimitiveOutput);

void BM_PrimitiveReadSda(benchmark::State& state) {
  LineMap map;
  sim::NullPort port(InputLevels::Of({InputLine::Cts}));
  LineDriver lines(map, port);
  for (auto _ : state)
    benchmark::DoNotOptimize(lines.ReadSda());
  state.counters["ns_per_call"] =
      benchmark::Counter(static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PrimitiveReadSda);

// Whole operations on a simulated 24C512: wall time of our code plus the simulator.
struct Simulated24C512 {
  Simulated24C512() : reader(Open()), lines(map, *reader) { memory.Select(10); }
  static std::unique_ptr<sim::SimulatedReader> Open() {
    std::string error;
    auto reader = sim::OpenSimulatedPort("sim:24C512", error);
    if (!reader) std::abort();
    return reader;
  }
  // Simulated seconds of port time per iteration.
  void Report(benchmark::State& state) const {
    state.counters["simulated_s"] =
        static_cast<double>(reader->clock()) * 1e-9 / static_cast<double>(state.iterations());
  }

  std::unique_ptr<sim::SimulatedReader> reader;
  LineMap map;
  LineExecutor lines;
  CurrentMemory memory;
};

void BM_Sim24C512Read(benchmark::State& state) {
  Simulated24C512 sim;
  Buffer buffer{};
  for (auto _ : state) {
    if (!ReadMemory(sim.lines, sim.memory, buffer, {}).succeeded()) {
      state.SkipWithError("read failed");
    }
  }
  sim.Report(state);
}
BENCHMARK(BM_Sim24C512Read)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Sim24C512PageProgram(benchmark::State& state) {
  Simulated24C512 sim;
  Buffer buffer{};
  for (size_t i = 0; i < buffer.size(); ++i)
    buffer[i] = static_cast<uint8_t>(i * 7);
  for (auto _ : state) {
    if (!ProgramMemory(sim.lines, sim.memory, buffer, {}).succeeded()) {
      state.SkipWithError("program failed");
    }
  }
  sim.Report(state);
}
BENCHMARK(BM_Sim24C512PageProgram)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Sim24C512Compare(benchmark::State& state) {
  Simulated24C512 sim;
  Buffer buffer{};
  buffer.fill(0xFF);
  std::vector<uint8_t> scratch(sim.memory.capacity);
  for (auto _ : state) {
    const CompareOutcome outcome = CompareMemory(sim.lines, sim.memory, buffer, scratch, {});
    if (!outcome.reachable || outcome.differences != 0) state.SkipWithError("compare failed");
  }
  sim.Report(state);
}
BENCHMARK(BM_Sim24C512Compare)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace keldar

BENCHMARK_MAIN();
