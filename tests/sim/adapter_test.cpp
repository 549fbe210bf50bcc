// The program's own bit-bang port over the FT232R model ("sim:...,adapter=ft232r"), against the
// same simulated reader on a serial port: whole operations for every type in both modes, every
// result code from a memory that misbehaves, and a cable pulled out in the middle of a stream.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/buffer.h"
#include "hw/bitbang_port.h"
#include "i2c/executors.h"
#include "i2c/line_executor.h"
#include "i2c/operations.h"
#include "i2c/stream_executor.h"
#include "sim/ft232r_model.h"
#include "sim/sim_device.h"
#include "sim/sim_port.h"

namespace keldar {
namespace {

// The program at one memory type on a device string, its line map the standard reader's.
struct Session {
  Session(const std::string& device, int32_t typeIndex, bool pageMode = true)
      : opened(Open(device)), bus(ExecutorFor(*opened.port, map)) {
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
  std::unique_ptr<BusExecutor> bus;  // the stream executor behind the cable
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
    ASSERT_TRUE(ProgramMemory(*session.bus, session.memory, written, {}).succeeded());
    EXPECT_EQ(session.Cells(), session.Active(written)) << (pageMode ? "page" : "byte");

    Buffer read{};
    ASSERT_TRUE(ReadMemory(*session.bus, session.memory, read, {}).succeeded());
    EXPECT_EQ(session.Active(read), session.Active(written));
    std::vector<uint8_t> scratch(type.capacity);
    EXPECT_TRUE(CompareMemory(*session.bus, session.memory, written, scratch, {}).same());
    EXPECT_EQ(session.opened.reader->timingViolations().total(), 0U);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryType, AdapterTypeTest, ::testing::Range(0, 12),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                           return std::string(kMemoryTypes[static_cast<size_t>(info.param)].name);
                         });

// A memory that misbehaves gives the same outcome through the stream executor behind the cable
// as through the line-level one on the serial port: the same result, the same block, the same
// progress points, the same cells, nothing claimed. Where a byte of a page is refused, the rest
// of the page went out behind it on the cable.
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
  ASSERT_NE(dynamic_cast<LineExecutor*>(serial.bus.get()), nullptr);
  ASSERT_NE(dynamic_cast<StreamExecutor*>(cable.bus.get()), nullptr);
  const Buffer buffer = Pattern(5);
  std::vector<uint32_t> serialSteps, cableSteps;
  const ProgramOutcome expected = ProgramMemory(*serial.bus, serial.memory, buffer,
                                                [&](uint32_t v) { serialSteps.push_back(v); });
  const ProgramOutcome got =
      ProgramMemory(*cable.bus, cable.memory, buffer, [&](uint32_t v) { cableSteps.push_back(v); });
  EXPECT_EQ(expected.result, fault.program);
  EXPECT_EQ(got.result, expected.result);
  EXPECT_EQ(got.lastAddress, expected.lastAddress);
  EXPECT_EQ(got.succeeded(), fault.program == BlockResult::Ok);
  EXPECT_EQ(cableSteps, serialSteps);
  EXPECT_EQ(cable.Cells(), serial.Cells());

  Buffer serialRead = Pattern(9), cableRead = Pattern(9);
  serialSteps.clear();
  cableSteps.clear();
  EXPECT_EQ(ReadMemory(*serial.bus, serial.memory, serialRead,
                       [&](uint32_t v) { serialSteps.push_back(v); })
                .result,
            fault.read);
  EXPECT_EQ(
      ReadMemory(*cable.bus, cable.memory, cableRead, [&](uint32_t v) { cableSteps.push_back(v); })
          .result,
      fault.read);
  EXPECT_EQ(cableRead, serialRead);
  EXPECT_EQ(cableSteps, serialSteps);
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

// The cable's clock measured at opening on idle bytes against the model run faster and slower
// than asked: four times too fast (a rate read the other way round) is brought down, so that a
// 100 kHz part keeps its timings; a slower clock, or a stream that waits on USB round trips with
// 128 bytes in flight, opens and is reported.
TEST(AdapterRateTest, AFastClockIsCorrectedAndASlowStreamReported) {
  struct Case {
    const char* keys;
    double lowest, highest;  // bytes per second the measure must fall within
  };
  for (const Case& c :
       {Case{",chip-clock=400", 50e3, 128e3}, Case{",chip-clock=400,usb-latency=100", 190e3, 201e3},
        Case{",chip-clock=50,usb-latency=100", 95e3, 101e3},
        Case{",usb-latency=1000", 50e3, 128e3}}) {
    SCOPED_TRACE(c.keys);
    Session session(std::string("sim:24C02,adapter=ft232r,speed=100k,cycle=1") + c.keys, 2);
    const auto* cable = dynamic_cast<const BitBangPort*>(session.opened.port.get());
    ASSERT_NE(cable, nullptr);
    EXPECT_EQ(cable->askedRate(), kDefaultBitBangRate);
    EXPECT_GE(cable->measuredRate(), c.lowest);
    EXPECT_LE(cable->measuredRate(), c.highest);
    const Buffer written = Pattern(4);
    EXPECT_TRUE(ProgramMemory(*session.bus, session.memory, written, {}).succeeded());
    EXPECT_EQ(session.Cells(), session.Active(written));
    EXPECT_EQ(session.opened.reader->timingViolations().total(), 0U);
  }
}

// The cable pulled out in the middle of a stream: the operation reports its communication
// failure, claims nothing, and a failed read leaves the buffer as it was.
TEST(AdapterPullOutTest, AStreamCutShortFailsAndLeavesTheBufferAlone) {
  // Counted from the end of the opening; a 24C256 read takes thousands.
  Session reading("sim:24C256,adapter=ft232r,pullout=40", 9);
  const Buffer before = Pattern(1);
  Buffer buffer = before;
  const ReadOutcome read = ReadMemory(*reading.bus, reading.memory, buffer, {});
  EXPECT_TRUE(read.portFailed);
  EXPECT_FALSE(read.succeeded());
  EXPECT_EQ(buffer, before);
  std::vector<uint8_t> scratch(32768);
  EXPECT_FALSE(CompareMemory(*reading.bus, reading.memory, before, scratch, {}).reachable);

  Session programming("sim:24C256,adapter=ft232r,pullout=40", 9);
  const ProgramOutcome program =
      ProgramMemory(*programming.bus, programming.memory, Pattern(2), {});
  EXPECT_TRUE(program.portFailed);
  EXPECT_FALSE(program.succeeded());
  EXPECT_LT(program.lastAddress, 32768U - 64U);
  EXPECT_EQ(programming.Cells().back(), 0xFF);  // the last page was never written
}

}  // namespace
}  // namespace keldar
