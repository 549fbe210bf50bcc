// The inventory from /dev and sysfs: names are listed and links followed, small sysfs attributes
// are read, and no device is ever opened.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <tuple>

#include "hw/serial_inventory.h"
#include "hw/sysfs_files.h"
#include "hw/uucp_lock.h"

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

// The devices a folder of links leads to (serial/by-id, serial/by-path), in the links' order.
std::vector<SerialDeviceInfo> Linked(const fs::path& folder, const SystemPaths& paths) {
  std::vector<fs::path> links = Entries(folder);
  std::sort(links.begin(), links.end());
  std::vector<SerialDeviceInfo> devices;
  for (const fs::path& link : links) {
    SerialDeviceInfo info = IdentifySerialDevice(link.string(), paths);
    if (info.exists) devices.push_back(std::move(info));
  }
  return devices;
}

bool Names(const std::vector<SerialDeviceInfo>& devices, const std::string& kernelName) {
  return std::any_of(devices.begin(), devices.end(),
                     [&](const SerialDeviceInfo& d) { return d.kernelName == kernelName; });
}

// udev names a USB port under by-id after what the adapter says of itself: two adapters of one
// make without serial numbers get the same name, and the link leads to whichever came last. The
// adapter left without a by-id name and its twins are named by their USB port instead.
std::vector<std::string> Twins(const std::vector<SerialDeviceInfo>& kernel,
                               const std::vector<SerialDeviceInfo>& byId) {
  const auto identity = [](const SerialDeviceInfo& d) {
    return std::tie(d.vendorId, d.productId, d.manufacturer, d.product, d.serialNumber);
  };
  std::vector<std::string> twins;
  for (const SerialDeviceInfo& orphan : kernel) {
    if (orphan.bus != SerialBus::Usb || Names(byId, orphan.kernelName)) continue;
    for (const SerialDeviceInfo& other : kernel) {
      if (&other == &orphan || other.bus != SerialBus::Usb || identity(other) != identity(orphan))
        continue;
      for (const std::string& name : {orphan.kernelName, other.kernelName}) {
        if (std::find(twins.begin(), twins.end(), name) == twins.end()) twins.push_back(name);
      }
    }
  }
  return twins;
}

}  // namespace

void NoteLockHolder(SerialDeviceInfo& info, const SystemPaths& paths) {
  info.lockHolder = UucpLock::LiveHolder(paths.lockDirs, "LCK.." + info.kernelName);
  info.heldHere = info.lockHolder != 0 && info.lockHolder == ::getpid();
}

SerialDeviceInfo IdentifySerialDevice(const std::string& path, const SystemPaths& paths) {
  SerialDeviceInfo info;
  info.path = path;
  const fs::path resolved = Resolved(path);
  info.exists = !resolved.empty();
  info.kernelName = (info.exists ? resolved : fs::path(path)).filename().string();
  if (info.exists) {
    ReadSysfs(paths, info);
    NoteLockHolder(info, paths);
  }
  return info;
}

std::vector<SerialDeviceInfo> ListSerialDevices(const SystemPaths& paths) {
  std::vector<std::pair<std::pair<size_t, long>, fs::path>> names;
  for (const fs::path& entry : Entries(paths.dev)) {
    const auto key = KernelOrder::Key(entry.filename().string());
    if (key.first < std::size(KernelOrder::kFamilies)) names.emplace_back(key, entry);
  }
  std::sort(names.begin(), names.end());
  std::vector<SerialDeviceInfo> kernel;
  for (const auto& [key, path] : names)
    kernel.push_back(IdentifySerialDevice(path.string(), paths));

  const fs::path serial = fs::path(paths.dev) / "serial";
  const std::vector<SerialDeviceInfo> byId = Linked(serial / "by-id", paths);
  const std::vector<std::string> twins = Twins(kernel, byId);
  const auto twin = [&](const SerialDeviceInfo& d) {
    return std::find(twins.begin(), twins.end(), d.kernelName) != twins.end();
  };
  std::vector<SerialDeviceInfo> devices;
  for (const SerialDeviceInfo& device : byId) {
    if (!twin(device)) devices.push_back(device);
  }
  for (SerialDeviceInfo& device : Linked(serial / "by-path", paths)) {
    if (twin(device) && !Names(devices, device.kernelName)) devices.push_back(std::move(device));
  }
  for (SerialDeviceInfo& device : kernel) {
    if (!Names(devices, device.kernelName)) devices.push_back(std::move(device));
  }
  return devices;
}

}  // namespace keldar
