// sysfs: /sys/bus/usb/devices/<port> (1-1, 1-1.4 ...) is a USB device describing itself (idVendor,
// idProduct, serial, busnum, devnum...); its first interface <port>:1.0 carries the kernel
// driver's link and, while ftdi_sio holds it, the ttyUSBn it made.
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "hw/ftdi_device.h"
#include "hw/ftdi_inventory.h"
#include "hw/sysfs_files.h"

namespace keldar {
namespace {

namespace fs = std::filesystem;

struct UsbCable {
  fs::path device;
  SerialDeviceInfo info;
};

std::string TtyOf(const fs::path& interface) {
  for (const fs::path& entry : sysfs::Entries(interface)) {
    const std::string name = entry.filename().string();
    if (name.starts_with("ttyUSB")) return name;
  }
  return {};
}

std::vector<UsbCable> Cables(const SystemPaths& paths) {
  std::vector<UsbCable> cables;
  std::vector<fs::path> entries = sysfs::Entries(fs::path(paths.sysfs) / "bus" / "usb" / "devices");
  std::sort(entries.begin(), entries.end());
  const std::string vendor = UsbId(kFtdiVendor);
  const std::string product = UsbId(kFt232rProduct);
  for (const fs::path& entry : entries) {
    const std::string name = entry.filename().string();
    if (name.find(':') != std::string::npos) continue;  // an interface, not a device
    if (sysfs::FirstLine(entry / "idVendor") != vendor ||
        sysfs::FirstLine(entry / "idProduct") != product) {
      continue;
    }
    UsbCable cable{entry, {}};
    SerialDeviceInfo& info = cable.info;
    info.exists = true;
    info.bus = SerialBus::Usb;
    info.bitBang = true;
    info.vendorId = vendor;
    info.productId = product;
    info.manufacturer = sysfs::FirstLine(entry / "manufacturer");
    info.product = sysfs::FirstLine(entry / "product");
    info.serialNumber = sysfs::FirstLine(entry / "serial");
    FtdiDeviceSpec spec;
    spec.serial = info.serialNumber;
    info.path = FtdiDeviceString(spec);
    const fs::path interface = entry / (name + ":1.0");
    info.kernelName = TtyOf(interface);
    info.driver = sysfs::LinkName(interface / "driver");
    if (info.driver.empty() && !info.kernelName.empty()) {
      info.driver = sysfs::LinkName(interface / info.kernelName / "driver");
    }
    // Taking the cable detaches ftdi_sio: its tty goes from under whoever has it open.
    if (!info.kernelName.empty()) NoteLockHolder(info, paths);
    cables.push_back(std::move(cable));
  }
  return cables;
}

}  // namespace

std::vector<SerialDeviceInfo> ListFtdiDevices(const SystemPaths& paths) {
  std::vector<SerialDeviceInfo> devices;
  for (UsbCable& cable : Cables(paths))
    devices.push_back(std::move(cable.info));
  return devices;
}

std::string FtdiTtyName(const SystemPaths& paths, int bus, int address) {
  for (const UsbCable& cable : Cables(paths)) {
    if (std::atoi(sysfs::FirstLine(cable.device / "busnum").c_str()) == bus &&
        std::atoi(sysfs::FirstLine(cable.device / "devnum").c_str()) == address) {
      return cable.info.kernelName;
    }
  }
  return {};
}

}  // namespace keldar
