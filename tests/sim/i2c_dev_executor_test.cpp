// Whole operations through the i2c-dev executor on a simulated adapter, its memory driven message
// by message: every type the adapter can carry in both writing modes, what each fault of the
// memory gives, a read stopped between chunks, and an adapter pulled out. How the transfers cut
// messages to an adapter's limits and type each driver's errno is theirs (i2c_transfers_test).
#include "i2c/i2c_dev_executor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "data/buffer.h"
#include "i2c/identify.h"
#include "i2c/operations.h"
#include "sim/i2c_adapter.h"

namespace keldar {
namespace {

struct Rig {
  Rig(const std::string& device, const sim::I2cAdapterModel& model, int32_t type, int32_t base = 0,
      bool pageMode = true)
      : adapter(sim::OpenSimulatedI2cBus(device, error), model) {
    memory.Select(type);
    memory.baseAddress = base;
    memory.pageMode = pageMode;
  }
  std::vector<uint8_t> Cells() {
    const auto cells = adapter.bus().memory();
    return {cells.begin(), cells.begin() + memory.capacity};
  }

  std::string error;
  sim::SimulatedI2cAdapter adapter;
  I2cDevExecutor bus{adapter};
  CurrentMemory memory;
};

// No 64 KiB like another: the identification tells the parts above 64 KiB by their halves.
Buffer Pattern(uint32_t seed) {
  Buffer buffer{};
  for (size_t i = 0; i < buffer.size(); ++i)
    buffer[i] = static_cast<uint8_t>(i * 29U + seed + (i >> 8) + (i >> 16) * 71U);
  return buffer;
}

class I2cDevTypeTest : public ::testing::TestWithParam<int32_t> {};

// At pins 1; a read above 8 KiB goes in chunks of i2c-dev's 8192 bytes.
TEST_P(I2cDevTypeTest, ProgramsReadsComparesAndIdentifiesByteForByteInBothModes) {
  const MemoryType& type = kMemoryTypes[static_cast<size_t>(GetParam())];
  for (const bool pageMode : {true, false}) {
    if (!pageMode && !type.byteModeAllowed) continue;
    SCOPED_TRACE(pageMode ? "page" : "byte");
    Rig rig("sim:" + std::string(type.name) + ",pins=1,cycle=1", {}, type.typeIndex, 1, pageMode);
    const Buffer written = Pattern(pageMode ? 3 : 11);
    ASSERT_TRUE(ProgramMemory(rig.bus, rig.memory, written, {}).succeeded());
    EXPECT_EQ(rig.Cells(), std::vector<uint8_t>(written.begin(), written.begin() + type.capacity));

    Buffer read{};
    ASSERT_TRUE(ReadMemory(rig.bus, rig.memory, read, {}).succeeded());
    EXPECT_TRUE(std::equal(read.begin(), read.begin() + type.capacity, written.begin()));
    std::vector<uint8_t> scratch(type.capacity);
    EXPECT_TRUE(CompareMemory(rig.bus, rig.memory, written, scratch, {}).same());
    // Examined at its own select address: where its pins do not count, select 0.
    const int32_t examined = (ComparedSelectBits(type) & 0x02U) != 0 ? 1 : 0;
    const IdentifyOutcome identified = IdentifyMemory(rig.bus, examined, {});
    EXPECT_NE(std::find(identified.types.begin(), identified.types.end(), type.typeIndex),
              identified.types.end());
  }
}

// Every type but the X24C01 (11).
INSTANTIATE_TEST_SUITE_P(EveryI2cType, I2cDevTypeTest,
                         ::testing::Values(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return std::string(kMemoryTypes[static_cast<size_t>(info.param)].name);
                         });

// What a misbehaving memory gives. The adapter tells no byte from another after the address: a
// refused word address is the first one's, a write refused after its address is a refused data
// byte, and a compare cannot read past a refused word address.
struct Fault {
  const char* device;
  int32_t type;
  BlockResult program;
  BlockResult read;
  bool comparable;
};

class I2cDevFaultTest : public ::testing::TestWithParam<Fault> {};

TEST_P(I2cDevFaultTest, GivesItsResult) {
  const Fault& fault = GetParam();
  Rig programming(fault.device, {}, fault.type);
  EXPECT_EQ(ProgramMemory(programming.bus, programming.memory, Pattern(5), {}).result,
            fault.program);
  Rig reading(fault.device, {}, fault.type);
  Buffer buffer = Pattern(9);
  EXPECT_EQ(ReadMemory(reading.bus, reading.memory, buffer, {}).result, fault.read);
  std::vector<uint8_t> scratch(reading.memory.capacity);
  EXPECT_EQ(CompareMemory(reading.bus, reading.memory, buffer, scratch, {}).reachable,
            fault.comparable);
  EXPECT_FALSE(reading.bus.PortFailed());
}

INSTANTIATE_TEST_SUITE_P(
    EveryResult, I2cDevFaultTest,
    ::testing::Values(
        Fault{"sim:24C02,pins=3", 2, BlockResult::NoDeviceAck, BlockResult::NoDeviceAck, false},
        Fault{"sim:24C02,absent", 2, BlockResult::NoDeviceAck, BlockResult::NoDeviceAck, false},
        Fault{"sim:24C16,nack=2", 5, BlockResult::DataNack, BlockResult::SecondByteNack, false},
        Fault{"sim:24C256,nack=3", 9, BlockResult::DataNack, BlockResult::SecondByteNack, false},
        Fault{"sim:24C16,refuse=0x123", 5, BlockResult::DataNack, BlockResult::Ok, true},
        Fault{"sim:24C02,wp", 2, BlockResult::DataNack, BlockResult::Ok, true},
        Fault{"sim:24C02,busy", 2, BlockResult::WriteCycleTimeout, BlockResult::Ok, true}));

// A 24C512 read ended early leaves the buffer as it was: a stop asked at byte 10000 ends it after
// the chunk that holds it (the bytes up to it count, no third chunk is asked for), a USB bridge
// pulled out at the third chunk fails it.
TEST(I2cDevExecutorTest, AReadEndedEarlyLeavesTheBufferAlone) {
  const Buffer before = Pattern(1);
  Buffer buffer = before;
  Rig stopping("sim:24C512", {}, 10);
  uint32_t done = 0;
  const ReadOutcome stopped =
      ReadMemory(stopping.bus, stopping.memory, buffer, {},
                 {[&](uint32_t bytes) { done = bytes; }, [&] { return done >= 10000; }});
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(stopped.bytesRead, 10001U);
  EXPECT_EQ(stopping.adapter.transfers(), 2U);
  sim::I2cAdapterModel pulled;
  pulled.unplugAt = 3;
  pulled.unplugErrno = ESHUTDOWN;
  Rig pulling("sim:24C512", pulled, 10);
  EXPECT_TRUE(ReadMemory(pulling.bus, pulling.memory, buffer, {}).portFailed);
  EXPECT_EQ(buffer, before);
}

}  // namespace
}  // namespace keldar
