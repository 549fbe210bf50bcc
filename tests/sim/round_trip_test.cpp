// Whole transfers through the program's own stack into the simulated memory and back: every
// type, both wirings, the three base addresses and both extreme access times.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "sim_rig.h"

namespace keldar {
namespace {

using sim::Wiring;

struct Combo {
  int32_t type;
  Wiring wiring;
  int32_t base;
  int32_t accessTime;
};

std::string Name(const ::testing::TestParamInfo<Combo>& info) {
  const Combo& c = info.param;
  return std::string(kMemoryTypes[static_cast<size_t>(c.type)].name) +
         (c.wiring == Wiring::InSitu ? "_insitu" : "_standard") + "_base" + std::to_string(c.base) +
         "_at" + std::to_string(c.accessTime);
}

// Every combination on the small types; the large ones, whose transfers take millions of port
// calls, get fewer, while still covering both wirings, all three bases and both access times.
std::vector<Combo> Combos() {
  std::vector<Combo> combos;
  for (const MemoryType& row : kMemoryTypes) {
    for (const Wiring wiring : {Wiring::Standard, Wiring::InSitu}) {
      for (const int32_t base : {0, 5, 7}) {
        for (const int32_t accessTime : {0, 15}) {
          const Combo c{row.typeIndex, wiring, base, accessTime};
          const bool standard = wiring == Wiring::Standard;
          bool keep = false;
          if (row.capacity <= 256) {
            keep = true;
          } else if (row.capacity <= kOneAddressByteLimit) {
            keep = accessTime == 0 || (standard && base == 0) || (!standard && base == 7);
          } else if (row.capacity <= kByteModeLimit) {
            keep = accessTime == 0 && (standard ? base != 5 : base == 5);
          } else if (row.capacity == 16384) {
            keep = accessTime == 0 && standard && base == 0;
          } else if (row.capacity == 32768) {
            keep = accessTime == 0 && !standard && base == 7;
          } else {
            keep = accessTime == 0 && standard && base == 5;
          }
          if (keep) combos.push_back(c);
        }
      }
    }
  }
  return combos;
}

uint8_t PatternA(uint32_t address) {
  return static_cast<uint8_t>(address * 131U + 17U);
}
uint8_t PatternB(uint32_t address) {
  return static_cast<uint8_t>((address >> 8) ^ (address * 7U) ^ 0x5AU);
}

// A spread of addresses: both ends, page edges, and one in every sixteenth of the memory (so in
// every block of the 24C04, 24C08 and 24C16).
std::vector<uint32_t> ByteAddresses(const MemoryType& row) {
  std::set<uint32_t> addresses{
      0, 1, row.pageSize - 1, row.pageSize, row.capacity - 2, row.capacity - 1};
  const uint32_t step = row.capacity / 16;
  for (uint32_t k = 0; k < 16; ++k)
    addresses.insert(k * step + (k * 7U) % step);
  return {addresses.begin(), addresses.end()};
}

class RoundTripTest : public ::testing::TestWithParam<Combo> {};

TEST_P(RoundTripTest, ByteWritesPageWritesAndSequentialRead) {
  const Combo c = GetParam();
  const MemoryType& row = kMemoryTypes[static_cast<size_t>(c.type)];
  test::Rig rig(test::Fitted(c.type, c.base, c.wiring), c.base, c.accessTime);

  // Byte mode: only the bytes written change.
  std::vector<uint8_t> expected(row.capacity, 0xFF);
  rig.lines.PowerOn();
  ASSERT_EQ(rig.lines.ReadSda(), 1);
  for (const uint32_t address : ByteAddresses(row)) {
    ASSERT_EQ(rig.io.WriteByte(address, PatternA(address)), BlockResult::Ok) << address;
    expected[address] = PatternA(address);
  }
  rig.lines.PowerOff();
  EXPECT_EQ(rig.Cells(), expected);
  BlockResult result = BlockResult::NotStarted;
  if (row.capacity <= 16384) {  // the big ones are read back once, after the page writes
    EXPECT_EQ(rig.ReadAll(&result), expected);
    EXPECT_EQ(result, BlockResult::Ok);
  }

  // Page mode over the whole memory in aligned pages of the catalogue's size.
  for (uint32_t address = 0; address < row.capacity; ++address)
    expected[address] = PatternB(address);
  const uint64_t cyclesBefore = rig.reader.counters().writeCyclesStarted;
  rig.lines.PowerOn();
  for (uint32_t start = 0; start < row.capacity; start += row.pageSize) {
    ASSERT_EQ(rig.io.WritePage(start, expected.data() + start, static_cast<int>(row.pageSize)),
              BlockResult::Ok)
        << start;
  }
  rig.lines.PowerOff();
  EXPECT_EQ(rig.reader.counters().writeCyclesStarted - cyclesBefore, row.capacity / row.pageSize);
  EXPECT_EQ(rig.Cells(), expected);
  EXPECT_EQ(rig.ReadAll(&result), expected);
  EXPECT_EQ(result, BlockResult::Ok);
  EXPECT_EQ(rig.reader.counters().writesAborted, 0U);
  EXPECT_FALSE(rig.lines.PortFailed());
}

INSTANTIATE_TEST_SUITE_P(AllTypes, RoundTripTest, ::testing::ValuesIn(Combos()), Name);

TEST(RoundTripCoverage, EveryTypeWiringBaseAndAccessTimeIsExercised) {
  std::set<int32_t> types, bases, accessTimes;
  std::set<Wiring> wirings;
  for (const Combo& c : Combos()) {
    types.insert(c.type);
    wirings.insert(c.wiring);
    bases.insert(c.base);
    accessTimes.insert(c.accessTime);
  }
  EXPECT_EQ(types.size(), kMemoryTypes.size());
  EXPECT_EQ(wirings.size(), 2U);
  EXPECT_EQ(bases, (std::set<int32_t>{0, 5, 7}));
  EXPECT_EQ(accessTimes, (std::set<int32_t>{0, 15}));
}

}  // namespace
}  // namespace keldar
