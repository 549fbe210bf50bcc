// The machine's serial devices as the listing names them, who holds them, and which wirings
// their drivers cannot carry; read from fixture trees, nothing opened.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "data/temp_dir.h"
#include "devices/wiring_limits.h"
#include "fixtures/machine_tree.h"
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

}  // namespace
}  // namespace keldar
