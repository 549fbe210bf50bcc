// The port calls counted from the bus routines' steps against the calls a whole operation really
// makes on a simulated memory, line by line; and the time estimated from them against the
// simulated reader's own clock.
#include "i2c/call_counts.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "i2c/operations.h"
#include "sim/recording_port.h"
#include "sim/sim_port.h"

namespace keldar {
namespace {

struct Observed {
  uint64_t valim = 0, scl = 0, sda = 0, reads = 0, sleeps = 0;
};

// Under the standard map: Valim on TxD (break codes), SCL on RTS, SDA on DTR.
Observed Tally(const sim::RecordingPort& port) {
  Observed seen;
  for (const sim::PortEvent& e : port.events()) {
    if (e.kind == sim::PortEvent::Kind::Status) ++seen.reads;
    if (e.kind == sim::PortEvent::Kind::Sleep) ++seen.sleeps;
    if (e.kind != sim::PortEvent::Kind::Escape) continue;
    if (e.code == SETBREAK || e.code == CLRBREAK) ++seen.valim;
    if (e.code == SETRTS || e.code == CLRRTS) ++seen.scl;
    if (e.code == SETDTR || e.code == CLRDTR) ++seen.sda;
  }
  return seen;
}

void ExpectCalls(const OperationCalls& calls, const Observed& seen, int32_t accessTime) {
  EXPECT_EQ(calls.steps.valim, seen.valim);
  EXPECT_EQ(calls.steps.scl, seen.scl);
  EXPECT_EQ(calls.steps.sda, seen.sda);
  EXPECT_EQ(calls.steps.samples + calls.steps.Outputs() * uint64_t(accessTime), seen.reads);
  EXPECT_EQ(calls.sleepMs, seen.sleeps * 20);
}

TEST(CallCounts, MatchTheCallsOfAWholeReadAndPageProgram) {
  for (const int32_t type : {0, 2, 5, 7, kX24C01Index}) {
    for (const int32_t accessTime : {0, 2}) {
      SCOPED_TRACE(std::string(kMemoryTypes[size_t(type)].name) + " at " +
                   std::to_string(accessTime));
      sim::SimConfig config;
      config.typeIndex = type;
      config.writeCycleNs = 0;  // every first poll answered, as the counts assume
      sim::SimulatedReader reader(config);
      LineMap map;
      map.accessTime = accessTime;
      CurrentMemory memory;
      memory.Select(type);
      Buffer buffer{};

      sim::RecordingPort reading(&reader);
      LineDriver readLines(map, reading);
      ASSERT_TRUE(ReadMemory(readLines, memory, buffer, {}).succeeded());
      ExpectCalls(ReadCalls(memory.type()), Tally(reading), accessTime);

      sim::RecordingPort programming(&reader);
      LineDriver programLines(map, programming);
      ASSERT_TRUE(ProgramMemory(programLines, memory, buffer, {}).succeeded());
      ExpectCalls(PageProgramCalls(memory.type()), Tally(programming), accessTime);
    }
  }
}

// The simulated reader charges 4 µs a call and runs a 5 ms write cycle on its own clock.
TEST(CallCounts, EstimatedTimeIsTheSimulatedReadersTime) {
  const PortCallCosts costs{4e-6, 4e-6, 4e-6, 4e-6};
  for (const int32_t accessTime : {0, 3}) {
    sim::SimConfig config;  // a 24C16
    sim::SimulatedReader reader(config);
    LineMap map;
    map.accessTime = accessTime;
    LineDriver lines(map, reader);
    CurrentMemory memory;
    Buffer buffer{};
    ASSERT_TRUE(ReadMemory(lines, memory, buffer, {}).succeeded());
    const double read = double(reader.clock()) * 1e-9;
    EXPECT_NEAR(EstimateSeconds(ReadCalls(memory.type()), map, costs, 0.005), read, read * 1e-9);

    const uint64_t before = reader.clock();
    ASSERT_TRUE(ProgramMemory(lines, memory, buffer, {}).succeeded());
    const double program = double(reader.clock() - before) * 1e-9;
    // Polls repeat while each page's write cycle runs: the estimate counts them to the poll.
    EXPECT_NEAR(EstimateSeconds(PageProgramCalls(memory.type()), map, costs, 0.005), program,
                program * 0.02);
  }
}

}  // namespace
}  // namespace keldar
