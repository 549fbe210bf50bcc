// The program's own bit-bang port over the FT232R model ("sim:...,adapter=ft232r"), against the
// same simulated reader on a serial port: whole operations for every type in both modes, every
// result code from a memory that misbehaves, and a cable pulled out in the middle of a stream.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hw/line_driver.h"
#include "data/buffer.h"
#include "i2c/operations.h"
#include "sim/ft232r_model.h"
#include "sim/sim_device.h"
#include "sim/sim_port.h"

namespace keldar {
namespace {

// The program at one memory type on a device string, its line map the standard reader's.
struct Session {
  Session(const std::string& device, int32_t typeIndex, bool pageMode = true)
      : opened(Open(device)), lines(map, *opened.port) {
    memory.Select(typeIndex);
    memory.pageMode = pageMode;
  }
  static sim::SimulatedDevice Open(const std::string& device) {
    std::string error;
    sim::SimulatedDevice opened = sim::OpenSimulatedDevice(device, error);
    EXPECT_NE(opened.port, nullptr) << device << ": " << error;
    return opened;
  }
  std::vector<uint8_t> Cells() const {
    const auto cells = opened.reader->memory();
    return {cells.begin(), cells.end()};
  }
  std::vector<uint8_t> Active(const Buffer& buffer) const {
    return {buffer.begin(), buffer.begin() + memory.capacity};
  }

  sim::SimulatedDevice opened;
  LineMap map;
  LineDriver lines;
  CurrentMemory memory;
};

Buffer Pattern(uint32_t seed) {
  Buffer buffer{};
  for (size_t i = 0; i < buffer.size(); ++i)
    buffer[i] = static_cast<uint8_t>(i * 29U + seed + (i >> 8));
  return buffer;
}

class AdapterTypeTest : public ::testing::TestWithParam<int32_t> {};

TEST_P(AdapterTypeTest, ProgramsReadsAndComparesByteForByteInBothModes) {
  const MemoryType& type = kMemoryTypes[static_cast<size_t>(GetParam())];
  for (const bool pageMode : {true, false}) {
    if (!pageMode && !type.byteModeAllowed) continue;
    // A 100 kHz part: the default bit-bang rate keeps it within its timings.
    Session session("sim:" + std::string(type.name) + ",adapter=ft232r,speed=100k,cycle=1",
                    type.typeIndex, pageMode);
    const Buffer written = Pattern(pageMode ? 3 : 11);
    ASSERT_TRUE(ProgramMemory(session.lines, session.memory, written, {}).succeeded());
    EXPECT_EQ(session.Cells(), session.Active(written)) << (pageMode ? "page" : "byte");

    Buffer read{};
    ASSERT_TRUE(ReadMemory(session.lines, session.memory, read, {}).succeeded());
    EXPECT_EQ(session.Active(read), session.Active(written));
    std::vector<uint8_t> scratch(type.capacity);
    EXPECT_TRUE(CompareMemory(session.lines, session.memory, written, scratch, {}).same());
    EXPECT_EQ(session.opened.reader->timingViolations().total(), 0U);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryType, AdapterTypeTest, ::testing::Range(0, 12),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return std::string(kMemoryTypes[static_cast<size_t>(info.param)].name);
                         });

// A memory that misbehaves gives the same outcome behind the cable as on the serial port: the
// same result, the same block, the same progress points, the same cells, nothing claimed. Where
// a byte of a page is refused, the rest of the page went out behind it on the cable.
struct Fault {
  const char* device;  // the reader, without its adapter
  int32_t type;
  BlockResult program;
  BlockResult read;
};

class AdapterFaultTest : public ::testing::TestWithParam<Fault> {};

TEST_P(AdapterFaultTest, GivesTheSerialPortsOutcome) {
  const Fault& fault = GetParam();
  Session serial(fault.device, fault.type);
  Session cable(std::string(fault.device) + ",adapter=ft232r", fault.type);
  const Buffer buffer = Pattern(5);
  std::vector<uint32_t> serialSteps, cableSteps;
  const ProgramOutcome expected = ProgramMemory(serial.lines, serial.memory, buffer,
                                                [&](uint32_t v) { serialSteps.push_back(v); });
  const ProgramOutcome got = ProgramMemory(cable.lines, cable.memory, buffer,
                                           [&](uint32_t v) { cableSteps.push_back(v); });
  EXPECT_EQ(expected.result, fault.program);
  EXPECT_EQ(got.result, expected.result);
  EXPECT_EQ(got.lastAddress, expected.lastAddress);
  EXPECT_EQ(got.succeeded(), fault.program == BlockResult::Ok);
  EXPECT_EQ(cableSteps, serialSteps);
  EXPECT_EQ(cable.Cells(), serial.Cells());

  Buffer serialRead = Pattern(9), cableRead = Pattern(9);
  EXPECT_EQ(ReadMemory(serial.lines, serial.memory, serialRead, {}).result, fault.read);
  EXPECT_EQ(ReadMemory(cable.lines, cable.memory, cableRead, {}).result, fault.read);
  EXPECT_EQ(cableRead, serialRead);
}

INSTANTIATE_TEST_SUITE_P(
    EveryResult, AdapterFaultTest,
    ::testing::Values(
        Fault{"sim:24C02", 2, BlockResult::Ok, BlockResult::Ok},
        Fault{"sim:24C02,pins=3", 2, BlockResult::NoDeviceAck, BlockResult::NoDeviceAck},
        Fault{"sim:24C16,nack=2", 5, BlockResult::SecondByteNack, BlockResult::SecondByteNack},
        Fault{"sim:24C256,nack=3", 9, BlockResult::ThirdByteNack, BlockResult::ThirdByteNack},
        // The fifth data byte of the first page, then a byte in the middle of the
        // page at 0x120, then every data byte, then the upper half's.
        Fault{"sim:24C16,nack=7", 5, BlockResult::DataNack, BlockResult::Ok},
        Fault{"sim:24C16,refuse=0x123", 5, BlockResult::DataNack, BlockResult::Ok},
        Fault{"sim:24C02,wp", 2, BlockResult::DataNack, BlockResult::Ok},
        Fault{"sim:24C02,wp=upper", 2, BlockResult::DataNack, BlockResult::Ok},
        Fault{"sim:24C02,busy", 2, BlockResult::WriteCycleTimeout, BlockResult::Ok},
        Fault{"sim:24C02,stuck=low", 2, BlockResult::NotStarted, BlockResult::NoDeviceAck}));

// The cable pulled out in the middle of a stream: the operation reports its communication
// failure, claims nothing, and a failed read leaves the buffer as it was.
TEST(AdapterPullOutTest, AStreamCutShortFailsAndLeavesTheBufferAlone) {
  // Opening takes six transfers; a 24C256 read about sixty more.
  Session reading("sim:24C256,adapter=ft232r,pullout=40", 9);
  const Buffer before = Pattern(1);
  Buffer buffer = before;
  const ReadOutcome read = ReadMemory(reading.lines, reading.memory, buffer, {});
  EXPECT_TRUE(read.portFailed);
  EXPECT_FALSE(read.succeeded());
  EXPECT_EQ(buffer, before);
  std::vector<uint8_t> scratch(32768);
  EXPECT_FALSE(CompareMemory(reading.lines, reading.memory, before, scratch, {}).reachable);

  Session programming("sim:24C256,adapter=ft232r,pullout=40", 9);
  const ProgramOutcome program =
      ProgramMemory(programming.lines, programming.memory, Pattern(2), {});
  EXPECT_TRUE(program.portFailed);
  EXPECT_FALSE(program.succeeded());
  EXPECT_LT(program.lastAddress, 32768U - 64U);
  EXPECT_EQ(programming.Cells().back(), 0xFF);  // the last page was never written
}

}  // namespace
}  // namespace keldar
