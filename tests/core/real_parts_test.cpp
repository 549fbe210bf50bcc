// Parts that differ from their catalogue type, through the whole program stack: what the
// programming leaves in them and what reading them back shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/buffer.h"
#include "hw/line_driver.h"
#include "i2c/line_executor.h"
#include "i2c/operations.h"
#include "sim/sim_port.h"

namespace keldar {
namespace {

using sim::TimingRule;

sim::SimConfig Config(const std::string& device) {
  sim::SimConfig config;
  std::string error;
  EXPECT_TRUE(sim::ParseSimDevice(device, config, error)) << error;
  return config;
}

// The program selects the fitted type, on the standard wiring.
struct Part {
  explicit Part(const std::string& device, int32_t accessTime = 0) : reader(Config(device)) {
    map.accessTime = accessTime;
    memory.Select(reader.config().typeIndex);
  }
  std::vector<uint8_t> Read() {
    Buffer read{};
    EXPECT_TRUE(ReadMemory(lines, memory, read, {}).succeeded());
    return {read.begin(), read.begin() + memory.capacity};
  }
  CompareOutcome Verify(const Buffer& buffer) {
    std::vector<uint8_t> scratch(memory.capacity);
    return CompareMemory(lines, memory, buffer, scratch, {});
  }
  void Fill(uint32_t seed) {
    for (uint32_t i = 0; i < memory.capacity; ++i)
      reader.memory()[i] = static_cast<uint8_t>(i * 7 + seed + (i >> 8));
  }
  std::vector<uint8_t> Cells() { return {reader.memory().begin(), reader.memory().end()}; }

  sim::SimulatedReader reader;
  LineMap map;
  LineExecutor lines{map, reader};
  CurrentMemory memory;
};

TEST(RealPartsTest, UpperHalfProtectionRefusesTheUpperHalfOnly) {
  // Microchip 24C02A: the lower half is written, the upper half refuses its data bytes.
  Part part("sim:24C02,wp=upper,cycle=0");
  Buffer buffer{};
  buffer.fill(0x00);
  part.memory.pageMode = false;
  const ProgramOutcome outcome = ProgramMemory(part.lines, part.memory, buffer, {});
  EXPECT_EQ(outcome.result, BlockResult::DataNack);
  EXPECT_EQ(outcome.lastAddress, 0x80u);
  EXPECT_EQ(part.reader.memory()[0x7F], 0x00);
  EXPECT_EQ(part.reader.memory()[0x80], 0xFF);
}

TEST(RealPartsTest, PagesSmallerThanTheTypesWrapOverThemselvesAndReadingBackShowsIt) {
  // A 24C04A has pages of 8 bytes where the 24C04 type writes 16.
  Part part("sim:24C04,page=8,cycle=0");
  Buffer buffer{};
  for (uint32_t i = 0; i < 512; ++i)
    buffer[i] = static_cast<uint8_t>(i & 0x7F);  // never the blank $FF
  EXPECT_TRUE(ProgramMemory(part.lines, part.memory, buffer, {}).succeeded());
  // Each transfer's second half lands over its first; the second half is never written.
  EXPECT_EQ(part.reader.memory()[0], buffer[8]);
  EXPECT_EQ(part.reader.memory()[0x1F7], buffer[0x1FF]);
  EXPECT_EQ(part.reader.memory()[8], 0xFF);
  const CompareOutcome verify = part.Verify(buffer);
  EXPECT_EQ(verify.differences, 512u);
  EXPECT_EQ(verify.firstDifference, 0u);
  // Byte by byte, the same part takes the whole buffer.
  part.memory.pageMode = false;
  EXPECT_TRUE(ProgramMemory(part.lines, part.memory, buffer, {}).succeeded());
  EXPECT_TRUE(part.Verify(buffer).same());
}

// Parts whose sequential read wraps at the end of its 256-byte block read right all the same,
// random contents or blank, and so does the read back after programming them.
TEST(RealPartsTest, PartsThatWrapTheirReadsAtEachBlockReadRight) {
  for (const char* type : {"24C04", "24C08", "24C16"}) {
    SCOPED_TRACE(type);
    Part part(std::string("sim:") + type + ",rollover=block,cycle=0");
    EXPECT_EQ(part.Read(), part.Cells()) << "blank";
    part.Fill(3);
    EXPECT_EQ(part.Read(), part.Cells());
    Buffer buffer{};
    for (uint32_t i = 0; i < part.memory.capacity; ++i)
      buffer[i] = static_cast<uint8_t>(i * 13 + (i >> 8) * 5);
    ASSERT_TRUE(ProgramMemory(part.lines, part.memory, buffer, {}).succeeded());
    EXPECT_TRUE(part.Verify(buffer).same());
  }
}

// A native UART at 1.5 us a call against a 100 kHz part: SCL stays low for 1 + access time
// calls, and tLOW is 4.7 us, so the access time must be at least 3.
TEST(RealPartsTest, FastPortBreaksA100kHzPartUntilTheAccessTimeCoversItsTimings) {
  const std::string device = "sim:24C02,speed=100k,cost=1500";
  Part fast(device, 0);
  fast.Fill(1);
  EXPECT_NE(fast.Read(), fast.Cells()) << "sampled before the data were valid";
  const sim::TimingViolations& v = fast.reader.timingViolations();
  EXPECT_GT(v.of(TimingRule::ClockLow), 0u);
  EXPECT_GT(v.of(TimingRule::DataValid), 0u);

  Part slow(device, 3);
  Buffer buffer{};
  for (uint32_t i = 0; i < 256; ++i)
    buffer[i] = static_cast<uint8_t>(i * 13);
  EXPECT_TRUE(ProgramMemory(slow.lines, slow.memory, buffer, {}).succeeded());
  EXPECT_TRUE(slow.Verify(buffer).same());
  EXPECT_EQ(slow.reader.timingViolations().total(), 0u);
}

TEST(BusTimingCheckTest, DataMovedTooCloseToTheClockEdgeIsLatchedOld) {
  sim::BusTimingCheck check(sim::BusSpeed::Standard100k);
  check.PowerUp(0);
  check.SclFell(10'000, false);
  check.SdaMoved(20'000);
  EXPECT_FALSE(check.SclRose(20'200));  // tSU:DAT is 250 ns
  check.SclFell(30'000, false);
  check.SdaMoved(40'000);
  EXPECT_TRUE(check.SclRose(40'250));
  EXPECT_EQ(check.violations().of(TimingRule::DataSetup), 1u);
  EXPECT_EQ(check.violations().total(), 1u);
}

}  // namespace
}  // namespace keldar
