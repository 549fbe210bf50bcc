// The memory's pins traced while a 24C02 is programmed and read, once through the serial port and
// once through the FTDI cable, decoded by sigrok's I2C decoder (sigrok-cli, which keldar.sh
// installs; a missing tool fails the test): the same transfers on the bus, apart from the number
// of polls the memory refused while it wrote, which depends on how fast a poll goes out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "../data/temp_dir.h"
#include "data/buffer.h"
#include "hw/line_driver.h"
#include "i2c/executors.h"
#include "i2c/identify.h"
#include "i2c/operations.h"
#include "sim/sim_device.h"
#include "sim/sim_port.h"

namespace keldar {
namespace {

using Transfer = std::vector<std::string>;

// Programs then reads the whole memory, tracing the pins into `vcd`.
void Trace(const std::string& device, const std::filesystem::path& vcd) {
  std::string error;
  sim::SimulatedDevice opened = sim::OpenSimulatedDevice(device + ",vcd=" + vcd.string(), error);
  ASSERT_NE(opened.port, nullptr) << error;
  LineMap map;
  const auto bus = ExecutorFor(*opened.port, map);
  CurrentMemory memory;
  memory.Select(2);
  Buffer buffer{};
  for (size_t i = 0; i < 256; ++i)
    buffer[i] = static_cast<uint8_t>(i * 37 + 1);
  ASSERT_TRUE(ProgramMemory(*bus, memory, buffer, {}).succeeded());
  ASSERT_TRUE(ReadMemory(*bus, memory, buffer, {}).succeeded());
}

// sigrok's start, address, data, acknowledge and stop annotations, cut into transfers at each
// stop; a poll the busy memory refused (start, address, NACK, stop) is left out.
std::vector<Transfer> Decoded(const std::filesystem::path& vcd) {
  const std::filesystem::path text = vcd.string() + ".txt";
  const std::string command = "sigrok-cli -I vcd -i '" + vcd.string() +
                              "' -P i2c:scl=SCL:sda=SDA -A i2c=addr-data > '" + text.string() +
                              "' 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::vector<Transfer> transfers(1);
  std::ifstream in(text);
  for (std::string line; std::getline(in, line);) {
    transfers.back().push_back(line);
    if (line != "i2c-1: Stop") continue;
    const Transfer& last = transfers.back();
    if (last.size() == 5 && last[3] == "i2c-1: NACK") transfers.pop_back();
    transfers.emplace_back();
  }
  return transfers;
}

TEST(VcdDecodeTest, TheCableAndTheSerialPortPutTheSameTransfersOnTheBus) {
  testing::TempDir dir;
  Trace("sim:24C02", dir / "serial.vcd");
  Trace("sim:24C02,adapter=ft232r", dir / "cable.vcd");
  const std::vector<Transfer> serial = Decoded(dir / "serial.vcd");
  const std::vector<Transfer> cable = Decoded(dir / "cable.vcd");
  // 64 pages and the poll each write cycle answered, then the read: its 256 bytes in one
  // transfer after the dummy write of address 0.
  ASSERT_EQ(serial.size(), 64U * 2 + 1 + 1);
  // Start, write, address, ACK; word address, ACK; the same four to read; 256 bytes and their
  // answers; stop.
  EXPECT_EQ(serial[128].size(), 4U + 2 + 4 + 2 * 256 + 1);
  EXPECT_EQ(serial[128][10], "i2c-1: Data read: 01");
  for (size_t i = 0; i < serial.size() && i < cable.size(); ++i)
    ASSERT_EQ(cable[i], serial[i]) << "transfer " << i;
  EXPECT_EQ(cable.size(), serial.size());
}

// A byte programmed above 64 KiB: the 7-bit address as the datasheets lay it out (1010, then
// M24M01/AT24CM01 A2 A1 A16, 24LC1025 B0 A1 A0 with B0 = A16, M24M02/AT24CM02 A2 A17 A16), then
// the address's bits 15..8 and 7..0; the answered poll carries the pins alone.
TEST(VcdDecodeTest, PartsAbove64KiBCarryTheirHighAddressBitsInTheDeviceByte) {
  for (const auto& [device, type, base, address, write, poll] :
       {std::tuple{"sim:24M01,pins=2", 12, 2, 0x1ABCDu, "53", "52"},
        {"sim:24LC1025,pins=1", 13, 1, 0x1ABCDu, "55", "51"},
        {"sim:24M02,pins=4", 14, 4, 0x2ABCDu, "56", "54"}}) {
    testing::TempDir dir;
    {
      std::string error;
      sim::SimulatedDevice opened =
          sim::OpenSimulatedDevice(std::string(device) + ",vcd=" + (dir / "t.vcd").string(), error);
      LineMap map;
      const auto bus = ExecutorFor(*opened.port, map);
      CurrentMemory memory;
      memory.Select(type);
      memory.baseAddress = base;
      memory.cursorAddress = address;
      ASSERT_TRUE(ProgramSelectedByte(*bus, memory, Buffer{}).succeeded()) << device;
    }
    const std::vector<Transfer> bus = Decoded(dir / "t.vcd");
    ASSERT_GE(bus.size(), 2U);
    EXPECT_EQ(bus[0][2], "i2c-1: Address write: " + std::string(write));
    EXPECT_EQ(bus[0][4] + bus[0][6], "i2c-1: Data write: ABi2c-1: Data write: CD");
    EXPECT_EQ(bus[1][2], "i2c-1: Address write: " + std::string(poll));
  }
}

// An identification writes nothing: a transfer that a stop closes after a device byte for
// writing carries no byte after it; every word address is followed by a repeated start and a
// read. Both a part of one address byte (24C16) and one of two (24M01), on the lines and as the
// FT232R's stream.
TEST(VcdDecodeTest, AnIdentificationNeverStopsAfterAByteAPartCouldWrite) {
  for (const char* device :
       {"sim:24C16", "sim:24M01", "sim:24C16,adapter=ft232r", "sim:24M01,adapter=ft232r"}) {
    testing::TempDir dir;
    {
      std::string error;
      sim::SimulatedDevice opened =
          sim::OpenSimulatedDevice(std::string(device) + ",vcd=" + (dir / "t.vcd").string(), error);
      ASSERT_NE(opened.port, nullptr) << error;
      std::mt19937 random(16);
      for (uint8_t& cell : opened.reader->memory())
        cell = static_cast<uint8_t>(random());
      LineMap map;
      EXPECT_EQ(IdentifyMemory(*ExecutorFor(*opened.port, map), 0, {}).verdict,
                IdentifyVerdict::OneType)
          << device;
    }
    const auto is = [](std::string_view what) {
      return [what](const std::string& item) {
        return item.starts_with("i2c-1: " + std::string(what));
      };
    };
    size_t reads = 0;
    for (const Transfer& transfer : Decoded(dir / "t.vcd")) {
      if (transfer.empty() || transfer.back() != "i2c-1: Stop") continue;
      reads +=
          static_cast<size_t>(std::count_if(transfer.begin(), transfer.end(), is("Address read")));
      // From the last start, repeated or not, to the stop.
      const auto last = std::find_if(transfer.rbegin(), transfer.rend(), is("Start")).base() - 1;
      ASSERT_LT(last + 1, transfer.end()) << device;
      if (!is("Address write")(*(last + 1))) continue;
      EXPECT_EQ(std::count_if(last, transfer.end(), is("Data write")), 0)
          << device << ": " << *(last + 1);
    }
    EXPECT_GT(reads, 4U) << device;
  }
}

}  // namespace
}  // namespace keldar
