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
constexpr int32_t kSclLow = CLRRTS;
constexpr int32_t kSclHigh = SETRTS;
constexpr int32_t kSdaLow = CLRDTR;
constexpr int32_t kSdaHigh = SETDTR;

class I2cMasterTest : public ::testing::Test {
 protected:
  LineMap map;
  RecordingPort port;
  LineDriver lines{map, port};
  I2cMaster bus{lines};
};

TEST_F(I2cMasterTest, StartStopAndClockPulseAreTheirExactLineSteps) {
  bus.I2cStart();
  EXPECT_EQ(port.EscapeCodes(),
            (std::vector<int32_t>{kSdaHigh, kSclHigh, kSdaLow, kSclLow, kSdaHigh}));
  port.Clear();
  bus.I2cStop();
  EXPECT_EQ(port.EscapeCodes(), (std::vector<int32_t>{kSdaLow, kSclHigh, kSdaHigh}));
  port.Clear();
  bus.ClockPulse();
  EXPECT_EQ(port.EscapeCodes(), (std::vector<int32_t>{kSclLow, kSclHigh, kSclLow}));
}

TEST_F(I2cMasterTest, ReadAckSamplesOnceWithSclHigh) {
  port.SetSteadyStatus(0);
  EXPECT_TRUE(bus.ReadAck());
  EXPECT_EQ(port.events(), (std::vector<PortEvent>{{Kind::Escape, kSclLow},
                                                   {Kind::Escape, kSdaHigh},
                                                   {Kind::Escape, kSclHigh},
                                                   {Kind::Status, 0, 0},
                                                   {Kind::Escape, kSclLow}}));
  port.SetSteadyStatus(MS_CTS_ON);
  EXPECT_FALSE(bus.ReadAck());
}

TEST_F(I2cMasterTest, SendByteCosts44OutputsAndOneRead) {
  port.SetSteadyStatus(0);
  EXPECT_TRUE(bus.SendByte(0x5A));
  EXPECT_EQ(port.Count(Kind::Escape), 44U);
  EXPECT_EQ(port.Count(Kind::Status), 1U);
}

TEST_F(I2cMasterTest, ZeroDrivesSdaLowForEveryBitAndReleasesBetweenBits) {
  port.SetSteadyStatus(0);
  (void)bus.SendByte(0x00);
  const std::vector<int32_t> codes = port.EscapeCodes();
  const std::vector<int32_t> bit{kSdaLow, kSclLow, kSclHigh, kSclLow, kSdaHigh};
  for (size_t n = 0; n < 8; ++n) {
    EXPECT_TRUE(std::equal(bit.begin(), bit.end(), codes.begin() + static_cast<long>(n * 5)))
        << "bit " << n;
  }
}

TEST_F(I2cMasterTest, FfKeepsSdaHighThroughout) {
  port.SetSteadyStatus(0);
  (void)bus.SendByte(0xFF);
  for (int32_t code : port.EscapeCodes())
    EXPECT_NE(code, kSdaLow);
}

TEST_F(I2cMasterTest, BitsGoOutMostSignificantFirst) {
  port.SetSteadyStatus(0);
  bus.I2cStart();
  (void)bus.SendByte(0xA6);
  bus.I2cStop();
  EXPECT_EQ(test::DecodeBus(port.events(), map),
            (std::vector<BusItem>{test::Start(), test::Byte(0xA6, true), test::Stop()}));
}

TEST_F(I2cMasterTest, ComplementedInputKeepsTheLogicalSenseOfTheAcknowledge) {
  map.complementSdaIn = true;
  port.SetSteadyStatus(MS_CTS_ON);  // electrically high, logically low: acknowledged
  EXPECT_TRUE(bus.SendByte(0x12));
  port.SetSteadyStatus(0);
  EXPECT_FALSE(bus.SendByte(0x12));
}

TEST_F(I2cMasterTest, ReceiveByteSamplesEachBitOnceAfterSclRises) {
  // 0xC5 = 1100 0101, MSB first.
  port.ScriptStatus({MS_CTS_ON, MS_CTS_ON, 0, 0, 0, MS_CTS_ON, 0, MS_CTS_ON});
  EXPECT_EQ(bus.ReceiveByte(1), 0xC5);
  EXPECT_EQ(port.Count(Kind::Status), 8U);
  EXPECT_EQ(port.Count(Kind::Escape), 22U);
  const auto& ev = port.events();
  for (size_t i = 1; i < ev.size(); ++i) {
    if (ev[i].kind == Kind::Status) {
      EXPECT_EQ(ev[i - 1], (PortEvent{Kind::Escape, kSclHigh}));
    }
  }
}

TEST_F(I2cMasterTest, OnlyFlagOneAcknowledges) {
  port.SetSteadyStatus(MS_CTS_ON);
  (void)bus.ReceiveByte(1);
  std::vector<int32_t> codes = port.EscapeCodes();
  const std::vector<int32_t> ackTail{kSdaLow, kSclLow, kSclHigh, kSclLow, kSdaHigh};
  EXPECT_TRUE(std::equal(ackTail.begin(), ackTail.end(), codes.end() - 5));

  for (int flag : {0, 2}) {
    port.Clear();
    (void)bus.ReceiveByte(flag);
    codes = port.EscapeCodes();
    EXPECT_EQ(codes.size(), 21U) << "flag " << flag;
    for (int32_t code : codes)
      EXPECT_NE(code, kSdaLow) << "flag " << flag;
  }
}

TEST_F(I2cMasterTest, FirstZeroBitAfterStartIsNoSecondStart) {
  port.SetSteadyStatus(0);
  bus.I2cStart();
  (void)bus.SendByte(0x00);
  const auto items = test::DecodeBus(port.events(), map);
  EXPECT_EQ(test::CountKind(items, BusItem::Kind::Start), 1U);
  EXPECT_EQ(test::BusBytes(items), (std::vector<uint8_t>{0x00}));
}

TEST_F(I2cMasterTest, StartAfterSendByteIsARepeatedStart) {
  port.SetSteadyStatus(0);
  bus.I2cStart();
  (void)bus.SendByte(0xA0);
  bus.I2cStart();
  (void)bus.SendByte(0xA1);
  EXPECT_EQ(test::DecodeBus(port.events(), map),
            (std::vector<BusItem>{test::Start(), test::Byte(0xA0, true), test::Start(),
                                  test::Byte(0xA1, true)}));
}

TEST_F(I2cMasterTest, NothingDrivingSdaLowReadsAsNoAcknowledgeAndFf) {
  port.SetSteadyStatus(MS_CTS_ON);
  EXPECT_FALSE(bus.SendByte(0x00));
  EXPECT_FALSE(bus.SendByte(0xA0));
  EXPECT_EQ(bus.ReceiveByte(1), 0xFF);
  EXPECT_EQ(bus.ReceiveByte(0), 0xFF);
}

}  // namespace
}  // namespace keldar
