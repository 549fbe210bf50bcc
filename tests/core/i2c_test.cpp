#include "i2c/i2c.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "bus_trace.h"
#include "sim/recording_port.h"

namespace keldar {
namespace {

using sim::PortEvent;
using sim::RecordingPort;
using test::BusItem;
using Kind = PortEvent::Kind;

// The standard map: SCL on RTS, SDA on DTR.
const PortEvent kSclLow = sim::LineEvent(OutputLine::Rts, false);
const PortEvent kSclHigh = sim::LineEvent(OutputLine::Rts, true);
const PortEvent kSdaLow = sim::LineEvent(OutputLine::Dtr, false);
const PortEvent kSdaHigh = sim::LineEvent(OutputLine::Dtr, true);
constexpr InputLevels kLow{};  // nothing asserted: SDA reads 0 on the standard reader
constexpr InputLevels kHigh = InputLevels::Of({InputLine::Cts});

class I2cMasterTest : public ::testing::Test {
 protected:
  LineMap map;
  RecordingPort port;
  LineDriver lines{map, port};
  I2cMaster bus{lines};
};

TEST_F(I2cMasterTest, StartStopAndClockPulseAreTheirExactLineSteps) {
  bus.I2cStart();
  EXPECT_EQ(port.LineChanges(),
            (std::vector<PortEvent>{kSdaHigh, kSclHigh, kSdaLow, kSclLow, kSdaHigh}));
  port.Clear();
  bus.I2cStop();
  EXPECT_EQ(port.LineChanges(), (std::vector<PortEvent>{kSdaLow, kSclHigh, kSdaHigh}));
  port.Clear();
  bus.ClockPulse();
  EXPECT_EQ(port.LineChanges(), (std::vector<PortEvent>{kSclLow, kSclHigh, kSclLow}));
}

TEST_F(I2cMasterTest, ReadAckSamplesOnceWithSclHigh) {
  port.SetSteadyInputs(kLow);
  EXPECT_TRUE(bus.ReadAck());
  EXPECT_EQ(port.events(),
            (std::vector<PortEvent>{kSclLow, kSdaHigh, kSclHigh, sim::ReadEvent(kLow), kSclLow}));
  port.SetSteadyInputs(kHigh);
  EXPECT_FALSE(bus.ReadAck());
}

TEST_F(I2cMasterTest, SendByteCosts44OutputsAndOneRead) {
  port.SetSteadyInputs(kLow);
  EXPECT_TRUE(bus.SendByte(0x5A));
  EXPECT_EQ(port.Count(Kind::Line), 44U);
  EXPECT_EQ(port.Count(Kind::Read), 1U);
}

TEST_F(I2cMasterTest, ZeroDrivesSdaLowForEveryBitAndReleasesBetweenBits) {
  port.SetSteadyInputs(kLow);
  (void)bus.SendByte(0x00);
  const std::vector<PortEvent> codes = port.LineChanges();
  const std::vector<PortEvent> bit{kSdaLow, kSclLow, kSclHigh, kSclLow, kSdaHigh};
  for (size_t n = 0; n < 8; ++n) {
    EXPECT_TRUE(std::equal(bit.begin(), bit.end(), codes.begin() + static_cast<long>(n * 5)))
        << "bit " << n;
  }
}

TEST_F(I2cMasterTest, FfKeepsSdaHighThroughout) {
  port.SetSteadyInputs(kLow);
  (void)bus.SendByte(0xFF);
  for (const PortEvent& code : port.LineChanges())
    EXPECT_NE(code, kSdaLow);
}

TEST_F(I2cMasterTest, BitsGoOutMostSignificantFirst) {
  port.SetSteadyInputs(kLow);
  bus.I2cStart();
  (void)bus.SendByte(0xA6);
  bus.I2cStop();
  EXPECT_EQ(test::DecodeBus(port.events(), map),
            (std::vector<BusItem>{test::Start(), test::Byte(0xA6, true), test::Stop()}));
}

TEST_F(I2cMasterTest, ComplementedInputKeepsTheLogicalSenseOfTheAcknowledge) {
  map.complementSdaIn = true;
  port.SetSteadyInputs(kHigh);  // electrically high, logically low: acknowledged
  EXPECT_TRUE(bus.SendByte(0x12));
  port.SetSteadyInputs(kLow);
  EXPECT_FALSE(bus.SendByte(0x12));
}

TEST_F(I2cMasterTest, ReceiveByteSamplesEachBitOnceAfterSclRises) {
  // 0xC5 = 1100 0101, MSB first.
  port.ScriptInputs({kHigh, kHigh, kLow, kLow, kLow, kHigh, kLow, kHigh});
  EXPECT_EQ(bus.ReceiveByte(1), 0xC5);
  EXPECT_EQ(port.Count(Kind::Read), 8U);
  EXPECT_EQ(port.Count(Kind::Line), 22U);
  const auto& ev = port.events();
  for (size_t i = 1; i < ev.size(); ++i) {
    if (ev[i].kind == Kind::Read) {
      EXPECT_EQ(ev[i - 1], kSclHigh);
    }
  }
}

TEST_F(I2cMasterTest, OnlyFlagOneAcknowledges) {
  port.SetSteadyInputs(kHigh);
  (void)bus.ReceiveByte(1);
  std::vector<PortEvent> codes = port.LineChanges();
  const std::vector<PortEvent> ackTail{kSdaLow, kSclLow, kSclHigh, kSclLow, kSdaHigh};
  EXPECT_TRUE(std::equal(ackTail.begin(), ackTail.end(), codes.end() - 5));

  for (int flag : {0, 2}) {
    port.Clear();
    (void)bus.ReceiveByte(flag);
    codes = port.LineChanges();
    EXPECT_EQ(codes.size(), 21U) << "flag " << flag;
    for (const PortEvent& code : codes)
      EXPECT_NE(code, kSdaLow) << "flag " << flag;
  }
}

TEST_F(I2cMasterTest, FirstZeroBitAfterStartIsNoSecondStart) {
  port.SetSteadyInputs(kLow);
  bus.I2cStart();
  (void)bus.SendByte(0x00);
  const auto items = test::DecodeBus(port.events(), map);
  EXPECT_EQ(test::CountKind(items, BusItem::Kind::Start), 1U);
  EXPECT_EQ(test::BusBytes(items), (std::vector<uint8_t>{0x00}));
}

TEST_F(I2cMasterTest, StartAfterSendByteIsARepeatedStart) {
  port.SetSteadyInputs(kLow);
  bus.I2cStart();
  (void)bus.SendByte(0xA0);
  bus.I2cStart();
  (void)bus.SendByte(0xA1);
  EXPECT_EQ(test::DecodeBus(port.events(), map),
            (std::vector<BusItem>{test::Start(), test::Byte(0xA0, true), test::Start(),
                                  test::Byte(0xA1, true)}));
}

TEST_F(I2cMasterTest, NothingDrivingSdaLowReadsAsNoAcknowledgeAndFf) {
  port.SetSteadyInputs(kHigh);
  EXPECT_FALSE(bus.SendByte(0x00));
  EXPECT_FALSE(bus.SendByte(0xA0));
  EXPECT_EQ(bus.ReceiveByte(1), 0xFF);
  EXPECT_EQ(bus.ReceiveByte(0), 0xFF);
}

}  // namespace
}  // namespace keldar
