// The port calls the estimates count against the calls whole operations really make on a
// simulated memory, line by line; and the time estimated from them against the simulated
// reader's own clock.
#include "i2c/call_counts.h"
#include "i2c/line_executor.h"

#include <gtest/gtest.h>

#include "data/buffer.h"
#include "i2c/operations.h"
#include "sim/recording_port.h"
#include "sim/sim_port.h"

namespace keldar {
namespace {

// Under the standard map: Valim on TxD, SCL on RTS, SDA on DTR.
void ExpectCalls(const OperationCalls& calls, const sim::RecordingPort& port, int32_t access) {
  BusSteps seen;
  uint64_t reads = 0, sleeps = 0;
  for (const sim::PortEvent& e : port.events()) {
    reads += e.kind == sim::PortEvent::Kind::Read;
    sleeps += e.kind == sim::PortEvent::Kind::Sleep;
    const bool change = e.kind == sim::PortEvent::Kind::Line;
    seen.valim += change && e.line == OutputLine::Txd;
    seen.scl += change && e.line == OutputLine::Rts;
    seen.sda += change && e.line == OutputLine::Dtr;
  }
  EXPECT_EQ(calls.steps.valim, seen.valim);
  EXPECT_EQ(calls.steps.scl, seen.scl);
  EXPECT_EQ(calls.steps.sda, seen.sda);
  EXPECT_EQ(calls.steps.samples + calls.steps.Outputs() * uint64_t(access), reads);
  EXPECT_EQ(calls.sleepMs, sleeps * 20);
}

TEST(CallCounts, MatchTheCallsOfAWholeReadAndProgramming) {
  for (const int32_t type : {0, 2, 5, 7, kX24C01Index, 13}) {  // 13: the 24LC1025's two reads
    for (const int32_t access : {0, 2}) {
      if (type == 13 && access != 0) continue;  // four million calls are enough
      SCOPED_TRACE(std::string(kMemoryTypes[size_t(type)].name) + " at " + std::to_string(access));
      sim::SimConfig config;
      config.typeIndex = type;
      config.writeCycleNs = 0;  // every first poll answered, as the counts assume
      sim::SimulatedReader reader(config);
      LineMap map;
      map.accessTime = access;
      CurrentMemory memory;
      memory.Select(type);
      Buffer buffer{};
      for (uint32_t i = 0; i < memory.capacity; ++i)
        reader.memory()[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
      sim::RecordingPort reading(&reader), paging(&reader), byBytes(&reader);
      LineExecutor readLines(map, reading), pageLines(map, paging), byteLines(map, byBytes);
      ASSERT_TRUE(ReadMemory(readLines, memory, buffer, {}).succeeded());
      ExpectCalls(ReadCalls(memory.type()), reading, access);
      ASSERT_TRUE(ProgramMemory(pageLines, memory, buffer, {}).succeeded());
      ExpectCalls(PageProgramCalls(memory.type()), paging, access);
      memory.pageMode = false;
      ASSERT_TRUE(ProgramMemory(byteLines, memory, buffer, {}).succeeded());
      ExpectCalls(ByteProgramCalls(memory.type()), byBytes, access);
    }
  }
}

// The simulated reader charges 4 µs a call and runs a 5 ms write cycle on its own clock.
TEST(CallCounts, EstimatedTimeIsTheSimulatedReadersTime) {
  const PortCallCosts costs{4e-6, 4e-6, 4e-6, 4e-6};
  for (const int32_t access : {0, 3}) {
    sim::SimulatedReader reader(sim::SimConfig{});  // a 24C16, whose blocks differ
    for (uint32_t i = 0; i < 2048; ++i)
      reader.memory()[i] = static_cast<uint8_t>(i >> 8);
    LineMap map;
    map.accessTime = access;
    LineExecutor lines(map, reader);
    CurrentMemory memory;
    Buffer buffer{};
    ASSERT_TRUE(ReadMemory(lines, memory, buffer, {}).succeeded());
    const double read = double(reader.clock()) * 1e-9;
    EXPECT_NEAR(EstimateSeconds(ReadCalls(memory.type()), map, costs, 0.005), read, read * 1e-9);
    ASSERT_TRUE(ProgramMemory(lines, memory, buffer, {}).succeeded());
    // Polls repeat while each page's write cycle runs: the estimate counts them to the poll.
    const double program = double(reader.clock()) * 1e-9 - read;
    EXPECT_NEAR(EstimateSeconds(PageProgramCalls(memory.type()), map, costs, 0.005), program,
                program * 0.01);
  }
}

}  // namespace
}  // namespace keldar
