// The FT232R model against what FTDI documents of the chip in synchronous bit-bang mode.
#include "sim/ft232r_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

namespace keldar::sim {
namespace {

// A chip with every pin an output, so that each sample shows the byte last driven.
struct Chip {
  explicit Chip(uint32_t baud = 12'500)
      : model(std::make_unique<SimulatedReader>(SimConfig{}), kUs) {
    EXPECT_TRUE(model.SetLatencyTimer(1));
    EXPECT_TRUE(model.SetBitMode(0xFF));
    EXPECT_TRUE(model.SetBaudRate(baud));
  }
  std::vector<uint8_t> Samples(size_t count) {
    std::vector<uint8_t> samples(count);
    EXPECT_TRUE(model.Collect(samples));
    return samples;
  }
  static constexpr uint64_t kUs = 1'000'000;  // 1 ms per USB round trip
  Ft232rModel model;
};

// FTDI knowledge base, "Synchronous Bit Bang Mode": pins start at 0xFF; send 0x55, 0xAA; data
// read = 0xFF, 0x55; with the last byte repeated, 0xFF, 0x55, 0xAA.
TEST(Ft232rModelTest, SamplesRunOneByteBehindTheOutput) {
  Chip chip;
  const std::vector<uint8_t> twice{0x55, 0xAA};
  ASSERT_TRUE(chip.model.Submit(twice));
  EXPECT_EQ(chip.Samples(2), (std::vector<uint8_t>{0xFF, 0x55}));

  Chip again;
  const std::vector<uint8_t> repeated{0x55, 0xAA, 0xAA};
  ASSERT_TRUE(again.model.Submit(repeated));
  EXPECT_EQ(again.Samples(3), (std::vector<uint8_t>{0xFF, 0x55, 0xAA}));
}

// The chip clocks a byte only while its 256-byte transmit buffer has room for the sample: a host
// that does not read stops it, and nothing is lost once it reads again.
TEST(Ft232rModelTest, AHostThatDoesNotReadStallsTheChipWithoutLosingSamples) {
  Chip chip;
  std::vector<uint8_t> bytes(1000);
  std::iota(bytes.begin(), bytes.end(), uint8_t{1});
  ASSERT_TRUE(chip.model.Submit(bytes));
  chip.model.Pause(50);  // 10000 ticks' worth of time
  EXPECT_EQ(chip.model.counters().bytesClocked, 256U);
  EXPECT_GE(chip.model.counters().stalls, 1U);

  const std::vector<uint8_t> samples = chip.Samples(1000);
  EXPECT_EQ(samples[0], 0xFF);
  for (size_t i = 1; i < samples.size(); ++i)
    ASSERT_EQ(samples[i], bytes[i - 1]) << i;
}

// A byte per tick of the baud generator's 16x clock: 3 MHz / divisor x 16 (FT232R datasheet,
// "Baud Rates"; FTDI: "BitBang write tick (baud rate * 16)").
TEST(Ft232rModelTest, TheBitBangClockIsSixteenTimesTheBaudRate) {
  EXPECT_EQ(Chip(12'500).model.tickNs(), 5'000U);  // divisor 240: 200 kHz
  EXPECT_EQ(Chip(9'600).model.tickNs(), 6'510U);   // divisor 312.5
  EXPECT_EQ(Chip(3'000'000).model.tickNs(), 21U);  // divisor 1: 48 MHz
  Chip chip;
  EXPECT_FALSE(chip.model.SetBaudRate(150));  // beyond the largest divisor, 16383.875
}

// Samples come back in 64-byte packets of 62 samples behind two status bytes: a full packet as
// soon as it is full, the rest when the latency timer expires. A round trip costs the USB's time
// both ways, the bytes' ticks and, for a short packet, the wait for the timer.
TEST(Ft232rModelTest, SamplesComeInPacketsOf62AndShortOnesWaitForTheLatencyTimer) {
  Chip chip;
  const std::vector<uint8_t> bytes(124, 0x33);
  ASSERT_TRUE(chip.model.Submit(bytes));
  const uint64_t start = chip.model.clock();
  chip.Samples(124);
  EXPECT_EQ(chip.model.counters().packetsIn, 2U);
  // Half a round trip out, the first byte clocked as it lands and the 124th 123 ticks later,
  // its full packet at once, half a round trip back.
  EXPECT_EQ(chip.model.clock() - start, Chip::kUs + 123 * 5'000);

  const std::vector<uint8_t> one{0x44};
  ASSERT_TRUE(chip.model.Submit(one));
  const uint64_t sent = chip.model.clock();
  EXPECT_EQ(chip.Samples(1), std::vector<uint8_t>{0x33});
  const uint64_t roundTrip = chip.model.clock() - sent;
  EXPECT_GE(roundTrip, Chip::kUs);
  EXPECT_LE(roundTrip, Chip::kUs + 1'000'000 + 5'000);
}

}  // namespace
}  // namespace keldar::sim
