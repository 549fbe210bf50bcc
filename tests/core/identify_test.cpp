// The part fitted in a simulated reader, told by reads alone: every type of the catalogue full of
// random bytes, through the serial port and through the FTDI cable; a blank one; two on a board.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "i2c/executors.h"
#include "i2c/identify.h"
#include "sim/sim_device.h"
#include "sim/sim_port.h"

namespace keldar {
namespace {

// Identifies the part at `base` after filling the fitted memory with `contents` (none: blank);
// `contents` then holds what the memory holds afterwards.
IdentifyOutcome Identify(const std::string& device, std::vector<uint8_t>& contents,
                         int32_t base = 0) {
  std::string error;
  sim::SimulatedDevice opened = sim::OpenSimulatedDevice(device, error);
  EXPECT_NE(opened.port, nullptr) << error;
  if (opened.port == nullptr) return {};
  const auto cells = opened.reader->memory();
  std::copy(contents.begin(), contents.end(), cells.begin());
  LineMap map;
  const IdentifyOutcome outcome = IdentifyMemory(*ExecutorFor(*opened.port, map), base, {});
  contents.assign(cells.begin(), cells.end());
  return outcome;
}

std::vector<uint8_t> RandomBytes(uint32_t count, std::mt19937& random) {
  std::vector<uint8_t> bytes(count);
  for (uint8_t& byte : bytes)
    byte = static_cast<uint8_t>(random());
  return bytes;
}

TEST(IdentifyTest, EveryTypeFullOfRandomBytesIsToldAndLeftAsItWas) {
  std::mt19937 random(27);
  for (const char* adapter : {"", ",adapter=ft232r"}) {
    for (const MemoryType& type : kMemoryTypes) {
      const std::vector<uint8_t> contents = RandomBytes(type.capacity, random);
      std::vector<uint8_t> after = contents;
      const std::string device = "sim:" + std::string(type.name) + adapter;
      const IdentifyOutcome outcome = Identify(device, after);
      EXPECT_EQ(outcome.verdict, IdentifyVerdict::OneType) << device;
      EXPECT_EQ(outcome.types, std::vector<int32_t>{type.typeIndex}) << device;
      EXPECT_EQ(outcome.others, 0) << device;
      EXPECT_TRUE(after == contents) << device;
    }
  }
}

TEST(IdentifyTest, ABlankMemoryIsUndeterminableBeyondWhatItsAddressesTell) {
  std::vector<uint8_t> none;
  const IdentifyOutcome blank = Identify("sim:24C02", none);
  EXPECT_EQ(blank.verdict, IdentifyVerdict::Undeterminable);
  EXPECT_EQ(blank.seen.uniform, 0xFF);
  EXPECT_EQ(blank.seen.answering, 0x01);
  const auto listed = [&](int32_t type) {
    return std::find(blank.types.begin(), blank.types.end(), type) != blank.types.end();
  };
  // One select address answers: a 24C02 or a 24C512 may, a 24C16 (which answers all eight) not.
  EXPECT_TRUE(listed(2) && listed(10));
  EXPECT_FALSE(listed(5));
}

TEST(IdentifyTest, OnABoardThePartAtTheBaseAddressIsToldAndTheOtherNamed) {
  std::mt19937 random(3);
  std::vector<uint8_t> contents = RandomBytes(256, random);
  const IdentifyOutcome first = Identify("sim:24C02,board=24C32@3", contents, 0);
  EXPECT_EQ(first.types, std::vector<int32_t>{2});
  EXPECT_EQ(first.others, 1 << 3);
  const IdentifyOutcome second = Identify("sim:24C02,board=24C32@3", contents, 3);
  EXPECT_EQ(second.types, std::vector<int32_t>{6});
  EXPECT_EQ(second.others, 1 << 0);
}

}  // namespace
}  // namespace keldar
