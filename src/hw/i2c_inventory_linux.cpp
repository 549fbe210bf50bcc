// The I2C adapters from sysfs: bus/i2c/devices holds an entry i2c-N for each adapter and N-00XX
// for each client declared on one, with a driver link once a driver is bound to it. Nothing is
// opened.
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "hw/i2c_inventory.h"
#include "hw/sysfs_files.h"

namespace keldar {
namespace {

namespace fs = std::filesystem;
using sysfs::Entries;
using sysfs::Exists;
using sysfs::FirstLine;
using sysfs::LinkName;
using sysfs::Resolved;

fs::path DevicesFolder(const SystemPaths& paths) {
  return fs::path(paths.sysfs) / "bus" / "i2c" / "devices";
}

// A decimal number making up the whole text, or -1.
int Number(std::string_view text) {
  if (text.empty() || text.size() > 3 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return -1;
  return std::atoi(std::string(text).c_str());
}

// The driver of the first device above the adapter that has one: the controller (a PCI SMBus
// host, a USB or HID bridge, a platform controller), or a GPU for a connector's AUX bus.
std::string ControllerDriver(const fs::path& adapter, const SystemPaths& paths) {
  const fs::path top = Resolved(fs::path(paths.sysfs) / "devices");
  for (fs::path up = adapter.parent_path(); !up.empty() && up != up.root_path() && up != top;
       up = up.parent_path()) {
    if (std::string driver = LinkName(up / "driver"); !driver.empty()) return driver;
  }
  return {};
}

// Clients are named "<bus>-<address in four hex digits>" (i2c-core-base.c, i2c_dev_set_name).
std::vector<I2cClient> Clients(int bus, const SystemPaths& paths) {
  const std::string prefix = std::to_string(bus) + "-";
  std::vector<I2cClient> clients;
  for (const fs::path& entry : Entries(DevicesFolder(paths))) {
    const std::string name = entry.filename().string();
    if (!name.starts_with(prefix) || name.size() != prefix.size() + 4) continue;
    const unsigned long address = std::strtoul(name.c_str() + prefix.size(), nullptr, 16);
    if (address > 0x7F) continue;  // ten-bit clients (0xA000 | address) are no memory of ours
    clients.push_back(
        {static_cast<uint8_t>(address), FirstLine(entry / "name"), LinkName(entry / "driver")});
  }
  std::sort(clients.begin(), clients.end(),
            [](const I2cClient& a, const I2cClient& b) { return a.address < b.address; });
  return clients;
}

I2cAdapterInfo Describe(int bus, const fs::path& entry, const SystemPaths& paths) {
  I2cAdapterInfo info;
  info.bus = bus;
  info.name = FirstLine(entry / "name");
  info.driver = ControllerDriver(Resolved(entry), paths);
  info.node = Exists(fs::path(paths.dev) / ("i2c-" + std::to_string(bus)));
  info.kind = ClassifyI2cAdapter(info.name, info.driver);
  info.clients = Clients(bus, paths);
  return info;
}

}  // namespace

std::vector<I2cAdapterInfo> ListI2cAdapters(const SystemPaths& paths) {
  std::vector<std::pair<int, fs::path>> adapters;
  for (const fs::path& entry : Entries(DevicesFolder(paths))) {
    const std::string name = entry.filename().string();
    if (!name.starts_with("i2c-")) continue;
    if (const int bus = Number(std::string_view(name).substr(4)); bus >= 0)
      adapters.emplace_back(bus, entry);
  }
  std::sort(adapters.begin(), adapters.end());
  std::vector<I2cAdapterInfo> list;
  for (const auto& [bus, entry] : adapters)
    list.push_back(Describe(bus, entry, paths));
  return list;
}

std::optional<I2cAdapterInfo> FindI2cAdapter(int bus, const SystemPaths& paths) {
  const fs::path entry = DevicesFolder(paths) / ("i2c-" + std::to_string(bus));
  if (!Exists(entry)) return std::nullopt;
  return Describe(bus, entry, paths);
}

}  // namespace keldar
