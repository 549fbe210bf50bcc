// A memory read with a type larger than the part: its address wraps, and the bytes repeat.
#include "data/repetition.h"

#include <gtest/gtest.h>

#include <vector>

namespace keldar {
namespace {

std::vector<uint8_t> Copies(const std::vector<uint8_t>& part, size_t times) {
  std::vector<uint8_t> read;
  for (size_t i = 0; i < times; ++i)
    read.insert(read.end(), part.begin(), part.end());
  return read;
}

TEST(RepetitionPeriod, IsThePartsSizeWhenAReadWrapsAroundIt) {
  std::vector<uint8_t> part(256);
  for (size_t i = 0; i < part.size(); ++i)
    part[i] = static_cast<uint8_t>(i * 37 + 11);
  EXPECT_EQ(RepetitionPeriod(Copies(part, 2)), 256u) << "a 24C02 read as a 24C04";
  EXPECT_EQ(RepetitionPeriod(Copies(part, 8)), 256u) << "every block like the first";
  EXPECT_EQ(RepetitionPeriod(part), 0u);
  std::vector<uint8_t> almost = Copies(part, 2);
  almost[511] ^= 1;
  EXPECT_EQ(RepetitionPeriod(almost), 0u) << "one byte differs";
  EXPECT_EQ(RepetitionPeriod(std::vector<uint8_t>(2048, 0xFF)), 0u) << "blank says nothing";
  EXPECT_EQ(RepetitionPeriod(Copies({0x00, 0xFF}, 64)), 2u);
}

}  // namespace
}  // namespace keldar
