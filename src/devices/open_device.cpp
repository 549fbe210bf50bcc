#include "devices/open_device.h"

#include <array>
#include <string_view>

#include "hw/bitbang_port.h"
#include "hw/ftdi_device.h"
#include "hw/ftdi_link.h"
#include "hw/serial_port.h"
#include "sim/sim_device.h"

namespace keldar {
namespace {

std::unique_ptr<ControlPort> OpenSimulated(const std::string& device, std::string& error) {
  return sim::OpenSimulatedDevice(device, error).port;
}

std::unique_ptr<ControlPort> OpenFtdi(const std::string& device, std::string& error) {
  FtdiDeviceSpec spec;
  if (!ParseFtdiDevice(device, spec, error)) return nullptr;
  std::unique_ptr<BitBangLink> link = OpenFtdiLink(spec, SystemPaths::FromEnvironment(), error);
  if (!link) return nullptr;
  return StartBitBangPort(std::move(link), kDefaultBitBangRate, error);
}

struct DeviceKind {
  std::string_view prefix;
  std::unique_ptr<ControlPort> (*open)(const std::string& device, std::string& error);
};

constexpr std::array<DeviceKind, 2> kKinds{{{"sim:", OpenSimulated}, {"ftdi:", OpenFtdi}}};

}  // namespace

std::unique_ptr<ControlPort> OpenDevice(const std::string& device, std::string& error) {
  error.clear();
  for (const DeviceKind& kind : kKinds) {
    if (std::string_view(device).starts_with(kind.prefix)) return kind.open(device, error);
  }
  return OpenSerialDevice(device, error);
}

}  // namespace keldar
