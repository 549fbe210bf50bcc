// The simulated memory as a bus slave: conditions in odd places, page and address counters,
// the write cycle, power, the X24C01 framing, device-byte matching and a wrong type fitted.
#include "sim/eeprom.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "sim_rig.h"

namespace keldar {
namespace {

using test::Fitted;
using test::Rig;

constexpr int32_t k24C00 = 0;
constexpr int32_t k24C01 = 1;
constexpr int32_t k24C02 = 2;
constexpr int32_t k24C04 = 3;
constexpr int32_t k24C08 = 4;
constexpr int32_t k24C16 = 5;
constexpr int32_t k24C512 = 10;

// Bits by hand, for transfers the program never makes: SCL low on entry and on exit.
void SendBits(Rig& rig, uint8_t value, int count) {
  for (int i = 0; i < count; ++i) {
    if ((value >> (7 - i)) & 1U) {
      rig.lines.SetSdaHigh();
    } else {
      rig.lines.SetSdaLow();
    }
    rig.bus.ClockPulse();
  }
  rig.lines.SetSdaHigh();
}

// Random read of count bytes from address (one word-address byte, no block bits).
std::vector<uint8_t> RandomRead(Rig& rig, uint8_t device, uint8_t address, int count) {
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(device));
  EXPECT_TRUE(rig.bus.SendByte(address));
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(static_cast<uint8_t>(device | 1U)));
  std::vector<uint8_t> data;
  for (int i = 0; i < count; ++i)
    data.push_back(rig.bus.ReceiveByte(i + 1 < count ? 1 : 0));
  rig.bus.I2cStop();
  return data;
}

bool Poll(Rig& rig, uint8_t device) {
  rig.bus.I2cStart();
  const bool acked = rig.bus.SendByte(device);
  rig.bus.I2cStop();
  return acked;
}

void Fill(Rig& rig) {
  const auto cells = rig.reader.memory();
  for (size_t a = 0; a < cells.size(); ++a)
    cells[a] = static_cast<uint8_t>(a * 3U + (a >> 8));
}

TEST(EepromBusTest, StartInTheMiddleOfAByteBeginsAFreshTransfer) {
  Rig rig(Fitted(k24C02));
  rig.lines.PowerOn();
  rig.bus.I2cStart();
  SendBits(rig, 0xA0, 4);  // half a device byte
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(0xA0));
  EXPECT_TRUE(rig.bus.SendByte(0x10));
  SendBits(rig, 0x77, 5);  // mid data byte
  rig.bus.I2cStart();      // and again: the partial byte is dropped
  EXPECT_TRUE(rig.bus.SendByte(0xA0));
  EXPECT_TRUE(rig.bus.SendByte(0x10));
  EXPECT_TRUE(rig.bus.SendByte(0x77));
  rig.bus.I2cStop();
  rig.reader.Sleep(5);  // the write cycle
  rig.lines.PowerOff();
  EXPECT_EQ(rig.reader.counters().starts, 3U);
  EXPECT_EQ(rig.reader.counters().writeCyclesStarted, 1U);
  EXPECT_EQ(rig.Cells()[0x10], 0x77);
}

TEST(EepromBusTest, StopInTheAddressOrInADataByteWritesNothing) {
  Rig rig(Fitted(k24C02));
  rig.lines.PowerOn();
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(0xA0));
  SendBits(rig, 0x10, 3);
  rig.bus.I2cStop();
  EXPECT_TRUE(Poll(rig, 0xA0));  // no write cycle was started

  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(0xA0));
  EXPECT_TRUE(rig.bus.SendByte(0x10));
  EXPECT_TRUE(rig.bus.SendByte(0x55));  // latched...
  SendBits(rig, 0x66, 3);               // ...but the stop comes three bits into the next byte
  rig.bus.I2cStop();
  EXPECT_TRUE(Poll(rig, 0xA0));
  rig.lines.PowerOff();
  EXPECT_EQ(rig.reader.counters().writeCyclesStarted, 0U);
  EXPECT_EQ(rig.reader.counters().writesAborted, 1U);
  EXPECT_EQ(rig.Cells(), std::vector<uint8_t>(256, 0xFF));
}

TEST(EepromBusTest, RepeatedStartAfterDataWritesNothingAndReadsOnFromTheCounter) {
  Rig rig(Fitted(k24C02));
  Fill(rig);
  const std::vector<uint8_t> cells = rig.Cells();
  rig.lines.PowerOn();
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(0xA0));
  EXPECT_TRUE(rig.bus.SendByte(0x10));
  EXPECT_TRUE(rig.bus.SendByte(0x55));  // moves the counter to 0x11
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(0xA1));
  EXPECT_EQ(rig.bus.ReceiveByte(0), cells[0x11]);
  rig.bus.I2cStop();
  rig.lines.PowerOff();
  EXPECT_EQ(rig.Cells(), cells);
  EXPECT_EQ(rig.reader.counters().writeCyclesStarted, 0U);
}

TEST(EepromBusTest, PageWritesWrapInsideThePage) {
  Rig rig(Fitted(k24C02));
  const std::array<uint8_t, 6> data{0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5};
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WritePage(0x11, data.data(), 6), BlockResult::Ok);
  rig.lines.PowerOff();
  const std::vector<uint8_t> cells = rig.Cells();
  EXPECT_EQ(cells[0x0F], 0xFF);
  EXPECT_EQ(cells[0x10], 0xD3);
  EXPECT_EQ(cells[0x11], 0xD4);
  EXPECT_EQ(cells[0x12], 0xD5);
  EXPECT_EQ(cells[0x13], 0xD2);
  EXPECT_EQ(cells[0x14], 0xFF);

  // 24C16: a page near a block's end wraps inside the page, never into the next block.
  Rig big(Fitted(k24C16));
  std::array<uint8_t, 16> run{};
  for (size_t i = 0; i < run.size(); ++i)
    run[i] = static_cast<uint8_t>(0x80 + i);
  big.lines.PowerOn();
  EXPECT_EQ(big.io.WritePage(0x1F8, run.data(), 16), BlockResult::Ok);
  big.lines.PowerOff();
  const std::vector<uint8_t> c16 = big.Cells();
  for (uint32_t i = 0; i < 16; ++i)
    EXPECT_EQ(c16[0x1F0 + ((8 + i) & 15U)], run[i]) << i;
  EXPECT_EQ(c16[0x200], 0xFF);
  EXPECT_EQ(c16[0x1EF], 0xFF);
}

TEST(EepromBusTest, SequentialReadsRollOverAtTheEndAndCurrentAddressReadsCarryOn) {
  Rig rig(Fitted(k24C02));
  Fill(rig);
  const std::vector<uint8_t> cells = rig.Cells();
  rig.lines.PowerOn();
  EXPECT_EQ(RandomRead(rig, 0xA0, 0xFE, 4),
            (std::vector<uint8_t>{cells[0xFE], cells[0xFF], cells[0x00], cells[0x01]}));
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(0xA1));  // current address: just after the last byte read
  EXPECT_EQ(rig.bus.ReceiveByte(0), cells[0x02]);
  rig.bus.I2cStop();
  rig.lines.PowerOff();

  // 24C16: the counter runs across the blocks and rolls over after 0x7FF.
  Rig big(Fitted(k24C16));
  Fill(big);
  const std::vector<uint8_t> c16 = big.Cells();
  big.lines.PowerOn();
  EXPECT_EQ(RandomRead(big, 0xAE, 0xFF, 3), (std::vector<uint8_t>{c16[0x7FF], c16[0], c16[1]}));
  EXPECT_EQ(RandomRead(big, 0xA2, 0xFF, 2), (std::vector<uint8_t>{c16[0x1FF], c16[0x200]}));
  big.lines.PowerOff();
}

TEST(EepromBusTest, NothingIsAcknowledgedDuringTheWriteCycle) {
  Rig rig(Fitted(k24C02));
  rig.reader.SetWriteCycleTime(2'000'000);
  rig.lines.PowerOn();
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(0xA0));
  EXPECT_TRUE(rig.bus.SendByte(0x40));
  EXPECT_TRUE(rig.bus.SendByte(0x12));
  rig.bus.I2cStop();
  EXPECT_FALSE(Poll(rig, 0xA0));
  EXPECT_FALSE(Poll(rig, 0xA1));  // reads are refused as well
  EXPECT_EQ(rig.Cells()[0x40], 0xFF);
  rig.reader.Sleep(1);
  EXPECT_FALSE(Poll(rig, 0xA0));
  rig.reader.Sleep(1);
  EXPECT_TRUE(Poll(rig, 0xA0));
  EXPECT_EQ(rig.reader.counters().pollsRefused, 3U);
  rig.lines.PowerOff();
  EXPECT_EQ(rig.Cells()[0x40], 0x12);
}

TEST(EepromBusTest, AccessTimeStretchesEveryPollAsOnHardware) {
  // Each poll is 52 output operations and one read; at access time 15 every output carries 15
  // more reads. With 4 us calls a 5 ms cycle lasts about 24 polls, or about 2 slow ones.
  for (const int32_t accessTime : {0, 15}) {
    Rig rig(Fitted(k24C02), 0, accessTime);
    rig.lines.PowerOn();
    EXPECT_EQ(rig.io.WriteByte(0x33, 0x44), BlockResult::Ok);
    rig.lines.PowerOff();
    const double pollNs = (52.0 * (1 + accessTime) + 1) * sim::kDefaultCallCostNs;
    const double expected = sim::kDefaultWriteCycleNs / pollNs;
    EXPECT_NEAR(static_cast<double>(rig.reader.counters().pollsRefused), expected, 1.5)
        << accessTime;
    EXPECT_EQ(rig.Cells()[0x33], 0x44);
  }
}

TEST(EepromPowerTest, ContentsSurvivePowerCyclesAndTheBusStartsAfresh) {
  Rig rig(Fitted(k24C02));
  rig.reader.memory()[0] = 0x00;  // a byte whose bits pull SDA low
  rig.reader.memory()[0x80] = 0x3C;
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WriteByte(0x81, 0x5D), BlockResult::Ok);
  EXPECT_EQ(RandomRead(rig, 0xA0, 0x80, 2), (std::vector<uint8_t>{0x3C, 0x5D}));
  // Cut the power while the memory is sending a 0: it lets go of SDA.
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(0xA0));
  EXPECT_TRUE(rig.bus.SendByte(0x00));
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(0xA1));
  EXPECT_FALSE(rig.reader.sda());
  rig.lines.SetValimLow();
  EXPECT_TRUE(rig.reader.sda());
  rig.lines.PowerOff();
  rig.lines.PowerOn();
  EXPECT_EQ(rig.lines.ReadSda(), 1);
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(0xA1));  // the counter comes up at 0
  EXPECT_EQ(rig.bus.ReceiveByte(0), 0x00);
  rig.bus.I2cStop();
  rig.lines.PowerOff();
  EXPECT_EQ(rig.Cells()[0x81], 0x5D);
  EXPECT_EQ(rig.Cells()[0x80], 0x3C);
}

TEST(EepromPowerTest, PowerLostDuringTheWriteCycleLosesTheWrite) {
  Rig rig(Fitted(k24C02));
  rig.lines.PowerOn();
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte(0xA0));
  EXPECT_TRUE(rig.bus.SendByte(0x07));
  EXPECT_TRUE(rig.bus.SendByte(0x70));
  rig.bus.I2cStop();
  rig.lines.SetValimLow();
  rig.reader.Sleep(100);
  rig.lines.PowerOn();
  EXPECT_TRUE(Poll(rig, 0xA0));
  rig.lines.PowerOff();
  EXPECT_EQ(rig.Cells()[0x07], 0xFF);
  EXPECT_EQ(rig.reader.counters().writesAborted, 1U);
}

TEST(EepromPowerTest, UnpoweredMemoryIgnoresTheBus) {
  Rig rig(Fitted(k24C02));
  rig.lines.SetSdaHigh();
  rig.lines.SetSclHigh();  // Valim still low
  rig.bus.I2cStart();
  EXPECT_FALSE(rig.bus.SendByte(0xA0));
  rig.bus.I2cStop();
  EXPECT_EQ(rig.reader.counters().starts, 0U);
  EXPECT_EQ(rig.reader.counters().stops, 0U);
}

TEST(X24C01Test, ControlByteCarriesTheAddressAndNoDeviceCode) {
  Rig rig(Fitted(kX24C01Index));
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WriteByte(0x05, 0x42), BlockResult::Ok);
  EXPECT_EQ(rig.io.WriteByte(0x7F, 0x24), BlockResult::Ok);  // control byte 0xFE
  const std::array<uint8_t, 4> run{0xA1, 0xA2, 0xA3, 0xA4};
  EXPECT_EQ(rig.io.WritePage(0x7D, run.data(), 4), BlockResult::Ok);  // wraps in 0x7C..0x7F
  rig.lines.PowerOff();
  const std::vector<uint8_t> cells = rig.Cells();
  EXPECT_EQ(cells[0x05], 0x42);
  EXPECT_EQ(cells[0x7C], 0xA4);
  EXPECT_EQ(cells[0x7D], 0xA1);
  EXPECT_EQ(cells[0x7E], 0xA2);
  EXPECT_EQ(cells[0x7F], 0xA3);

  rig.lines.PowerOn();
  rig.bus.I2cStart();
  EXPECT_TRUE(rig.bus.SendByte((0x7E << 1) | 1));  // read from 0x7E: rolls over within 128
  std::vector<uint8_t> data;
  for (int i = 0; i < 3; ++i)
    data.push_back(rig.bus.ReceiveByte(i < 2 ? 1 : 0));
  rig.bus.I2cStop();
  rig.lines.PowerOff();
  EXPECT_EQ(data, (std::vector<uint8_t>{cells[0x7E], cells[0x7F], cells[0x00]}));
}

TEST(X24C01Test, NineClocksResynchroniseAMemoryLeftSendingByTheAnsweredPoll) {
  Rig rig(Fitted(kX24C01Index));
  rig.reader.memory()[0] = 0x00;
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WriteByte(0x10, 0x11), BlockResult::Ok);
  // The poll reads address 0: once answered, the memory drives the 0 bits of cell 0, and the
  // stop that follows cannot raise SDA.
  EXPECT_FALSE(rig.reader.sda());
  const uint64_t starts = rig.reader.counters().starts;
  rig.bus.I2cStart();
  EXPECT_EQ(rig.reader.counters().starts, starts);  // this start is invisible
  rig.bus.I2cStop();
  // The write routine's nine clocks let the memory finish its byte and see no acknowledge.
  EXPECT_EQ(rig.io.WriteByte(0x11, 0x22), BlockResult::Ok);
  rig.lines.PowerOff();
  EXPECT_EQ(rig.Cells()[0x10], 0x11);
  EXPECT_EQ(rig.Cells()[0x11], 0x22);
}

struct Matching {
  int32_t type;
  int32_t pins;
  int32_t base;
  bool answers;
};

TEST(DeviceByteTest, PinsAndBlockBitsMatchAsOnRealParts) {
  const std::array<Matching, 14> cases{{
      {k24C00, 5, 0, true},  // no chip-select pins: the bits are don't-care
      {k24C01, 5, 5, true},
      {k24C01, 5, 4, false},
      {k24C02, 7, 7, true},
      {k24C02, 7, 3, false},
      {k24C04, 4, 5, true},  // A0 is a block bit, not compared
      {k24C04, 4, 6, false},
      {k24C08, 4, 7, true},  // A1 A0 are block bits
      {k24C08, 4, 3, false},
      {k24C16, 0, 7, true},  // all three are block bits
      {k24C16, 6, 0, true},
      {9, 2, 2, true},
      {9, 2, 3, false},
      {k24C512, 7, 6, false},
  }};
  for (const Matching& c : cases) {
    Rig rig(Fitted(c.type, c.pins), c.base);
    const uint32_t address = rig.memory.capacity - 1;  // top block on the 24C04/08/16
    rig.lines.PowerOn();
    const BlockResult result = rig.io.WriteByte(address, 0x6B);
    rig.lines.PowerOff();
    EXPECT_EQ(result, c.answers ? BlockResult::Ok : BlockResult::NoDeviceAck)
        << c.type << " pins " << c.pins << " base " << c.base;
    EXPECT_EQ(rig.Cells()[address], c.answers ? 0x6B : 0xFF);
  }
}

// Read in one go as a 24M01 is, a 24LC1025 gives its first half twice: it reads on inside the
// half its dummy write chose.
TEST(WrongTypeTest, A24LC1025ReadAsA24M01GivesItsFirstHalfTwice) {
  Rig rig(Fitted(13), 0, 0, /*programType=*/12);
  Fill(rig);
  const std::vector<uint8_t> cells = rig.Cells();
  const std::vector<uint8_t> read = rig.ReadAll();
  EXPECT_TRUE(std::equal(read.begin(), read.begin() + 65536, cells.begin()));
  EXPECT_TRUE(std::equal(read.begin() + 65536, read.end(), cells.begin()));
}

TEST(WrongTypeTest, A24C02ReadAndWrittenAsALargerType) {
  // A 24C32 takes two address bytes like the 24C512, and is sixteen times quicker to read.
  constexpr int32_t k24C32 = 6;
  Rig rig(Fitted(k24C02), 0, 0, /*programType=*/k24C32);
  Fill(rig);
  const std::vector<uint8_t> cells = rig.Cells();
  // The low address byte lands as a data byte (counter 0 -> 1); the repeated start drops it and
  // the read starts at 1, rolling over every 256 bytes.
  const std::vector<uint8_t> data = rig.ReadAll();
  ASSERT_EQ(data.size(), 4096U);
  for (uint32_t i = 0; i < 4096; ++i)
    ASSERT_EQ(data[i], cells[(i + 1) & 0xFF]) << i;
  EXPECT_EQ(rig.Cells(), cells);

  std::array<uint8_t, 32> page{};
  for (size_t i = 0; i < page.size(); ++i)
    page[i] = static_cast<uint8_t>(0xC0 + i);
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WritePage(0, page.data(), 32), BlockResult::Ok);
  rig.lines.PowerOff();
  // 0x00 then 32 bytes, all into the 4-byte page at 0: the last four survive, rotated by one.
  const std::vector<uint8_t> after = rig.Cells();
  EXPECT_EQ(after[0], page[31]);
  EXPECT_EQ(after[1], page[28]);
  EXPECT_EQ(after[2], page[29]);
  EXPECT_EQ(after[3], page[30]);
  EXPECT_EQ(after[4], cells[4]);
}

TEST(WrongTypeTest, A24C512ProgrammedAsA24C02TakesDataAsItsLowAddress) {
  Rig rig(Fitted(k24C512), 0, 0, /*programType=*/k24C02);
  Fill(rig);
  const std::vector<uint8_t> cells = rig.Cells();
  rig.lines.PowerOn();
  EXPECT_EQ(rig.io.WriteByte(0x10, 0x55), BlockResult::Ok);  // nothing to write: no data byte
  EXPECT_EQ(rig.reader.eeprom().addressCounter(), 0x1055U);
  rig.lines.PowerOff();
  EXPECT_EQ(rig.reader.counters().writeCyclesStarted, 0U);
  EXPECT_EQ(rig.Cells(), cells);
  // Read as a 24C02: only the high address byte arrives, the counter stays where power-up put it.
  const std::vector<uint8_t> data = rig.ReadAll();
  EXPECT_EQ(data, std::vector<uint8_t>(cells.begin(), cells.begin() + 256));
}

}  // namespace
}  // namespace keldar
