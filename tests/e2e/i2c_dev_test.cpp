// The i2c-dev adapter behind the syscall shim: the checks made before anything is opened, the
// opening, and whole memories through real I2C_RDWR calls.
#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "devices/i2c_access.h"
#include "devices/open_device.h"
#include "fixtures/machine_tree.h"
#include "hw/i2c_transfers.h"
#include "session/operation_service.h"
#include "shim_session.h"

namespace keldar::e2e {
namespace {

const MemoryType& Type(const char* name) {
  return kMemoryTypes[static_cast<size_t>(FindMemoryType(name))];
}

class I2cDevTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(ShimSession::ShimLoaded()) << "not under the shim"; }

  // The fixture machine in the session's folder: its adapters, and shim devices at their nodes.
  SystemPaths Machine(const ShimSession& session) {
    const testing::MachineTree machine{session.dir() + "/sys", session.dir() + "/dev"};
    machine.I2cMachine();
    testing::MachineTree::Text(machine.dev / "i2c-9", "");  // a node sysfs knows nothing of
    SystemPaths paths;
    paths.dev = machine.dev.string();
    paths.sysfs = machine.sys.string();
    return paths;
  }
};

// The PC's own buses, an adapter without its i2c-dev node, a node that sysfs does not describe, an
// address at24 holds and the X24C01 are refused from sysfs alone: no node is opened.
TEST_F(I2cDevTest, ThePcsBusesAndUnknownNodesAreRefusedWithNothingOpened) {
  const ShimSession session("{dir}/dev/");  // every node answers, were it opened
  const SystemPaths paths = Machine(session);
  const auto refused = [&](const std::string& device, const char* type = "24C256") {
    const I2cAdapterOpening opening = OpenI2cAdapter(device, paths, Type(type), 3);
    EXPECT_EQ(opening.bus, nullptr) << device;
    return opening.refusal;
  };
  EXPECT_EQ(refused("i2c:0").reason, PortRefusalReason::SmbusHost);
  EXPECT_EQ(refused("i2c:0").adapter, "SMBus I801 adapter at efa0");
  EXPECT_EQ(refused("i2c:/dev/i2c-1").reason, PortRefusalReason::GraphicsBus);
  EXPECT_EQ(refused("i2c:2").reason, PortRefusalReason::GraphicsBus);
  EXPECT_EQ(refused("i2c:8").reason, PortRefusalReason::NoI2cDevNode);
  EXPECT_EQ(refused("i2c:9").reason, PortRefusalReason::I2cAdapterUnknown);
  EXPECT_EQ(refused("i2c:10").reason, PortRefusalReason::Missing);
  const PortRefusal bound = refused("i2c:7", "24C16");  // 0x50..0x57 whatever its pins
  EXPECT_EQ(bound.reason, PortRefusalReason::AddressBound);
  EXPECT_EQ(bound.address, 0x50);
  EXPECT_EQ(refused("i2c:7", "X24C01").reason, PortRefusalReason::PseudoI2cOnBus);
  EXPECT_EQ(session.Count("open") + session.Count("refused"), 0U);
}

// A CP2112-like bridge (61-byte writes, EINVAL beyond, no quick command) named i2c-7: taken whole,
// a 24C256 at pins 3 written page by page and read back, every byte through I2C_RDWR.
TEST_F(I2cDevTest, AFreeAdapterIsTakenWholeAndCarriesAWholeMemory) {
  const ShimSession session(
      "{dir}/dev/i2c-7=sim:24C256,pins=3,cycle=1,image={dir}/"
      "eeprom.bin,funcs=0x0efe0001,maxwrite=61,"
      "limit=EINVAL,addrnack=ETIMEDOUT,datanack=ETIMEDOUT");
  const SystemPaths paths = Machine(session);
  std::vector<uint8_t> data(32768);
  std::mt19937 random(29);
  for (uint8_t& byte : data)
    byte = static_cast<uint8_t>(random());
  {
    I2cAdapterOpening opening = OpenI2cAdapter("i2c:7", paths, Type("24C256"), 3);
    ASSERT_NE(opening.bus, nullptr) << static_cast<int>(opening.refusal.reason);
    EXPECT_EQ(opening.adapter.name, "MCP2221 usb-i2c bridge");
    const I2cAdapterOpening second =
        OpenI2cAdapter("i2c:" + paths.dev + "/i2c-7", paths, Type("24C256"), 3);
    EXPECT_EQ(second.refusal.reason, PortRefusalReason::Held);
    EXPECT_EQ(second.refusal.adapter, "MCP2221 usb-i2c bridge");

    I2cTransfers transfers(*opening.bus);
    for (uint32_t page = 0; page < data.size(); page += 64) {
      const uint8_t word[] = {static_cast<uint8_t>(page >> 8), static_cast<uint8_t>(page)};
      ASSERT_EQ(transfers.Write(0x53, word, std::span(data).subspan(page, 64)).result,
                I2cResult::Ok);
      ASSERT_EQ(transfers.WaitReady(0x53).result, I2cResult::Ok);
    }
    std::vector<uint8_t> read(data.size());
    const uint8_t zero[] = {0, 0};
    EXPECT_EQ(transfers.Read(0x53, zero, read).result, I2cResult::Ok);
    EXPECT_EQ(read, data);
    // Nothing answers at 0x50: its refusal is ETIMEDOUT, and a poll confirms it.
    EXPECT_EQ(transfers.Read(0x50, zero, read).result, I2cResult::NoDeviceAck);
  }
  EXPECT_EQ(session.ReadFile("eeprom.bin"), data);
  const std::vector<std::string> trace = session.Trace();
  const std::string node = paths.dev + "/i2c-7";
  ASSERT_GE(trace.size(), 8U);
  EXPECT_EQ(std::vector<std::string>(trace.begin(), trace.begin() + 8),
            (std::vector<std::string>{"open " + node, "flock LOCK_EX", "I2C_FUNCS", "open " + node,
                                      "flock EWOULDBLOCK", "close " + node,
                                      "I2C_RDWR W53:66 EINVAL", "I2C_RDWR W53:34"}));
  EXPECT_EQ(session.Count("I2C_SMBUS"), 0U);
}

// Pulled out at its third transfer, in the middle of a 24C512's read.
TEST_F(I2cDevTest, APulledAdapterEndsTheReadAsAPortFailure) {
  const ShimSession session("{dir}/dev/i2c-7=sim:24C512,unplug=3,unplugerr=ESHUTDOWN");
  const SystemPaths paths = Machine(session);
  {
    I2cAdapterOpening opening = OpenI2cAdapter("i2c:7", paths, Type("24C256"), 3);
    ASSERT_NE(opening.bus, nullptr);
    std::vector<uint8_t> read(65536);
    const uint8_t zero[] = {0, 0};
    const I2cReport report = I2cTransfers(*opening.bus).Read(0x50, zero, read);
    EXPECT_EQ(report.result, I2cResult::PortFailed);
    EXPECT_EQ(report.error, ESHUTDOWN);
  }
  EXPECT_EQ(session.Count("I2C_RDWR"), 3U);
}

// Before each operation sysfs is read again: an address at24 was bound to since the opening, and
// for the identification any address 1010xxx it holds (0x50 here), refuse it with nothing sent.
TEST_F(I2cDevTest, EachOperationChecksTheAdapterAgainAndSendsNothingWhenRefused) {
  const ShimSession session("{dir}/dev/i2c-7=sim:24C256,pins=3");
  const SystemPaths paths = Machine(session);
  struct : OperationObserver {
    void PhaseStarted(OperationPhase, uint32_t) override {}
    void BarMoved(uint32_t) override {}
    void BytesDone(uint32_t, uint32_t, std::optional<std::chrono::seconds>) override {}
  } observer;
  {
    const ReaderOpening opening = OpenReader("i2c:7", Type("24C256"), 3, paths);
    ASSERT_TRUE(opening.device.IsOpen());
    testing::MachineTree{paths.sysfs, paths.dev}.I2cClient(paths.sysfs + "/bus/i2c/devices/i2c-7",
                                                           0x53, "24c256", "at24");
    OperationRequest request;
    request.memory.Select(FindMemoryType("24C256"));
    request.memory.baseAddress = 3;
    for (const OperationKind kind : {OperationKind::Read, OperationKind::Identify}) {
      request.kind = kind;
      const OperationOutcome outcome =
          OperationService().Run(opening.device, request, observer, StopRequest());
      ASSERT_TRUE(outcome.refusal.has_value());
      EXPECT_EQ(outcome.refusal->reason, PortRefusalReason::AddressBound);
      EXPECT_EQ(outcome.refusal->address, kind == OperationKind::Read ? 0x53 : 0x50);
      EXPECT_EQ(outcome.refusal->probed, kind == OperationKind::Identify);
      EXPECT_FALSE(outcome.succeeded());
    }
  }
  EXPECT_EQ(session.Count("I2C_FUNCS"), 1U);
  EXPECT_EQ(session.Count("I2C_RDWR"), 0U);
}

}  // namespace
}  // namespace keldar::e2e
