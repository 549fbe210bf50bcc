// The memory operations against the simulated reader, watched on the bus where the call
// sequence matters: the X24C01's resynchronisation pulses, the block a failure stops at, and
// whole transfers through the in-situ adapter at a base address with a slowdown.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

#include "bus_trace.h"
#include "data/buffer.h"
#include "i2c/line_executor.h"
#include "i2c/operations.h"
#include "sim/recording_port.h"
#include "sim/sim_port.h"

namespace keldar {
namespace {

using test::BusItem;

sim::SimConfig Fitted(int32_t typeIndex) {
  sim::SimConfig config;
  config.typeIndex = typeIndex;
  config.writeCycleNs = 0;
  return config;
}

void Pattern(Buffer& buffer, uint32_t count, uint32_t seed) {
  for (uint32_t i = 0; i < count; ++i)
    buffer[i] = static_cast<uint8_t>(i * 13u + seed + (i >> 7));
}

// The clock pulses right before each start that opens a write (R/W bit 0), in order; polls are
// reads of address 0 and must come without pulses.
std::vector<size_t> PulsesBeforeWrites(const std::vector<BusItem>& items, size_t* polls) {
  std::vector<size_t> pulses;
  size_t idle = 0;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].kind == BusItem::Kind::IdleClock) {
      ++idle;
      continue;
    }
    if (items[i].kind == BusItem::Kind::Start && i + 1 < items.size()) {
      if ((items[i + 1].value & 1) == 0) {
        pulses.push_back(idle);
      } else {
        EXPECT_EQ(idle, 0u) << "pulses before a poll or a read at item " << i;
        if (polls != nullptr) ++*polls;
      }
    }
    idle = 0;
  }
  return pulses;
}

class X24C01Test : public ::testing::Test {
 protected:
  void SetUp() override {
    map.ApplyStandardPreset();
    memory.Select(kX24C01Index);
    Pattern(buffer, 128, 3);
  }
  std::vector<BusItem> Bus() const { return test::DecodeBus(port.events(), map); }
  std::vector<uint8_t> Cells() {
    const auto cells = reader.memory();
    return {cells.begin(), cells.end()};
  }

  sim::SimulatedReader reader{Fitted(kX24C01Index)};
  sim::RecordingPort port{&reader};
  LineMap map;
  LineExecutor lines{map, port};
  CurrentMemory memory;
  Buffer buffer{};
};

TEST_F(X24C01Test, NinePulsesComeBeforeEveryPageWrite) {
  ASSERT_TRUE(ProgramMemory(lines, memory, buffer, {}).succeeded());
  size_t polls = 0;
  EXPECT_EQ(PulsesBeforeWrites(Bus(), &polls), std::vector<size_t>(32, 9));
  EXPECT_EQ(polls, 32u);
  EXPECT_EQ(Cells(), std::vector<uint8_t>(buffer.begin(), buffer.begin() + 128));
}

TEST_F(X24C01Test, NinePulsesComeBeforeEveryByteWrite) {
  memory.pageMode = false;
  ASSERT_TRUE(ProgramMemory(lines, memory, buffer, {}).succeeded());
  EXPECT_EQ(PulsesBeforeWrites(Bus(), nullptr), std::vector<size_t>(128, 9));
  EXPECT_EQ(Cells(), std::vector<uint8_t>(buffer.begin(), buffer.begin() + 128));

  // The selected byte too: control byte (address << 1) after the pulses.
  port.Clear();
  memory.cursorAddress = 0x05;
  buffer[0x05] = 0x42;
  ASSERT_TRUE(ProgramSelectedByte(lines, memory, buffer).succeeded());
  const std::vector<BusItem> items = Bus();
  EXPECT_EQ(PulsesBeforeWrites(items, nullptr), std::vector<size_t>{9});
  const std::vector<uint8_t> bytes = test::BusBytes(items);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes[0], 0x0A);
  EXPECT_EQ(bytes[1], 0x42);
  EXPECT_EQ(reader.memory()[0x05], 0x42);
}

TEST_F(X24C01Test, ReadAndCompareStartWithControlByteOneAndNoPulses) {
  std::copy(buffer.begin(), buffer.begin() + 128, reader.memory().begin());
  auto expectPlainRead = [this] {
    size_t reads = 0;
    EXPECT_TRUE(PulsesBeforeWrites(Bus(), &reads).empty());
    EXPECT_EQ(reads, 1u);
    EXPECT_EQ(test::BusBytes(Bus()).front(), 0x01);
    port.Clear();
  };
  Buffer read{};
  ASSERT_TRUE(ReadMemory(lines, memory, read, {}).succeeded());
  EXPECT_TRUE(std::equal(read.begin(), read.begin() + 128, buffer.begin()));
  expectPlainRead();

  std::vector<uint8_t> scratch(128);
  buffer[127] ^= 0xFF;
  const CompareOutcome outcome = CompareMemory(lines, memory, buffer, scratch, {});
  EXPECT_TRUE(outcome.reachable);
  EXPECT_EQ(outcome.differences, 1u);
  expectPlainRead();
}

// A fault that strikes the tenth page of a 24C32 (address 288, pages of 32).
struct TenthPage {
  const char* name;
  std::function<void(sim::SimFaults&)> fault;
  BlockResult result;
  friend void PrintTo(const TenthPage& c, std::ostream* os) { *os << c.name; }
};

class TenthPageFaultTest : public ::testing::TestWithParam<TenthPage> {};

TEST_P(TenthPageFaultTest, EndsTheProgrammingThereWithThatBlocksResult) {
  sim::SimulatedReader reader(Fitted(6));
  LineMap map;
  LineExecutor lines(map, reader);
  CurrentMemory memory;
  memory.Select(6);
  Buffer buffer{};
  Pattern(buffer, 4096, 5);
  std::vector<uint32_t> progress;
  const ProgramOutcome outcome = ProgramMemory(lines, memory, buffer, [&](uint32_t value) {
    progress.push_back(value);
    if (value == 288) GetParam().fault(reader.faults());
  });
  EXPECT_EQ(outcome.result, GetParam().result);
  EXPECT_FALSE(outcome.portFailed);
  EXPECT_EQ(outcome.lastAddress, 288u);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), 288u);
  EXPECT_EQ(progress.size(), 10u);
  EXPECT_FALSE(reader.valim());
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 288, reader.memory().begin()));
  EXPECT_EQ(reader.memory()[320], 0xFF);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TenthPageFaultTest,
    ::testing::Values(TenthPage{"DeviceByte", [](sim::SimFaults& f) { f.refusedByte = 1; },
                                BlockResult::NoDeviceAck},
                      TenthPage{"HighAddressByte", [](sim::SimFaults& f) { f.refusedByte = 2; },
                                BlockResult::SecondByteNack},
                      TenthPage{"LowAddressByte", [](sim::SimFaults& f) { f.refusedByte = 3; },
                                BlockResult::ThirdByteNack},
                      TenthPage{"DataByte", [](sim::SimFaults& f) { f.refusedAddress = 300; },
                                BlockResult::DataNack},
                      TenthPage{"EndlessWriteCycle",
                                [](sim::SimFaults& f) { f.endlessWriteCycle = true; },
                                BlockResult::WriteCycleTimeout}),
    [](const ::testing::TestParamInfo<TenthPage>& info) { return info.param.name; });

// A range is written alone: whole pages inside it, one partial page write at each unaligned end
// (a page write changes only the bytes it sends), every byte alone in byte mode; the rest keeps
// its values. It reads back in reads that never cross where the part's own reads wrap.
TEST(OperationsRangeTest, AProgrammedRangeLeavesTheRestUntouchedAndReadsBack) {
  struct Case {
    const char* what;
    int32_t type;
    bool pageMode;
    AddressRange range;
    uint64_t writeCycles;  // by the datasheets' page sizes
  };
  const Case cases[] = {
      {"24C16, unaligned, across a 256-byte block", 5, true, {0x0F5, 0x11C}, 3},  // 16-byte pages
      {"24C32, whole pages", 6, true, {0x040, 0x0BF}, 4},                         // 32-byte pages
      {"24C02, byte mode", 2, false, {0x05, 0x14}, 16},
      {"24LC1025, across its halves", 13, true, {0xFFA0, 0x1001F}, 2},  // 128-byte pages
      {"X24C01, whose reads begin at 0", 11, true, {0x42, 0x4A}, 3},    // 4-byte pages
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::SimConfig config = Fitted(c.type);
    config.variant.rollover = sim::Rollover::Block;  // a 24C16 whose reads stay in their block
    sim::SimulatedReader reader(config);
    LineMap map;
    map.ApplyStandardPreset();
    LineExecutor lines(map, reader);
    CurrentMemory memory;
    memory.Select(c.type);
    memory.pageMode = c.pageMode;
    std::vector<uint8_t> data(c.range.count());
    for (size_t i = 0; i < data.size(); ++i)
      data[i] = static_cast<uint8_t>(i * 13 % 255);  // never the blank $FF

    ASSERT_TRUE(ProgramRange(lines, memory, c.range, data, {}).succeeded());
    EXPECT_EQ(reader.counters().writeCyclesStarted, c.writeCycles);
    for (uint32_t a = 0; a < memory.capacity; ++a) {
      const bool inside = a >= c.range.first && a <= c.range.last;
      ASSERT_EQ(reader.memory()[a], inside ? data[a - c.range.first] : 0xFF) << "address " << a;
    }
    std::vector<uint8_t> read(data.size());
    ASSERT_TRUE(ReadRange(lines, memory, c.range, read, {}).succeeded());
    EXPECT_EQ(read, data);
  }
}

// The in-situ adapter inverts SCL and SDA; the memory answers at A2 = 1 only (a 24C08 uses A2
// alone); every output change is followed by two extra status reads.
TEST(OperationsInSituTest, ProgramReadAndCompareAtABaseAddressWithASlowdown) {
  sim::SimConfig config = Fitted(4);
  config.wiring = sim::Wiring::InSitu;
  config.pins = 5;
  sim::SimulatedReader reader(config);
  LineMap map;
  map.ApplyInSituPreset();
  map.accessTime = 2;
  LineExecutor lines(map, reader);
  CurrentMemory memory;
  memory.Select(4);
  memory.baseAddress = 5;
  memory.pageMode = false;
  Buffer buffer{};
  Pattern(buffer, 1024, 9);

  ASSERT_TRUE(ProgramMemory(lines, memory, buffer, {}).succeeded());
  EXPECT_EQ(reader.counters().writeCyclesStarted, 1024u);
  Buffer read{};
  ASSERT_TRUE(ReadMemory(lines, memory, read, {}).succeeded());
  EXPECT_TRUE(std::equal(read.begin(), read.begin() + 1024, buffer.begin()));
  std::vector<uint8_t> scratch(1024);
  EXPECT_EQ(CompareMemory(lines, memory, buffer, scratch, {}).differences, 0u);

  // At base address 0 nothing answers.
  memory.baseAddress = 0;
  EXPECT_EQ(ReadMemory(lines, memory, read, {}).result, BlockResult::NoDeviceAck);
  EXPECT_FALSE(CompareMemory(lines, memory, buffer, scratch, {}).reachable);
}

}  // namespace
}  // namespace keldar
