#include "data/fills.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <set>

namespace keldar {
namespace {

constexpr uint32_t kSmall = 16;       // 24C00
constexpr uint32_t kLargest = 65536;  // 24C512

// A buffer whose every byte differs from its neighbours, so that a stray write shows.
std::unique_ptr<Buffer> Marked() {
  auto buffer = std::make_unique<Buffer>();
  for (uint32_t i = 0; i < kBufferBytes; ++i)
    buffer->at(i) = static_cast<uint8_t>(i * 7 + 3);
  return buffer;
}

struct PatternCase {
  FillPattern pattern;
  // Expected byte at address i of the active window, given its value before the fill.
  uint8_t (*expected)(uint32_t i, uint8_t before);
};

const PatternCase kPatterns[] = {
    {FillPattern::All00, [](uint32_t, uint8_t) -> uint8_t { return 0x00; }},
    {FillPattern::AllFF, [](uint32_t, uint8_t) -> uint8_t { return 0xFF; }},
    {FillPattern::Spaces, [](uint32_t, uint8_t) -> uint8_t { return 0x20; }},
    {FillPattern::Incrementing, [](uint32_t i, uint8_t) { return static_cast<uint8_t>(i); }},
    {FillPattern::Decrementing, [](uint32_t i, uint8_t) { return static_cast<uint8_t>(255 - i); }},
    {FillPattern::Complement, [](uint32_t, uint8_t b) { return static_cast<uint8_t>(~b); }},
    {FillPattern::ReverseBits,
     [](uint32_t, uint8_t b) {
       uint8_t r = 0;
       for (int k = 0; k < 8; ++k)
         r = static_cast<uint8_t>(r | (((b >> k) & 1) << (7 - k)));
       return r;
     }},
    // Marked() holds 3 at address 0, where the cursor stands.
    {FillPattern::SelectedByte, [](uint32_t, uint8_t) -> uint8_t { return 3; }},
};

TEST(Fills, EveryPatternRewritesTheActiveWindowOnly) {
  RandomSource random(1);
  for (const uint32_t capacity : {kSmall, 128U, kLargest}) {
    for (const PatternCase& c : kPatterns) {
      SCOPED_TRACE(::testing::Message()
                   << "capacity " << capacity << " pattern " << static_cast<int>(c.pattern));
      const auto before = Marked();
      auto buffer = Marked();
      ApplyFill(c.pattern, *buffer, capacity, 0, random);
      uint32_t wrong = 0;
      for (uint32_t i = 0; i < capacity; ++i) {
        if (buffer->at(i) != c.expected(i, before->at(i))) ++wrong;
      }
      EXPECT_EQ(wrong, 0U);
      EXPECT_TRUE(
          std::equal(buffer->begin() + capacity, buffer->end(), before->begin() + capacity));
    }
  }
}

TEST(Fills, RandomFillRewritesTheActiveWindowOnly) {
  RandomSource random(7);
  const auto before = Marked();
  auto buffer = Marked();
  ApplyFill(FillPattern::Random, *buffer, kSmall, 0, random);
  EXPECT_FALSE(std::equal(buffer->begin(), buffer->begin() + kSmall, before->begin()));
  EXPECT_TRUE(std::equal(buffer->begin() + kSmall, buffer->end(), before->begin() + kSmall));
}

TEST(Fills, ConstantFillOf24C01KeepsTheBytesA24C02Shows) {
  auto buffer = Marked();
  FillConstant(*buffer, 128, 0xFF);
  EXPECT_EQ(buffer->at(127), 0xFF);
  EXPECT_EQ(buffer->at(128), static_cast<uint8_t>(128 * 7 + 3));
  EXPECT_EQ(buffer->at(255), static_cast<uint8_t>(255 * 7 + 3));
}

TEST(Fills, IncrementingAndDecrementingOnA24C16) {
  Buffer buffer{};
  FillIncrementing(buffer, 2048);
  EXPECT_EQ(buffer[0x0123], 0x23);
  EXPECT_EQ(buffer[0x07FF], 0xFF);
  FillDecrementing(buffer, 2048);
  EXPECT_EQ(buffer[0x0000], 0xFF);
  EXPECT_EQ(buffer[0x07FF], 0x00);
}

TEST(Fills, ComplementAndBitReversalUndoThemselves) {
  auto buffer = Marked();
  const Buffer original = *buffer;
  ComplementBuffer(*buffer, kLargest);
  EXPECT_NE(*buffer, original);
  ComplementBuffer(*buffer, kLargest);
  EXPECT_EQ(*buffer, original);
  ReverseBitsBuffer(*buffer, kLargest);
  EXPECT_NE(*buffer, original);
  ReverseBitsBuffer(*buffer, kLargest);
  EXPECT_EQ(*buffer, original);
}

TEST(Fills, BitReversalOfKnownBytes) {
  const std::array<std::pair<uint8_t, uint8_t>, 8> cases{{
      {0x00, 0x00},
      {0xFF, 0xFF},
      {0x18, 0x18},
      {0x81, 0x81},
      {0xA5, 0xA5},
      {0x0F, 0xF0},
      {0x01, 0x80},
      {0x2D, 0xB4},
  }};
  Buffer buffer{};
  for (size_t i = 0; i < cases.size(); ++i)
    buffer[i] = cases[i].first;
  ReverseBitsBuffer(buffer, kSmall);
  for (size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(buffer[i], cases[i].second) << i;
}

TEST(Fills, SelectedByteTakesTheBufferValueUnderTheCursor) {
  auto buffer = Marked();
  buffer->at(0x0042) = 0x41;
  FillSelectedByte(*buffer, 2048, 0x0042);
  EXPECT_TRUE(
      std::all_of(buffer->begin(), buffer->begin() + 2048, [](uint8_t b) { return b == 0x41; }));
  EXPECT_EQ(buffer->at(2048), static_cast<uint8_t>(2048 * 7 + 3));
}

TEST(Fills, SelectedByteOutsideTheWindowChangesNothing) {
  auto buffer = Marked();
  const Buffer original = *buffer;
  FillSelectedByte(*buffer, 2048, 2048);
  EXPECT_EQ(*buffer, original);
}

TEST(Fills, CapacityAboveTheBufferStopsAtItsEnd) {
  auto buffer = Marked();
  FillConstant(*buffer, 1U << 20, 0x00);
  EXPECT_TRUE(std::all_of(buffer->begin(), buffer->end(), [](uint8_t b) { return b == 0; }));
}

TEST(RandomSource, IsTheMinimalStandardGenerator) {
  // The published check value of Park and Miller's generator: the 10000th value from seed 1.
  RandomSource random(1);
  uint32_t value = 0;
  for (int i = 0; i < 10000; ++i)
    value = random.Next();
  EXPECT_EQ(value, 399268537U);
}

TEST(Fills, RandomFillsContinueOneSequence) {
  RandomSource random(12345);
  Buffer first{};
  Buffer second{};
  FillRandom(first, kLargest, random);
  FillRandom(second, kLargest, random);
  EXPECT_NE(first, second);

  RandomSource replay(12345);
  for (uint32_t i = 0; i < kLargest; ++i) {
    ASSERT_EQ(first[i], replay.Next() & 0xFF) << i;
  }
}

TEST(Fills, RandomFillsOfDifferentSeedsDiffer) {
  RandomSource earlierRun(1700000000);
  RandomSource laterRun(1700000001);
  Buffer a{};
  Buffer b{};
  FillRandom(a, kLargest, earlierRun);
  FillRandom(b, kLargest, laterRun);
  EXPECT_NE(a, b);
}

TEST(Fills, RandomFillOfA24C512DoesNotRepeatEvery256Bytes) {
  RandomSource random(42);
  Buffer buffer{};
  FillRandom(buffer, kLargest, random);
  uint32_t samePlaces = 0;
  for (uint32_t i = 256; i < kLargest; ++i)
    samePlaces += buffer[i] == buffer[i - 256];
  // About one byte in 256 matches by chance.
  EXPECT_LT(samePlaces, 1024U);
  const std::set<uint8_t> values(buffer.begin(), buffer.end());
  EXPECT_EQ(values.size(), 256U);
}

}  // namespace
}  // namespace keldar
