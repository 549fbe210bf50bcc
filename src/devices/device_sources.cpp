#include "devices/device_sources.h"

#include <array>

#include "hw/ftdi_device.h"
#include "hw/ftdi_inventory.h"
#include "hw/i2c_dev_device.h"
#include "hw/sysfs_files.h"
#include "sim/sim_config.h"

namespace keldar {
namespace {

using Source = std::vector<SerialDeviceInfo> (*)(const SystemPaths& paths);

SerialDeviceInfo I2cDevice(std::string path, I2cAdapterInfo adapter) {
  SerialDeviceInfo info;
  info.path = std::move(path);
  info.kernelName = "i2c-" + std::to_string(adapter.bus);
  info.exists = true;
  info.driver = adapter.driver;
  info.i2c = std::move(adapter);
  return info;
}

std::vector<SerialDeviceInfo> ListI2cDevices(const SystemPaths& paths) {
  std::vector<SerialDeviceInfo> devices;
  for (I2cAdapterInfo& adapter : ListI2cAdapters(paths))
    devices.push_back(I2cDevice(I2cDevDeviceString(adapter.bus, paths.dev), std::move(adapter)));
  return devices;
}

// The adapter as the opening finds it: its node where the string puts it.
SerialDeviceInfo IdentifyI2cDevice(const std::string& device, const SystemPaths& paths) {
  I2cDevSpec spec;
  std::string error;
  std::optional<I2cAdapterInfo> adapter;
  if (ParseI2cDevDevice(device, paths.dev, spec, error)) adapter = FindI2cAdapter(spec.bus, paths);
  if (!adapter) {
    SerialDeviceInfo missing;
    missing.path = device;
    missing.i2c = I2cAdapterInfo{};
    missing.i2c->bus = spec.bus;
    return missing;
  }
  adapter->node = sysfs::Exists(spec.node);
  return I2cDevice(device, std::move(*adapter));
}

// In the order they are listed. None opens anything: /dev and sysfs are read.
constexpr std::array<Source, 3> kSources{ListSerialDevices, ListFtdiDevices, ListI2cDevices};

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
  if (IsI2cDevDevice(device)) return IdentifyI2cDevice(device, paths);
  return IdentifySerialDevice(device, paths);
}

}  // namespace keldar
