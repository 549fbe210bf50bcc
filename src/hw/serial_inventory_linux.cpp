// The inventory from /dev and sysfs: names are listed and links followed, small sysfs attributes
// are read, and no device is ever opened.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "hw/serial_inventory.h"
#include "hw/sysfs_files.h"

namespace keldar {
namespace {

namespace fs = std::filesystem;
using sysfs::Entries;
using sysfs::Exists;
using sysfs::FirstLine;
using sysfs::LinkName;
using sysfs::Resolved;

// sysfs: /sys/class/tty/<name>/device is the port's hardware. Since Linux 6.5 the serial core
// puts its own "serial-base" controller and port devices in between; the driver that matters
// (serial8250, serial for PNP and PCI ports) sits on the first device above them.
void ReadSysfs(const SystemPaths& paths, SerialDeviceInfo& info) {
  const fs::path tty = fs::path(paths.sysfs) / "class" / "tty" / info.kernelName;
  fs::path device = Resolved(tty / "device");
  if (device.empty()) return;  // a virtual terminal, a pseudo-terminal: no hardware
  while (LinkName(device / "subsystem") == "serial-base" && device.has_parent_path())
    device = device.parent_path();
  info.driver = LinkName(device / "driver");
  if (const std::string type = FirstLine(tty / "type"); !type.empty()) {
    info.uartType = std::atoi(type.c_str());
  }
  // A USB adapter: the port hangs off an interface whose parent is the USB device itself.
  for (fs::path up = device; !up.empty() && up != up.root_path(); up = up.parent_path()) {
    if (Exists(up / "idVendor")) {
      info.bus = SerialBus::Usb;
      info.vendorId = FirstLine(up / "idVendor");
      info.productId = FirstLine(up / "idProduct");
      info.manufacturer = FirstLine(up / "manufacturer");
      info.product = FirstLine(up / "product");
      info.serialNumber = FirstLine(up / "serial");
      return;
    }
    if (up == fs::path(paths.sysfs)) break;
  }
  if (info.uartType >= 0) info.bus = SerialBus::Native;
}

// ttyS2 before ttyS10; the families in the order given.
struct KernelOrder {
  static constexpr std::string_view kFamilies[] = {"ttyS", "ttyUSB", "ttyACM"};
  static std::pair<size_t, long> Key(const std::string& name) {
    for (size_t f = 0; f < std::size(kFamilies); ++f) {
      const std::string_view prefix = kFamilies[f];
      if (name.size() > prefix.size() && name.starts_with(prefix) &&
          std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                      [](char c) { return c >= '0' && c <= '9'; })) {
        return {f, std::atol(name.c_str() + prefix.size())};
      }
    }
    return {std::size(kFamilies), 0};
  }
};

}  // namespace

SerialDeviceInfo IdentifySerialDevice(const std::string& path, const SystemPaths& paths) {
  SerialDeviceInfo info;
  info.path = path;
  const fs::path resolved = Resolved(path);
  info.exists = !resolved.empty();
  info.kernelName = (info.exists ? resolved : fs::path(path)).filename().string();
  if (info.exists) ReadSysfs(paths, info);
  return info;
}

std::vector<SerialDeviceInfo> ListSerialDevices(const SystemPaths& paths) {
  std::vector<SerialDeviceInfo> devices;
  std::vector<fs::path> stable = Entries(fs::path(paths.dev) / "serial" / "by-id");
  std::sort(stable.begin(), stable.end());
  for (const fs::path& link : stable) {
    SerialDeviceInfo info = IdentifySerialDevice(link.string(), paths);
    if (info.exists) devices.push_back(std::move(info));
  }

  std::vector<std::pair<std::pair<size_t, long>, fs::path>> kernel;
  for (const fs::path& entry : Entries(paths.dev)) {
    const auto key = KernelOrder::Key(entry.filename().string());
    if (key.first < std::size(KernelOrder::kFamilies)) kernel.emplace_back(key, entry);
  }
  std::sort(kernel.begin(), kernel.end());
  for (const auto& [key, path] : kernel) {
    const std::string name = path.filename().string();
    const bool named = std::any_of(devices.begin(), devices.end(),
                                   [&](const SerialDeviceInfo& d) { return d.kernelName == name; });
    if (!named) devices.push_back(IdentifySerialDevice(path.string(), paths));
  }
  return devices;
}

}  // namespace keldar
