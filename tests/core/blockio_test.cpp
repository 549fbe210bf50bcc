#include "i2c/blockio.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "bus_trace.h"
#include "i2c/line_executor.h"
#include "sim/recording_port.h"

namespace keldar {
namespace {

using sim::PortEvent;
using sim::RecordingPort;
using test::BusItem;

constexpr InputLevels kAck{};
// Nothing pulls SDA low: the standard reader reads high.
constexpr InputLevels kNack = InputLevels::Of({InputLine::Cts});

// A scripted slave: status reads are answered in turn from a list (acknowledge bits during
// writes), then with a steady level.
class BlockIoTest : public ::testing::Test {
 protected:
  void Use(int32_t typeIndex, int32_t base = 0) {
    memory.Select(typeIndex);
    memory.baseAddress = base;
  }
  std::vector<BusItem> Bus() const { return test::DecodeBus(port.events(), map); }
  std::vector<uint8_t> Bytes() const { return test::BusBytes(Bus()); }

  LineMap map;
  RecordingPort port;
  LineExecutor executor{map, port};
  CurrentMemory memory;
  BlockIo io{executor, memory};
};

TEST_F(BlockIoTest, StartAddressAtCapacityTouchesNoLine) {
  Use(2);
  EXPECT_EQ(io.WriteByte(256, 0x11), BlockResult::NotStarted);
  const uint8_t page[4] = {};
  EXPECT_EQ(io.WritePage(256, page, 4), BlockResult::NotStarted);
  Use(11);
  EXPECT_EQ(io.WriteByte(128, 0x11), BlockResult::NotStarted);
  EXPECT_TRUE(port.events().empty()) << "not even the X24C01's clock pulses";
}

TEST_F(BlockIoTest, LastAddressIsWrittenNormally) {
  Use(2);
  port.SetSteadyInputs(kAck);
  EXPECT_EQ(io.WriteByte(255, 0x11), BlockResult::Ok);
  EXPECT_EQ(Bytes(), (std::vector<uint8_t>{0xA0, 0xFF, 0x11, 0xA0}));
}

TEST_F(BlockIoTest, SmallMemoryCarriesBlockBitsButPollsWithout) {
  Use(5, 5);  // a 24C16 ignores the base address
  port.SetSteadyInputs(kAck);
  EXPECT_EQ(io.WriteByte(0x5A3, 0x42), BlockResult::Ok);
  EXPECT_EQ(Bus(),
            (std::vector<BusItem>{test::Start(), test::Byte(0xAA, true), test::Byte(0xA3, true),
                                  test::Byte(0x42, true), test::Stop(), test::Start(),
                                  test::Byte(0xA0, true), test::Stop()}));
}

TEST_F(BlockIoTest, LargeMemorySendsTwoAddressBytesWithItsPins) {
  Use(9, 2);
  port.SetSteadyInputs(kAck);
  const uint8_t data[3] = {7, 8, 9};
  EXPECT_EQ(io.WritePage(0x1234, data, 3), BlockResult::Ok);
  EXPECT_EQ(Bytes(), (std::vector<uint8_t>{0xA4, 0x12, 0x34, 7, 8, 9, 0xA4}));
}

TEST_F(BlockIoTest, X24C01ResyncsThenSendsItsControlByteAndPollsWithReadOfZero) {
  Use(11);
  port.ScriptInputs({kAck, kAck, kNack, kNack});  // control, data, two busy polls
  port.SetSteadyInputs(kAck);
  EXPECT_EQ(io.WriteByte(0x05, 0x3C), BlockResult::Ok);
  const auto items = Bus();
  ASSERT_GE(items.size(), 9U);
  for (size_t i = 0; i < 9; ++i)
    EXPECT_EQ(items[i].kind, BusItem::Kind::IdleClock) << i;
  EXPECT_EQ(
      std::vector<BusItem>(items.begin() + 9, items.end()),
      (std::vector<BusItem>{test::Start(), test::Byte(0x0A, true), test::Byte(0x3C, true),
                            test::Stop(), test::Start(), test::Byte(0x01, false), test::Stop(),
                            test::Start(), test::Byte(0x01, false), test::Stop(), test::Start(),
                            test::Byte(0x01, true), test::Stop()}));
}

TEST_F(BlockIoTest, EachRefusedByteGivesItsCodeAStopAndNoPolling) {
  struct Case {
    int32_t type;
    size_t refused;  // position of the first refused byte on the bus
    BlockResult expected;
  };
  const std::array<uint8_t, 4> data{1, 2, 3, 4};
  for (const Case& c :
       {Case{5, 0, BlockResult::NoDeviceAck}, Case{5, 1, BlockResult::SecondByteNack},
        Case{5, 2, BlockResult::DataNack}, Case{10, 1, BlockResult::SecondByteNack},
        Case{10, 2, BlockResult::ThirdByteNack}, Case{10, 5, BlockResult::DataNack},
        Case{11, 0, BlockResult::NoDeviceAck}, Case{11, 1, BlockResult::DataNack}}) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " refused " << c.refused);
    port.Clear();
    Use(c.type);
    port.ScriptInputs(std::vector<InputLevels>(c.refused, kAck));
    port.SetSteadyInputs(kNack);
    EXPECT_EQ(io.WritePage(0x10, data.data(), 4), c.expected);
    const auto items = Bus();
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items.back(), test::Stop());
    EXPECT_EQ(test::CountKind(items, BusItem::Kind::Start), 1U) << "no polling after a failure";
    EXPECT_EQ(test::BusBytes(items).size(), c.refused + 1) << "nothing after the refused byte";
  }
}

TEST_F(BlockIoTest, PageStopsAtThirdRefusedDataByte) {
  Use(6);
  port.ScriptInputs({kAck, kAck, kAck, kAck, kAck, kNack});
  port.SetSteadyInputs(kAck);
  const uint8_t data[8] = {10, 11, 12, 13, 14, 15, 16, 17};
  EXPECT_EQ(io.WritePage(0x40, data, 8), BlockResult::DataNack);
  EXPECT_EQ(Bytes(), (std::vector<uint8_t>{0xA0, 0x00, 0x40, 10, 11, 12}));
}

TEST_F(BlockIoTest, The2500thPollAnsweredStillSucceeds) {
  Use(5);
  std::vector<InputLevels> script{kAck, kAck, kAck};
  script.insert(script.end(), kMaxWriteCyclePolls - 1, kNack);
  port.ScriptInputs(script);
  port.SetSteadyInputs(kAck);
  EXPECT_EQ(io.WriteByte(0, 0x55), BlockResult::Ok);
  EXPECT_EQ(test::CountKind(Bus(), BusItem::Kind::Start), 1U + kMaxWriteCyclePolls);
}

TEST_F(BlockIoTest, NoPollAnsweredTimesOutAfterExactly2500Attempts) {
  Use(5);
  port.ScriptInputs({kAck, kAck, kAck});
  port.SetSteadyInputs(kNack);
  EXPECT_EQ(io.WriteByte(0, 0x55), BlockResult::WriteCycleTimeout);
  const auto items = Bus();
  EXPECT_EQ(test::CountKind(items, BusItem::Kind::Start), 1U + kMaxWriteCyclePolls);
  EXPECT_EQ(items.back(), test::Stop());
}

TEST_F(BlockIoTest, PollCostsFiftyTwoOutputsAndOneRead) {
  Use(5);
  port.SetSteadyInputs(kAck);
  EXPECT_EQ(io.WaitWriteCycle(0xA0), BlockResult::Ok);
  EXPECT_EQ(port.Count(PortEvent::Kind::Line), 52U);
  EXPECT_EQ(port.Count(PortEvent::Kind::Read), 1U);
}

TEST_F(BlockIoTest, EnforcedReadStopsAtTheRefusedWordAddress) {
  Use(10);
  port.ScriptInputs({kAck, kNack});
  port.SetSteadyInputs(kNack);
  std::vector<uint8_t> dest(65536, 0x11);
  EXPECT_EQ(io.SequentialRead(dest.data(), true, {}), BlockResult::SecondByteNack);
  EXPECT_EQ(Bytes(), (std::vector<uint8_t>{0xA0, 0x00})) << "no low address byte, no data phase";
  EXPECT_EQ(dest[0], 0x11);

  port.Clear();
  port.ScriptInputs({kAck, kAck, kNack});
  EXPECT_EQ(io.SequentialRead(dest.data(), true, {}), BlockResult::ThirdByteNack);
}

TEST_F(BlockIoTest, UnenforcedReadCarriesOnPastRefusedAddressBytes) {
  Use(10);
  port.ScriptInputs({kAck, kNack, kNack, kNack});
  port.SetSteadyInputs(kNack);  // the data bits then read as 1
  std::vector<uint8_t> dest(65536, 0x11);
  EXPECT_EQ(io.SequentialRead(dest.data(), false, {}), BlockResult::Ok);
  EXPECT_EQ(dest.front(), 0xFF);
  EXPECT_EQ(dest.back(), 0xFF);
}

TEST_F(BlockIoTest, ReadingA24C00AcknowledgesAllButTheLastOfSixteen) {
  Use(0);
  port.SetSteadyInputs(kAck);
  std::array<uint8_t, 16> dest{};
  std::vector<uint32_t> progress;
  EXPECT_EQ(io.SequentialRead(dest.data(), true,
                              [&](uint32_t i) {
                                progress.push_back(i);
                                return true;
                              }),
            BlockResult::Ok);
  const auto items = Bus();
  std::vector<BusItem> expected{test::Start(), test::Byte(0xA0, true), test::Byte(0x00, true),
                                test::Start(), test::Byte(0xA1, true)};
  for (int i = 0; i < 15; ++i)
    expected.push_back(test::Byte(0x00, true));
  expected.push_back(test::Byte(0x00, false));
  expected.push_back(test::Stop());
  EXPECT_EQ(items, expected);
  EXPECT_EQ(progress.size(), 15U);
  EXPECT_EQ(progress.back(), 14U);
}

TEST_F(BlockIoTest, ReadEndedByItsProgressRefusesTheByteItStopsAt) {
  Use(2);  // 24C02
  port.SetSteadyInputs(kAck);
  std::array<uint8_t, 256> dest{};
  EXPECT_EQ(io.SequentialRead(dest.data(), true, [](uint32_t i) { return i != 5; }),
            BlockResult::Ok);
  std::vector<BusItem> expected{test::Start(), test::Byte(0xA0, true), test::Byte(0x00, true),
                                test::Start(), test::Byte(0xA1, true)};
  for (int i = 0; i < 5; ++i)
    expected.push_back(test::Byte(0x00, true));
  expected.push_back(test::Byte(0x00, false));  // the sixth byte is the last: not acknowledged
  expected.push_back(test::Stop());
  EXPECT_EQ(Bus(), expected);
}

TEST_F(BlockIoTest, ReadingTheX24C01StartsWithControlByteOneAndNoDummyWrite) {
  Use(11);
  port.SetSteadyInputs(kNack);  // its acknowledge is not examined
  std::array<uint8_t, 128> dest{};
  EXPECT_EQ(io.SequentialRead(dest.data(), true, {}), BlockResult::Ok);
  const auto items = Bus();
  EXPECT_EQ(items[0], test::Start());
  EXPECT_EQ(items[1], test::Byte(0x01, false));
  EXPECT_EQ(test::CountKind(items, BusItem::Kind::Start), 1U);
  EXPECT_EQ(test::BusBytes(items).size(), 129U);
}

// DS20001941 5.0: reads stay within one half, which B0 (bit 3 of both control bytes) selects.
TEST_F(BlockIoTest, A24LC1025IsReadInTwoHalvesEachEndingUnacknowledged) {
  Use(13, 2);  // A1 = 1
  port.SetSteadyInputs(kAck);
  std::vector<uint8_t> dest(131072);
  ASSERT_EQ(io.SequentialRead(dest.data(), true, {}), BlockResult::Ok);
  const auto items = Bus();
  ASSERT_EQ(items.size(), 2 * (6 + 65536U) + 1);  // the stop after the second half
  for (const size_t half : {0U, 6U + 65536U}) {
    const auto device = static_cast<uint8_t>(half == 0 ? 0xA4 : 0xAC);
    EXPECT_EQ(Bytes()[half == 0 ? 0 : 4 + 65536], device);
    EXPECT_EQ(items[half + 5], test::Byte(device | 1, true));
    EXPECT_EQ(items[half + 6 + 65535], test::Byte(0, false));
  }
  EXPECT_EQ(items.back(), test::Stop());
  port.Clear();  // ended at the first half's last byte, the read does not go on
  EXPECT_EQ(io.SequentialRead(dest.data(), true, [](uint32_t i) { return i != 65535; }),
            BlockResult::Ok);
  EXPECT_EQ(test::CountKind(Bus(), BusItem::Kind::Start), 2U);
}

TEST_F(BlockIoTest, ReadWithPinsUsesThemWithoutBlockBits) {
  Use(3, 7);  // 24C04: A2 A1 from the pins, bit 1 is a8 and stays 0
  port.SetSteadyInputs(kAck);
  std::vector<uint8_t> dest(512);
  EXPECT_EQ(io.SequentialRead(dest.data(), true, {}), BlockResult::Ok);
  const auto bytes = Bytes();
  EXPECT_EQ(bytes[0], 0xAC);
  EXPECT_EQ(bytes[2], 0xAD);
}

}  // namespace
}  // namespace keldar
