// Every result code of the block transfers, each produced by a memory that really misbehaves in
// the matching way.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "sim_rig.h"

namespace keldar {
namespace {

using test::Fitted;
using test::Rig;

constexpr int32_t k24C02 = 2;
constexpr int32_t k24C16 = 5;
constexpr int32_t k24C32 = 6;
constexpr int32_t k24C256 = 9;

TEST(BlockFaultTest, PinsThatDoNotMatchGiveNoDeviceAck) {
  Rig rig(Fitted(k24C02, /*pins=*/3), /*base=*/0);
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WriteByte(0x10, 0x55), BlockResult::NoDeviceAck);
  std::vector<uint8_t> data(256);
  EXPECT_EQ(rig.io.SequentialRead(data.data(), true, {}), BlockResult::NoDeviceAck);
  rig.lines.PowerOff();
  EXPECT_EQ(rig.reader.counters().addressed, 0U);
  EXPECT_EQ(rig.Cells(), std::vector<uint8_t>(256, 0xFF));

  // The same program with the right base address reaches it.
  rig.memory.baseAddress = 3;
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WriteByte(0x10, 0x55), BlockResult::Ok);
  rig.lines.PowerOff();
  EXPECT_EQ(rig.Cells()[0x10], 0x55);
}

TEST(BlockFaultTest, NoMemoryOrNoReaderGivesNoDeviceAck) {
  sim::SimConfig absent = Fitted(k24C256);
  absent.absent = true;
  Rig empty(absent);
  empty.lines.PowerOn();
  EXPECT_EQ(empty.lines.ReadSda(), 1);  // the line check passes: SDA follows the master
  EXPECT_EQ(empty.io.WriteByte(0, 1), BlockResult::NoDeviceAck);
  empty.lines.PowerOff();

  // Nothing plugged in: every input reads negated. On a standard reader SDA reads 0, so the line
  // check fails, and without it every acknowledge would seem given and the memory read as zeros.
  sim::SimConfig none = Fitted(k24C02);
  none.noReader = true;
  Rig nothing(none);
  nothing.lines.PowerOn();
  EXPECT_EQ(nothing.lines.ReadSda(), 0);
  std::vector<uint8_t> data(256, 0xAA);
  EXPECT_EQ(nothing.io.SequentialRead(data.data(), true, {}), BlockResult::Ok);
  EXPECT_EQ(data, std::vector<uint8_t>(256, 0x00));
  nothing.lines.PowerOff();

  // Through the in-situ adapter's inverted input the same silence reads 1: no acknowledge.
  none.wiring = sim::Wiring::InSitu;
  Rig nothingInSitu(none);
  nothingInSitu.lines.PowerOn();
  EXPECT_EQ(nothingInSitu.lines.ReadSda(), 1);
  EXPECT_EQ(nothingInSitu.io.WriteByte(0, 1), BlockResult::NoDeviceAck);
  nothingInSitu.lines.PowerOff();
}

TEST(BlockFaultTest, RefusedAddressBytesGiveSecondAndThirdByteNack) {
  sim::SimConfig second = Fitted(k24C16);
  second.faults.refusedByte = 2;
  Rig small(second);
  small.lines.PowerOn();
  EXPECT_EQ(small.io.WriteByte(0x5A3, 0x42), BlockResult::SecondByteNack);
  std::vector<uint8_t> data(2048);
  EXPECT_EQ(small.io.SequentialRead(data.data(), true, {}), BlockResult::SecondByteNack);
  small.lines.PowerOff();
  EXPECT_EQ(small.reader.counters().writeCyclesStarted, 0U);

  sim::SimConfig third = Fitted(k24C256);
  third.faults.refusedByte = 3;
  Rig large(third);
  large.lines.PowerOn();
  EXPECT_EQ(large.io.WriteByte(0x1234, 0x42), BlockResult::ThirdByteNack);
  const std::array<uint8_t, 4> page{1, 2, 3, 4};
  EXPECT_EQ(large.io.WritePage(0x40, page.data(), 4), BlockResult::ThirdByteNack);
  large.lines.PowerOff();
  EXPECT_EQ(large.Cells(), std::vector<uint8_t>(32768, 0xFF));
}

TEST(BlockFaultTest, UnenforcedAcknowledgesReadAMemoryThatRefusesItsWordAddress) {
  sim::SimConfig config = Fitted(k24C16);
  config.faults.refusedByte = 2;
  Rig rig(config);
  for (uint32_t a = 0; a < 2048; ++a)
    rig.reader.memory()[a] = static_cast<uint8_t>(a ^ 0x3C);
  const std::vector<uint8_t> cells = rig.Cells();
  std::vector<uint8_t> data(2048);
  rig.lines.PowerOn();
  // The address counter is still 0 after power-up, so the current-address read starts there.
  EXPECT_EQ(rig.io.SequentialRead(data.data(), false, {}), BlockResult::Ok);
  rig.lines.PowerOff();
  EXPECT_EQ(data, cells);
}

TEST(BlockFaultTest, RefusedDataByteGivesDataNackWithoutPolling) {
  sim::SimConfig config = Fitted(k24C02);
  config.faults.refusedAddress = 0x22;
  Rig rig(config);
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WriteByte(0x21, 0xAB), BlockResult::Ok);
  EXPECT_EQ(rig.io.WriteByte(0x22, 0xCD), BlockResult::DataNack);
  const uint64_t startsBefore = rig.reader.counters().starts;
  // A page whose third byte is refused: two bytes taken, the third refused, no fourth, no poll,
  // and nothing of the page is written.
  const std::array<uint8_t, 4> page{0x11, 0x12, 0x13, 0x14};
  EXPECT_EQ(rig.io.WritePage(0x20, page.data(), 4), BlockResult::DataNack);
  EXPECT_EQ(rig.reader.counters().starts - startsBefore, 1U);
  rig.lines.PowerOff();
  const std::vector<uint8_t> cells = rig.Cells();
  EXPECT_EQ(cells[0x20], 0xFF);
  EXPECT_EQ(cells[0x21], 0xAB);
  EXPECT_EQ(cells[0x22], 0xFF);
  EXPECT_EQ(cells[0x23], 0xFF);
  EXPECT_EQ(rig.reader.counters().writeCyclesStarted, 1U);
}

TEST(BlockFaultTest, WriteProtectionRefusesDataButNotAddresses) {
  sim::SimConfig config = Fitted(k24C32, 2);
  config.faults.writeProtect = sim::WriteProtect::Nack;
  Rig rig(config, 2);
  for (uint32_t a = 0; a < 4096; ++a)
    rig.reader.memory()[a] = static_cast<uint8_t>(a);
  const std::vector<uint8_t> cells = rig.Cells();
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WriteByte(0xF34, 0x00), BlockResult::DataNack);
  const std::vector<uint8_t> page(32, 0xEE);
  EXPECT_EQ(rig.io.WritePage(0x100, page.data(), 32), BlockResult::DataNack);
  rig.lines.PowerOff();
  EXPECT_EQ(rig.Cells(), cells);
  EXPECT_EQ(rig.ReadAll(), cells);  // reading is unaffected
  EXPECT_EQ(rig.reader.counters().bytesRefused, 2U);
}

TEST(BlockFaultTest, EndlessWriteCycleTimesOutAfterExactly2500Polls) {
  sim::SimConfig config = Fitted(k24C02);
  config.faults.endlessWriteCycle = true;
  Rig rig(config);
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WriteByte(0x05, 0x99), BlockResult::WriteCycleTimeout);
  EXPECT_EQ(rig.reader.counters().pollsRefused, 2500U);
  EXPECT_EQ(rig.reader.counters().starts, 1U + 2500U);
  EXPECT_EQ(rig.reader.counters().addressed, 1U);
  rig.lines.PowerOff();
  EXPECT_EQ(rig.Cells()[0x05], 0xFF);  // a cycle that never ends writes nothing
}

TEST(BlockFaultTest, MemoryAnsweringThe2500thPollSucceeds) {
  sim::SimConfig config = Fitted(k24C256);
  config.faults.busyPolls = 2499;
  Rig rig(config);
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WriteByte(0x7FFF, 0x3E), BlockResult::Ok);
  EXPECT_EQ(rig.reader.counters().pollsRefused, 2499U);
  EXPECT_EQ(rig.reader.counters().starts, 1U + 2500U);
  rig.reader.faults().busyPolls = 2500;  // one more refusal is one too many
  EXPECT_EQ(rig.io.WriteByte(0x0000, 0x3F), BlockResult::WriteCycleTimeout);
  rig.lines.PowerOff();
  EXPECT_EQ(rig.Cells()[0x7FFF], 0x3E);
}

TEST(BlockFaultTest, StartAddressAtCapacityIsNotStartedAndTouchesNothing) {
  for (const int32_t type : {0, k24C16, k24C256, kX24C01Index}) {
    Rig rig(Fitted(type));
    rig.lines.PowerOn();
    const uint64_t calls = rig.reader.calls();
    const uint8_t value = 0;
    EXPECT_EQ(rig.io.WriteByte(rig.memory.capacity, value), BlockResult::NotStarted);
    EXPECT_EQ(rig.io.WritePage(rig.memory.capacity + 5, &value, 1), BlockResult::NotStarted);
    EXPECT_EQ(rig.reader.calls(), calls);
    EXPECT_EQ(rig.io.WriteByte(rig.memory.capacity - 1, value), BlockResult::Ok);
    rig.lines.PowerOff();
    EXPECT_EQ(rig.Cells()[rig.memory.capacity - 1], 0);
  }
}

TEST(BlockFaultTest, StuckSdaFailsTheLineCheckOrEveryAcknowledge) {
  sim::SimConfig low = Fitted(k24C02);
  low.faults.stuckSda = sim::StuckSda::Low;
  Rig stuckLow(low);
  stuckLow.lines.PowerOn();
  EXPECT_EQ(stuckLow.lines.ReadSda(), 0);
  stuckLow.lines.PowerOff();

  sim::SimConfig high = Fitted(k24C02);
  high.faults.stuckSda = sim::StuckSda::High;
  Rig stuckHigh(high);
  stuckHigh.lines.PowerOn();
  EXPECT_EQ(stuckHigh.lines.ReadSda(), 1);
  EXPECT_EQ(stuckHigh.io.WriteByte(0, 0), BlockResult::NoDeviceAck);
  std::vector<uint8_t> data(256, 0);
  EXPECT_EQ(stuckHigh.io.SequentialRead(data.data(), false, {}), BlockResult::NoDeviceAck);
  stuckHigh.lines.PowerOff();
  EXPECT_EQ(stuckHigh.reader.counters().starts, 0U);  // the memory never saw SDA fall
}

}  // namespace
}  // namespace keldar
