// The machine's serial devices as the listing names them, who holds them, and which wirings
// their drivers cannot carry; read from fixture trees, nothing opened.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "data/temp_dir.h"
#include "devices/i2c_access.h"
#include "devices/wiring_limits.h"
#include "fixtures/machine_tree.h"
#include "hw/i2c_dev_device.h"
#include "hw/serial_inventory.h"

namespace keldar {
namespace {

// Two CH340s without serial numbers share udev's by-id name, whose link leads to the one seen
// last: each is named by its USB port instead, after the adapters with a name of their own.
TEST(DeviceInventory, TwinAdaptersGoByTheirUsbPortsAndLiveLocksAreNoted) {
  testing::TempDir dir;
  const testing::MachineTree machine{dir / "sys", dir / "dev"};
  const std::string none;
  machine.Usb("ttyUSB0", "1-1", "1a86:7523", "QinHeng", "USB Serial", "ch341-uart", &none);
  machine.Usb("ttyUSB1", "1-2", "1a86:7523", "QinHeng", "USB Serial", "ch341-uart", &none);
  machine.Usb("ttyUSB2", "1-3", "0403:6001", "FTDI", "FT232R USB UART", "ftdi_sio");
  machine.Usb("ttyUSB3", "1-4", "0403:6001", "FTDI", "FT232R USB UART", "ftdi_sio");
  machine.Text(dir / "locks/LCK..ttyUSB0", "         1");  // init, always alive
  machine.Text(dir / "locks/LCK..ttyUSB1", "2147483646");  // no such process: stale
  machine.Text(dir / "locks/LCK..ttyUSB2", std::to_string(::getpid()));
  SystemPaths paths;
  paths.dev = (dir / "dev").string();
  paths.sysfs = (dir / "sys").string();
  paths.proc = (dir / "proc").string();
  paths.lockDirs = {(dir / "locks").string()};

  std::vector<std::string> names;
  for (const SerialDeviceInfo& device : ListSerialDevices(paths))
    names.push_back(device.path.substr(paths.dev.size() + 1) + " " + device.kernelName + " " +
                    std::to_string(device.lockHolder) + (device.heldHere ? " here" : ""));
  EXPECT_EQ(names, (std::vector<std::string>{
                       "serial/by-id/usb-FTDI_SN1-3-if00-port0 ttyUSB2 " +
                           std::to_string(::getpid()) + " here",
                       "serial/by-id/usb-FTDI_SN1-4-if00-port0 ttyUSB3 0",
                       "serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0 ttyUSB0 1",
                       "serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0 ttyUSB1 0",
                   }));
}

// CH341 chips without a break register cannot hold TxD in break; cdc_acm always reads CTS
// asserted. Arrangements 0 and 1 put Valim on TxD; input 0 is CTS.
TEST(DeviceInventory, WiringLimitsFollowTheDriverAndTheLineMap) {
  SerialDeviceInfo device;
  device.exists = true;
  device.bus = SerialBus::Usb;
  for (const char* driver : {"ch341-uart", "cdc_acm", "ftdi_sio"}) {
    device.driver = driver;
    for (int32_t arrangement = 0; arrangement < 6; ++arrangement) {
      for (int32_t input = 0; input < 4; ++input) {
        LineMap map;
        map.SetOutputArrangement(arrangement);
        map.SetSdaInput(input);
        map.complementValim = arrangement % 2 == 1;  // inverted or not, TxD cannot hold it
        WiringLimit expected = WiringLimit::None;
        if (device.driver == "ch341-uart" && arrangement <= 1)
          expected = WiringLimit::BreakCannotHoldValim;
        if (device.driver == "cdc_acm" && input == 0) expected = WiringLimit::CtsAlwaysAsserted;
        EXPECT_EQ(WiringLimitOf(device, map), expected) << driver << arrangement << input;
      }
    }
  }
}

// What each adapter is, from sysfs alone: its name, its controller's driver (the GPU's, above a
// connector's AUX channel), its node, the clients on it; and which it refuses.
TEST(I2cInventory, AdaptersAreKnownByNameAndControllerAndThePcsOwnAreRefused) {
  testing::TempDir dir;
  const testing::MachineTree machine{dir / "sys", dir / "dev"};
  machine.I2cMachine();
  SystemPaths paths;
  paths.dev = (dir / "dev").string();
  paths.sysfs = (dir / "sys").string();

  std::vector<std::string> seen;
  for (const I2cAdapterInfo& adapter : ListI2cAdapters(paths)) {
    std::string line =
        std::to_string(adapter.bus) + " " + adapter.driver + (adapter.node ? "" : " -");
    for (const I2cClient& client : adapter.clients)
      line += " " + std::to_string(client.address) + ":" + client.driver;
    const std::optional<PortRefusal> refusal = I2cAdapterRefusal(adapter);
    if (refusal) {
      line += " refused " + std::to_string(static_cast<int>(refusal->reason));
      EXPECT_EQ(refusal->adapter, adapter.name);
    }
    seen.push_back(line);
  }
  const auto reason = [](PortRefusalReason r) { return std::to_string(static_cast<int>(r)); };
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "0 i801_smbus 80:ee1004 refused " + reason(PortRefusalReason::SmbusHost),
                      "1 i915 refused " + reason(PortRefusalReason::GraphicsBus),
                      "2 i915 refused " + reason(PortRefusalReason::GraphicsBus),
                      "7 mcp2221 80:at24 81:",
                      "8 i2c-tiny-usb - refused " + reason(PortRefusalReason::NoI2cDevNode),
                  }));
}

// The names the kernel's drivers give their adapters: the PC's SMBus hosts and graphics buses,
// and bridges a user fits, a CP2112's among them though its name says SMBus.
TEST(I2cInventory, AdapterNamesFromTheKernelsDrivers) {
  struct Case {
    const char *name, *driver;
    I2cAdapterKind kind;
  };
  for (const Case& c : {
           Case{"SMBus PIIX4 adapter port 0 at 0b00", "piix4_smbus", I2cAdapterKind::SmbusHost},
           {"SMBus nForce2 adapter at 4c00", "", I2cAdapterKind::SmbusHost},
           {"SiS96x SMBus adapter at 0x0400", "sis96x_smbus", I2cAdapterKind::SmbusHost},
           {"AMDGPU DM i2c hw bus 0", "", I2cAdapterKind::Graphics},
           {"Radeon i2c hw bus DVI_DDC", "", I2cAdapterKind::Graphics},
           {"nvkm-0000:01:00.0-bus-0005", "", I2cAdapterKind::Graphics},
           {"NVIDIA i2c adapter 1 at 1:00.0", "nvidia", I2cAdapterKind::Graphics},
           {"DPDDC-B", "", I2cAdapterKind::Graphics},
           {"CP2112 SMBus Bridge on hidraw3", "cp2112", I2cAdapterKind::Free},
           {"bcm2835 (i2c@7e804000)", "i2c-bcm2835", I2cAdapterKind::Free},
           {"i2c-tiny-usb at bus 001 device 005", "i2c-tiny-usb", I2cAdapterKind::Free},
       }) {
    EXPECT_EQ(ClassifyI2cAdapter(c.name, c.driver), c.kind) << c.name;
  }
}

// A memory answers at every address its type occupies at its base (0x50..0x57 for a 24C16): any
// of them that a kernel driver holds refuses it. The X24C01 never goes on an I2C adapter.
TEST(I2cInventory, AMemoryWhoseAddressAKernelDriverHoldsIsRefused) {
  I2cAdapterInfo adapter;
  adapter.name = "MCP2221 usb-i2c bridge";
  adapter.clients = {{0x52, "24c02", "at24"}, {0x51, "dummy", ""}};
  const auto refused = [&](const char* type, int32_t base) -> std::string {
    const std::optional<PortRefusal> refusal =
        I2cMemoryRefusal(adapter, kMemoryTypes[static_cast<size_t>(FindMemoryType(type))], base);
    if (!refusal) return "";
    EXPECT_EQ(refusal->adapter, adapter.name);
    return std::to_string(static_cast<int>(refusal->reason)) + " " +
           std::to_string(refusal->address) + " " + refusal->driver;
  };
  const std::string bound = std::to_string(static_cast<int>(PortRefusalReason::AddressBound));
  EXPECT_EQ(refused("24C16", 0), bound + " 82 at24");
  EXPECT_EQ(refused("24C00", 7), bound + " 82 at24");
  EXPECT_EQ(refused("24C08", 0), bound + " 82 at24");
  EXPECT_EQ(refused("24C04", 0), "");  // 0x50 and 0x51: the one there is unbound
  EXPECT_EQ(refused("24C256", 3), "");
  EXPECT_EQ(refused("X24C01", 0),
            std::to_string(static_cast<int>(PortRefusalReason::PseudoI2cOnBus)) + " -1 ");
}

TEST(I2cDevDevice, NamesAnAdapterByNumberOrNode) {
  I2cDevSpec spec;
  std::string error;
  ASSERT_TRUE(ParseI2cDevDevice("i2c:7", "/x/dev", spec, error));
  EXPECT_EQ(spec.node, "/x/dev/i2c-7");
  ASSERT_TRUE(ParseI2cDevDevice("i2c:/dev/i2c-12", "/x/dev", spec, error));
  EXPECT_EQ(spec.node, "/x/dev/i2c-12");
  EXPECT_EQ(spec.bus, 12);
  ASSERT_TRUE(ParseI2cDevDevice("i2c:/tmp/i2c-0", "/x/dev", spec, error));
  EXPECT_EQ(spec.node, "/tmp/i2c-0");
  for (const char* bad :
       {"i2c:", "i2c:07", "i2c:256", "i2c:-1", "i2c:/dev/i2c-x", "i2c:/dev/ttyS0", "/dev/i2c-1"}) {
    EXPECT_FALSE(ParseI2cDevDevice(bad, "/dev", spec, error)) << bad;
    EXPECT_NE(error.find("i2c:N"), std::string::npos);
  }
}

}  // namespace
}  // namespace keldar
