// Transfers through a message-level I2C adapter to a simulated memory on its bus: what reaches the
// memory when the adapter has limits, and how each refusal is typed whatever errno the adapter's
// driver gives for it.
#include "hw/i2c_transfers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "sim/i2c_adapter.h"

namespace keldar {
namespace {

using sim::I2cAdapterModel;
using sim::SimulatedI2cAdapter;

SimulatedI2cAdapter Adapter(const std::string& memory, const I2cAdapterModel& model) {
  std::string error;
  auto bus = sim::OpenSimulatedI2cBus(memory, error);
  EXPECT_NE(bus, nullptr) << error;
  return SimulatedI2cAdapter(std::move(bus), model);
}

// A CP2112 (hid-cp2112.c): one write report carries 61 bytes, a read request 512; both refused
// with EINVAL beyond; no SMBus quick command in its I2C_FUNCS; a refusal is ETIMEDOUT. A 24C256's
// 64-byte page after its two address bytes goes as two aligned halves, each awaited.
TEST(I2cTransfers, AnAdapterOfShortMessagesGetsAlignedPiecesAndChunkedReads) {
  I2cAdapterModel cp2112;
  cp2112.functions = kI2cFuncI2c | 0x0EFE0000;
  cp2112.maxWrite = 61;
  cp2112.maxRead = 512;
  cp2112.limitErrno = EINVAL;
  cp2112.addressErrno = cp2112.dataErrno = ETIMEDOUT;
  SimulatedI2cAdapter adapter = Adapter("sim:24C256,pins=3", cp2112);
  I2cTransfers transfers(adapter);
  std::vector<uint8_t> data(32768);
  std::mt19937 random(7);
  for (uint8_t& byte : data)
    byte = static_cast<uint8_t>(random());
  for (uint32_t page = 0; page < data.size(); page += 64) {
    const uint8_t word[] = {static_cast<uint8_t>(page >> 8), static_cast<uint8_t>(page)};
    ASSERT_EQ(transfers.Write(0x53, word, std::span(data).subspan(page, 64)).result, I2cResult::Ok);
    ASSERT_EQ(transfers.WaitReady(0x53).result, I2cResult::Ok);
  }
  EXPECT_EQ(transfers.writePiece(), 32U);
  EXPECT_EQ(adapter.bus().counters().writeCyclesStarted, 2U * 512U);

  std::vector<uint8_t> read(data.size());
  size_t progressCalls = 0;
  const uint8_t zero[] = {0, 0};
  EXPECT_EQ(transfers.Read(0x53, zero, read, [&](size_t) { return ++progressCalls > 0; }).result,
            I2cResult::Ok);
  EXPECT_EQ(read, data);
  EXPECT_EQ(transfers.readChunk(), 512U);
  EXPECT_EQ(progressCalls, data.size() / 512 - 1);
}

struct Driver {
  const char* name;
  int address, data;
};
// i2c-algo-bit (GPIO buses), i2c-bcm2835 (a Raspberry Pi's pins), hid-cp2112.
constexpr Driver kDrivers[] = {
    {"algo-bit", ENXIO, EIO}, {"bcm2835", EREMOTEIO, EREMOTEIO}, {"cp2112", ETIMEDOUT, ETIMEDOUT}};

TEST(I2cTransfers, EachRefusalIsTypedWhateverErrnoTheDriverGives) {
  const uint8_t word[] = {0x01, 0x00};
  const uint8_t page[4] = {1, 2, 3, 4};
  std::vector<uint8_t> read(64);
  for (const Driver& driver : kDrivers) {
    SCOPED_TRACE(driver.name);
    I2cAdapterModel model;
    model.addressErrno = driver.address;
    model.dataErrno = driver.data;
    const auto write = [&](const std::string& memory, uint8_t address) {
      SimulatedI2cAdapter adapter = Adapter(memory, model);
      return I2cTransfers(adapter).Write(address, word, page).result;
    };
    const auto readFrom = [&](const std::string& memory) {
      SimulatedI2cAdapter adapter = Adapter(memory, model);
      return I2cTransfers(adapter).Read(0x50, word, read).result;
    };
    EXPECT_EQ(write("sim:24C64,absent", 0x50), I2cResult::NoDeviceAck);
    EXPECT_EQ(write("sim:24C64,pins=2", 0x50), I2cResult::NoDeviceAck);
    EXPECT_EQ(write("sim:24C64,wp", 0x50), I2cResult::DataRefused);
    EXPECT_EQ(write("sim:24C64,refuse=258", 0x50), I2cResult::DataRefused);
    EXPECT_EQ(readFrom("sim:24C64,absent"), I2cResult::NoDeviceAck);
    EXPECT_EQ(readFrom("sim:24C64,nack=2"), I2cResult::AddressRefused);
    EXPECT_EQ(readFrom("sim:24C64"), I2cResult::Ok);

    // A write cycle that never ends: polled for at24's 25 ms at least, then given up.
    SimulatedI2cAdapter busy = Adapter("sim:24C64,busy", model);
    I2cTransfers transfers(busy);
    ASSERT_EQ(transfers.Write(0x50, word, page).result, I2cResult::Ok);
    const uint64_t written = busy.bus().clock();
    EXPECT_EQ(transfers.WaitReady(0x50).result, I2cResult::WriteCycleTimeout);
    EXPECT_GE(busy.bus().clock() - written, 25'000'000U);
    EXPECT_LT(busy.bus().clock() - written, 50'000'000U);
  }
}

// A USB bridge pulled out in the middle of a 24C512 read: the third chunk's call fails, with the
// errno of a device gone, or a driver's EIO that the poll confirms.
TEST(I2cTransfers, APulledAdapterFailsTheReadWhereItWent) {
  for (const int gone : {ENODEV, ESHUTDOWN, EIO}) {
    I2cAdapterModel model;
    model.unplugAt = 3;
    model.unplugErrno = gone;
    SimulatedI2cAdapter adapter = Adapter("sim:24C512", model);
    std::vector<uint8_t> read(65536);
    size_t done = 0;
    const uint8_t zero[] = {0, 0};
    const I2cReport report = I2cTransfers(adapter).Read(0x50, zero, read, [&](size_t bytes) {
      done = bytes;
      return true;
    });
    EXPECT_EQ(report.result, I2cResult::PortFailed) << gone;
    EXPECT_EQ(report.error, gone);
    EXPECT_EQ(done, 2U * kI2cMaxMessageLength);
  }
}

// The write cycle is polled by empty writes only on an adapter that offers SMBus quick commands
// and takes empty messages; otherwise by one-byte reads, which the memory answers with a byte.
TEST(I2cTransfers, PollsAreEmptyWritesOnlyWhereTheAdapterTakesThem) {
  struct Case {
    uint64_t functions;
    bool noEmpty;
    bool readPolls;
  };
  for (const Case& c :
       {Case{sim::kPlainI2cFunctions, false, false}, Case{sim::kPlainI2cFunctions, true, true},
        Case{kI2cFuncI2c, false, true}}) {
    I2cAdapterModel model;
    model.functions = c.functions;
    model.noEmpty = c.noEmpty;
    SimulatedI2cAdapter adapter = Adapter("sim:24C02,cycle=5", model);
    I2cTransfers transfers(adapter);
    const uint8_t word[] = {0x10};
    const uint8_t value[] = {0x5A};
    ASSERT_EQ(transfers.Write(0x50, word, value).result, I2cResult::Ok);
    ASSERT_EQ(transfers.WaitReady(0x50).result, I2cResult::Ok);
    EXPECT_GT(adapter.bus().counters().pollsRefused, 0U);
    EXPECT_EQ(adapter.bus().counters().bytesSent, c.readPolls ? 1U : 0U) << c.functions;
    EXPECT_EQ(adapter.bus().memory()[0x10], 0x5A);
  }
}

}  // namespace
}  // namespace keldar
