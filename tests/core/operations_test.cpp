#include "i2c/operations.h"
#include "data/buffer.h"

#include <gtest/gtest.h>

#include <vector>

#include "bus_trace.h"
#include "i2c/line_executor.h"
#include "sim/recording_port.h"

namespace keldar {
namespace {

using sim::PortEvent;
using sim::RecordingPort;
using test::BusItem;

// SDA reads 1: the line check passes, bytes are refused.
constexpr InputLevels kHigh = InputLevels::Of({InputLine::Cts});
constexpr InputLevels kLow{};  // SDA reads 0: every byte acknowledged, data read as 0

// A memory that acknowledges everything after a passing line check.
class OperationsTest : public ::testing::Test {
 protected:
  void SetUp() override { buffer.fill(0xFF); }
  void Use(int32_t typeIndex, bool pageMode = true) {
    memory.Select(typeIndex);
    memory.pageMode = pageMode;
  }
  void AcknowledgeEverything() {
    port.ScriptInputs({kHigh});
    port.SetSteadyInputs(kLow);
  }
  ProgressCallback Record() {
    return [this](uint32_t value) { progress.push_back(value); };
  }
  std::vector<BusItem> Bus() const { return test::DecodeBus(port.events(), map); }

  LineMap map;
  RecordingPort port;
  LineExecutor bus{map, port};
  CurrentMemory memory;
  Buffer buffer{};
  std::vector<uint32_t> progress;
};

TEST_F(OperationsTest, ProgressSteps) {
  EXPECT_EQ(ReadProgressStep(16), 1U);
  EXPECT_EQ(ReadProgressStep(32), 1U);
  EXPECT_EQ(ReadProgressStep(65536), 2048U);
  EXPECT_EQ(ByteProgramProgressStep(16), 1U);
  EXPECT_EQ(ByteProgramProgressStep(256), 4U);
}

TEST_F(OperationsTest, FailedLineCheckReadsNothingAndPowersOff) {
  Use(2);
  port.SetSteadyInputs(kLow);
  const ReadOutcome outcome = ReadMemory(bus, memory, buffer, Record());
  EXPECT_EQ(outcome.result, BlockResult::NoDeviceAck);
  EXPECT_FALSE(outcome.succeeded());
  EXPECT_EQ(buffer[0], 0xFF);
  EXPECT_TRUE(progress.empty());
  // PowerOn, one status read, the stop, PowerOff.
  const auto set = [](OutputLine line, bool asserted) { return sim::LineEvent(line, asserted); };
  constexpr OutputLine kTxd = OutputLine::Txd, kDtr = OutputLine::Dtr, kRts = OutputLine::Rts;
  EXPECT_EQ(port.LineChanges(),
            (std::vector<PortEvent>{set(kDtr, true), set(kRts, true), set(kTxd, true),
                                    set(kDtr, false), set(kRts, true), set(kDtr, true),
                                    set(kTxd, false), set(kRts, false), set(kDtr, false)}));
  EXPECT_EQ(port.Count(PortEvent::Kind::Read), 1U);
}

TEST_F(OperationsTest, ReadOfA24C00MovesTheBarAtEveryByte) {
  Use(0);
  AcknowledgeEverything();
  const ReadOutcome outcome = ReadMemory(bus, memory, buffer, Record());
  EXPECT_TRUE(outcome.succeeded());
  std::vector<uint32_t> expected;
  for (uint32_t i = 0; i < 16; ++i)
    expected.push_back(i);
  EXPECT_EQ(progress, expected);
  EXPECT_EQ(buffer[15], 0x00);
  EXPECT_EQ(buffer[16], 0xFF) << "above the active window nothing changes";
}

TEST_F(OperationsTest, ReadOfA24C512MovesTheBarThirtyTwoTimes) {
  Use(10);
  AcknowledgeEverything();
  ASSERT_TRUE(ReadMemory(bus, memory, buffer, Record()).succeeded());
  ASSERT_EQ(progress.size(), 32U);  // 31 steps, then the last byte
  EXPECT_EQ(progress.front(), 2047U);
  EXPECT_EQ(progress[30], 65535U - 2048U);
  EXPECT_EQ(progress.back(), 65535U);
}

TEST_F(OperationsTest, PortFailingDuringAReadLeavesTheBufferUntouched) {
  Use(2);
  AcknowledgeEverything();
  port.FailFromCall(3000);  // in the middle of the data phase
  const ReadOutcome outcome = ReadMemory(bus, memory, buffer, {});
  EXPECT_TRUE(outcome.portFailed);
  EXPECT_FALSE(outcome.succeeded());
  for (uint32_t i = 0; i < 256; ++i)
    ASSERT_EQ(buffer[i], 0xFF) << i;
}

TEST_F(OperationsTest, ByteModeOnA24C02MovesTheBarEveryFourthAddress) {
  Use(2, false);
  AcknowledgeEverything();
  const ProgramOutcome outcome = ProgramMemory(bus, memory, buffer, Record());
  EXPECT_TRUE(outcome.succeeded());
  ASSERT_EQ(progress.size(), 64U);
  EXPECT_EQ(progress[0], 3U);
  EXPECT_EQ(progress[1], 7U);
  EXPECT_EQ(progress[2], 11U);
  // 256 transfers, each with one poll.
  EXPECT_EQ(test::CountKind(Bus(), BusItem::Kind::Start), 512U);
}

TEST_F(OperationsTest, LargestTypesArePageModeEvenWhenByteModeIsChosen) {
  Use(10, false);
  AcknowledgeEverything();
  ASSERT_TRUE(ProgramMemory(bus, memory, buffer, Record()).succeeded());
  ASSERT_EQ(progress.size(), 512U);
  EXPECT_EQ(progress[1], 128U);
  EXPECT_EQ(progress.back(), 65536U - 128U);
}

TEST_F(OperationsTest, The24C00PagesAreSingleBytes) {
  Use(0, true);
  AcknowledgeEverything();
  ASSERT_TRUE(ProgramMemory(bus, memory, buffer, Record()).succeeded());
  EXPECT_EQ(progress.size(), 16U);
  EXPECT_EQ(test::CountKind(Bus(), BusItem::Kind::Start), 32U);
}

TEST_F(OperationsTest, RefusedTenthPageStopsThereWithTheBarOnIt) {
  Use(6);  // 24C32: pages of 32, 3 address bytes + 32 data + 1 poll per page
  std::vector<InputLevels> script{kHigh};
  script.insert(script.end(), 9 * 36, kLow);
  port.ScriptInputs(script);
  port.SetSteadyInputs(kHigh);  // the 10th page's device byte is refused
  const ProgramOutcome outcome = ProgramMemory(bus, memory, buffer, Record());
  EXPECT_EQ(outcome.result, BlockResult::NoDeviceAck);
  EXPECT_EQ(outcome.lastAddress, 9U * 32U);
  EXPECT_EQ(progress.back(), 9U * 32U);
  EXPECT_EQ(progress.size(), 10U);
}

TEST_F(OperationsTest, PortFailureEndsProgrammingAtTheNextBlock) {
  Use(6);
  AcknowledgeEverything();
  port.FailFromCall(10000);  // during the 3rd page or so
  const ProgramOutcome outcome = ProgramMemory(bus, memory, buffer, Record());
  EXPECT_TRUE(outcome.portFailed);
  EXPECT_FALSE(outcome.succeeded());
  EXPECT_LT(progress.size(), 10U);
}

TEST_F(OperationsTest, FailedLineCheckProgramsNothing) {
  Use(2);
  port.SetSteadyInputs(kLow);
  const ProgramOutcome outcome = ProgramMemory(bus, memory, buffer, Record());
  EXPECT_EQ(outcome.result, BlockResult::NotStarted);
  EXPECT_TRUE(Bus().empty()) << "no stop either: the bus was never used";
  EXPECT_TRUE(progress.empty());
}

TEST_F(OperationsTest, SelectedByteWritesExactlyThatByte) {
  Use(2);
  memory.cursorAddress = 0x1F;
  buffer[0x1F] = 0x5C;
  AcknowledgeEverything();
  EXPECT_TRUE(ProgramSelectedByte(bus, memory, buffer).succeeded());
  EXPECT_EQ(test::BusBytes(Bus()), (std::vector<uint8_t>{0xA0, 0x1F, 0x5C, 0xA0}));
}

TEST_F(OperationsTest, SelectedByteOutsideTheCapacityIsNeverReportedAsWritten) {
  Use(2);
  memory.cursorAddress = 256;
  AcknowledgeEverything();
  const ProgramOutcome outcome = ProgramSelectedByte(bus, memory, buffer);
  EXPECT_EQ(outcome.result, BlockResult::NotStarted);
  EXPECT_TRUE(test::BusBytes(Bus()).empty());
}

TEST_F(OperationsTest, CompareCountsDifferingBytes) {
  Use(4);
  AcknowledgeEverything();  // the memory reads all zeros
  buffer.fill(0x00);
  buffer[17] = 1;
  buffer[1023] = 2;
  buffer[1024] = 3;  // outside the active window
  std::vector<uint8_t> scratch(1024);
  const CompareOutcome outcome = CompareMemory(bus, memory, buffer, scratch, Record());
  EXPECT_TRUE(outcome.reachable);
  EXPECT_EQ(outcome.differences, 2U);
  EXPECT_EQ(progress.back(), 1023U);
  EXPECT_EQ(buffer[17], 1) << "the buffer is not changed";
}

TEST_F(OperationsTest, CompareCarriesOnPastARefusedWordAddress) {
  Use(6);
  port.ScriptInputs({kHigh, kLow, kHigh, kHigh});  // device ack, both address bytes refused
  port.SetSteadyInputs(kLow);
  buffer.fill(0);
  std::vector<uint8_t> scratch(4096);
  const CompareOutcome outcome = CompareMemory(bus, memory, buffer, scratch, {});
  EXPECT_TRUE(outcome.reachable);
  EXPECT_EQ(outcome.differences, 0U);
}

TEST_F(OperationsTest, CompareWithoutMemoryIsACommunicationError) {
  Use(2);
  port.SetSteadyInputs(kHigh);  // nothing acknowledges the device byte
  std::vector<uint8_t> scratch(256);
  EXPECT_FALSE(CompareMemory(bus, memory, buffer, scratch, {}).reachable);
}

TEST_F(OperationsTest, CompareWithAFailingPortIsACommunicationError) {
  Use(2);
  AcknowledgeEverything();
  buffer.fill(0);
  port.FailFromCall(2000);
  std::vector<uint8_t> scratch(256);
  EXPECT_FALSE(CompareMemory(bus, memory, buffer, scratch, {}).reachable);
}

TEST_F(OperationsTest, CompareWithoutScratchTouchesNothing) {
  Use(2);
  std::vector<uint8_t> scratch(10);
  EXPECT_FALSE(CompareMemory(bus, memory, buffer, scratch, {}).reachable);
  EXPECT_TRUE(port.events().empty());
}

}  // namespace
}  // namespace keldar
