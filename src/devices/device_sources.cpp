#include "devices/device_sources.h"

#include <array>

#include "sim/sim_config.h"

namespace keldar {
namespace {

using Source = std::vector<SerialDeviceInfo> (*)(const SystemPaths& paths);

// In the order they are listed.
constexpr std::array<Source, 1> kSources{ListSerialDevices};

}  // namespace

std::vector<SerialDeviceInfo> ListDevices(const SystemPaths& paths) {
  std::vector<SerialDeviceInfo> devices;
  for (const Source source : kSources) {
    std::vector<SerialDeviceInfo> found = source(paths);
    devices.insert(devices.end(), std::make_move_iterator(found.begin()),
                   std::make_move_iterator(found.end()));
  }
  return devices;
}

std::optional<SerialDeviceInfo> IdentifyDevice(const std::string& device,
                                               const SystemPaths& paths) {
  if (sim::IsSimDevice(device)) return std::nullopt;
  return IdentifySerialDevice(device, paths);
}

}  // namespace keldar
