// The operation service against the simulated reader: where a stop request is honoured (never
// inside a page, never during a write cycle, never between the dummy write and the read), what
// each stopped or failed operation reports, and the time left it measures.
#include "session/operation_service.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bus_trace.h"
#include "messages/operation_messages.h"
#include "session/session.h"
#include "session/time_left.h"
#include "sim/recording_port.h"
#include "sim/sim_port.h"

namespace keldar {
namespace {

using namespace std::chrono_literals;
using test::BusItem;

// Forwards to the reader and asks for the stop when the reader has made `at` calls: a stop
// that lands at a chosen point of the bus sequence, whatever the machine's speed.
class StopAtCall final : public ControlPort {
 public:
  StopAtCall(ControlPort& inner, const sim::SimulatedReader& reader, StopRequest& stop)
      : inner_(inner), reader_(reader), stop_(stop) {}
  bool SetLine(OutputLine line, bool asserted) override {
    return Then(inner_.SetLine(line, asserted));
  }
  bool ReadInputs(InputLevels& levels) override { return Then(inner_.ReadInputs(levels)); }
  void Sleep(uint32_t milliseconds) override {
    inner_.Sleep(milliseconds);
    Then(true);
  }
  uint64_t at = 0;  // 0: never

 private:
  bool Then(bool result) {
    if (at != 0 && reader_.calls() >= at) stop_.Request();
    return result;
  }
  ControlPort& inner_;
  const sim::SimulatedReader& reader_;
  StopRequest& stop_;
};

// Keeps the time left given when half the bytes were done, and the simulated time then.
class Silent final : public OperationObserver {
 public:
  void PhaseStarted(OperationPhase, uint32_t) override {}
  void BarMoved(uint32_t) override {}
  void BytesDone(uint32_t done, uint32_t total, std::optional<std::chrono::seconds> left) override {
    if (done == total / 2 && clock) halfway = {left, clock()};
  }
  std::function<uint64_t()> clock;
  std::pair<std::optional<std::chrono::seconds>, uint64_t> halfway;
};

class OperationServiceTest : public ::testing::Test {
 protected:
  // A fitted memory of this type, blank, and a session that selects it with random data.
  void Fit(int32_t typeIndex, const std::string& extra = "") {
    std::string error;
    reader =
        sim::OpenSimulatedPort("sim:" + std::string(kMemoryTypes[typeIndex].name) + extra, error);
    ASSERT_NE(reader, nullptr) << error;
    recorder = std::make_unique<sim::RecordingPort>(reader.get());
    port = std::make_unique<StopAtCall>(*recorder, *reader, stop);
    session.currentMemory.Select(typeIndex);
    std::mt19937 random(typeIndex + 1u);
    for (uint8_t& byte : session.buffer)
      byte = static_cast<uint8_t>(random());
  }
  OperationOutcome Run(OperationKind kind, uint64_t stopAt,
                       std::optional<AddressRange> range = {}) {
    port->at = stopAt;
    OperationRequest request = session.Request(kind);
    request.range = range;
    return OperationService().Run(*port, request, observer, stop);
  }
  std::vector<uint8_t> Cells() {
    const auto cells = reader->memory();
    return {cells.begin(), cells.end()};
  }
  std::vector<uint8_t> Data() const {
    return {session.buffer.begin(), session.buffer.begin() + session.currentMemory.capacity};
  }

  Session session;
  StopRequest stop;
  Silent observer;
  std::unique_ptr<sim::SimulatedReader> reader;
  std::unique_ptr<sim::RecordingPort> recorder;
  std::unique_ptr<StopAtCall> port;
};

TEST_F(OperationServiceTest, AStoppedReadRefusesItsLastByteStopsThePowersOffAndKeepsTheBuffer) {
  Fit(9);  // 24C256
  const Buffer before = session.buffer;
  const OperationOutcome outcome = Run(OperationKind::Read, 200'000);
  session.ApplyOutcome(outcome);
  EXPECT_TRUE(outcome.stopped());
  EXPECT_FALSE(outcome.succeeded());
  EXPECT_EQ(session.buffer, before);
  EXPECT_EQ(messages::OutcomeMessage(outcome), messages::kReadStopped);
  // The byte being received when the stop came is the last, not acknowledged; then the stop.
  const std::vector<BusItem> bus = test::DecodeBus(recorder->events(), session.lineMap);
  ASSERT_GE(bus.size(), 2u);
  EXPECT_EQ(bus.back(), test::Stop());
  EXPECT_EQ(bus[bus.size() - 2].kind, BusItem::Kind::Byte);
  EXPECT_FALSE(bus[bus.size() - 2].acked);
  EXPECT_EQ(test::CountKind(bus, BusItem::Kind::Start), 2u) << "one dummy write, one read";
  EXPECT_LT(outcome.read.bytesRead, kMemoryTypes[9].capacity);
  // The byte in progress (30 calls), one more without acknowledge, the stop, the power-off.
  EXPECT_LE(reader->calls() - 200'000, 30u + 29u + 3u + 4u);
  EXPECT_FALSE(reader->valim());
}

TEST_F(OperationServiceTest, ProgrammingStopsOnlyOnceTheBlockInProgressIsWrittenAndItsCycleOver) {
  struct Case {
    const char* what;
    int32_t type;
    bool pageMode;
    std::string extra;
    uint64_t stopAt;
    uint32_t block;
  };
  const Case cases[] = {
      // About 3000 calls a 64-byte page, 53 a poll.
      {"in the fourth page's transfer", 9, true, "", 10'000, 64},
      {"while polling the first page's write cycle", 9, true, ",busy-polls=1000", 10'000, 64},
      {"in the middle of a byte in byte mode", 2, false, "", 2'000, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    stop.Clear();
    Fit(c.type, c.extra);
    session.currentMemory.pageMode = c.pageMode;
    const std::vector<uint8_t> blank = Cells();
    const OperationOutcome outcome = Run(OperationKind::ProgramMemory, c.stopAt);
    EXPECT_TRUE(outcome.stopped());
    EXPECT_FALSE(outcome.verify) << "no read back after a stop";
    const uint32_t written = outcome.program.bytesWritten;
    ASSERT_GT(written, 0u);
    EXPECT_EQ(written % c.block, 0u);
    const std::vector<uint8_t> cells = Cells();
    const std::vector<uint8_t> data = Data();
    EXPECT_TRUE(std::equal(cells.begin(), cells.begin() + written, data.begin()));
    EXPECT_TRUE(std::equal(cells.begin() + written, cells.end(), blank.begin() + written));
    EXPECT_EQ(messages::OutcomeMessage(outcome),
              "Programmation interrompue : les octets $0000 à " +
                  messages::HexAddress(written - 1) +
                  " sont programmés, le reste de la mémoire n'a pas été modifié.");
    EXPECT_FALSE(reader->valim());
  }
}

TEST_F(OperationServiceTest, AStoppedRangeSaysWhichOfItsBytesAreProgrammed) {
  Fit(5);  // 24C16, 16-byte pages
  std::vector<uint8_t> expected = Cells();
  const OperationOutcome outcome =
      Run(OperationKind::ProgramMemory, 5'000, AddressRange{0x105, 0x3FF});
  ASSERT_TRUE(outcome.stopped());
  const uint32_t end = 0x105 + outcome.program.bytesWritten;  // the first address not written
  ASSERT_GT(end, 0x105u);
  EXPECT_EQ(end % 16, 0u) << "a stop comes between two pages";
  std::copy(session.buffer.begin() + 0x105, session.buffer.begin() + end, expected.begin() + 0x105);
  EXPECT_EQ(Cells(), expected);
  EXPECT_EQ(messages::OutcomeMessage(outcome),
            "Programmation interrompue : les octets $0105 à " + messages::HexAddress(end - 1) +
                " sont programmés, le reste de la mémoire n'a pas été modifié.");
}

TEST_F(OperationServiceTest, AStopBeforeTheFirstPageWritesNothing) {
  Fit(5);  // 24C16
  const std::vector<uint8_t> blank = Cells();
  stop.Request();
  const OperationOutcome outcome = Run(OperationKind::ProgramMemory, 0);
  EXPECT_TRUE(outcome.stopped());
  EXPECT_EQ(outcome.program.bytesWritten, 0u);
  EXPECT_EQ(Cells(), blank);
  EXPECT_EQ(messages::OutcomeMessage(outcome), messages::kProgramStoppedAtOnce);
}

TEST_F(OperationServiceTest, AStopDuringTheReadBackLeavesTheMemoryProgrammedButUnverified) {
  Fit(5);
  // A 24C16 programs in about 128 pages of 900 calls and 24 polls each; its read back follows.
  const OperationOutcome outcome = Run(OperationKind::ProgramMemory, 300'000);
  ASSERT_TRUE(outcome.program.succeeded());
  ASSERT_TRUE(outcome.verify);
  EXPECT_TRUE(outcome.verify->stopped);
  EXPECT_TRUE(outcome.stopped());
  EXPECT_EQ(Cells(), Data());
  EXPECT_EQ(messages::OutcomeMessage(outcome), messages::kVerifyStopped);
}

TEST_F(OperationServiceTest, AStoppedCompareReportsWhatItCompared) {
  Fit(6);  // 24C32
  const OperationOutcome outcome = Run(OperationKind::Compare, 20'000);
  EXPECT_TRUE(outcome.stopped());
  const uint32_t compared = outcome.compare.bytesCompared;
  ASSERT_GT(compared, 0u);
  EXPECT_EQ(outcome.memory.size(), compared);
  // A blank memory against random data: every byte compared that is not FF differs.
  const std::vector<uint8_t> data = Data();
  const auto differing = static_cast<uint32_t>(
      std::count_if(data.begin(), data.begin() + compared, [](uint8_t b) { return b != 0xFF; }));
  EXPECT_EQ(outcome.compare.differences, differing);
  EXPECT_EQ(messages::OutcomeMessage(outcome),
            "Comparaison interrompue : " + std::to_string(differing) +
                " octet(s) différent(s) parmi les " + std::to_string(compared) +
                " premiers octets sur un total de 4096.");
}

TEST_F(OperationServiceTest, TheSelectedByteIgnoresAStopAndAFailedPortWinsOverOne) {
  Fit(2);
  session.currentMemory.cursorAddress = 0x1F;
  stop.Request();
  const OperationOutcome byte = Run(OperationKind::ProgramByte, 0);
  EXPECT_TRUE(byte.succeeded());
  EXPECT_EQ(Cells()[0x1F], session.buffer[0x1F]);

  stop.Clear();
  Fit(2, ",pullout=2100");  // pulled out during the byte the stop waits for
  session.currentMemory.pageMode = false;
  const OperationOutcome pulled = Run(OperationKind::ProgramMemory, 2'000);
  EXPECT_FALSE(pulled.stopped());
  EXPECT_TRUE(pulled.program.portFailed);
  EXPECT_EQ(messages::OutcomeMessage(pulled), messages::kProgramInterrupted);
}

TEST(TimeLeft, ComesFromThePhasesRateAndWeighsTheLaterPhasesByTheirCalls) {
  const TimeLeft::Clock::time_point t0{};
  TimeLeft read({1000});
  read.StartPhase(0, t0);
  EXPECT_FALSE(read.Estimate(10, 4000, t0 + 500ms)) << "too early for a rate";
  // 1000 of 4000 bytes in 10 s: 30 s for the 3000 left.
  EXPECT_EQ(read.Estimate(1000, 4000, t0 + 10s), 30s);
  // Half the programming in 10 s, then a read back of half its calls: 10 s + 10 s.
  TimeLeft program({2000, 1000});
  program.StartPhase(0, t0);
  EXPECT_EQ(program.Estimate(50, 100, t0 + 10s), 20s);
}

TEST_F(OperationServiceTest, TheTimeLeftOfAReadMatchesThePortsPace) {
  Fit(8, ",cost=20000");  // a 24C128 read of about 15 s on the reader's own clock
  observer.clock = [this] { return reader->clock(); };
  const OperationOutcome outcome =
      OperationService([this] {
        return TimeLeft::Clock::time_point(std::chrono::nanoseconds(reader->clock()));
      }).Run(*port, session.Request(OperationKind::Read), observer, stop);
  ASSERT_TRUE(outcome.succeeded());
  const auto [left, then] = observer.halfway;
  ASSERT_TRUE(left);
  const double actual = static_cast<double>(reader->clock() - then) / 1e9;
  EXPECT_NEAR(static_cast<double>(left->count()), actual, 1.0);
}

}  // namespace
}  // namespace keldar
