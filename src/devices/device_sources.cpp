#include "devices/device_sources.h"

#include <array>

#include "hw/ftdi_device.h"
#include "hw/ftdi_inventory.h"
#include "sim/sim_config.h"

namespace keldar {
namespace {

using Source = std::vector<SerialDeviceInfo> (*)(const SystemPaths& paths);

// In the order they are listed. Neither opens anything: /dev and sysfs are read.
constexpr std::array<Source, 2> kSources{ListSerialDevices, ListFtdiDevices};

// The first cable the string's numbers and serial number match, as the opening takes it.
SerialDeviceInfo IdentifyFtdiDevice(const std::string& device, const SystemPaths& paths) {
  SerialDeviceInfo missing;
  missing.path = device;
  missing.bitBang = true;
  FtdiDeviceSpec spec;
  std::string error;
  if (!ParseFtdiDevice(device, spec, error)) return missing;
  for (SerialDeviceInfo& cable : ListFtdiDevices(paths)) {
    const bool same = cable.vendorId == UsbId(spec.vendor) &&
                      cable.productId == UsbId(spec.product) &&
                      (spec.serial.empty() || cable.serialNumber == spec.serial);
    if (same) return cable;
  }
  return missing;
}

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
  if (IsFtdiDevice(device)) return IdentifyFtdiDevice(device, paths);
  return IdentifySerialDevice(device, paths);
}

}  // namespace keldar
