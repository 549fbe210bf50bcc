#include "devices/open_device.h"

#include <array>
#include <string_view>

#include "hw/serial_port.h"
#include "sim/sim_port.h"

namespace keldar {
namespace {

std::unique_ptr<ControlPort> OpenSimulated(const std::string& device, std::string& error) {
  return sim::OpenSimulatedPort(device, error);
}

struct DeviceKind {
  std::string_view prefix;
  std::unique_ptr<ControlPort> (*open)(const std::string& device, std::string& error);
};

constexpr std::array<DeviceKind, 1> kKinds{{{"sim:", OpenSimulated}}};

}  // namespace

std::unique_ptr<ControlPort> OpenDevice(const std::string& device, std::string& error) {
  error.clear();
  for (const DeviceKind& kind : kKinds) {
    if (std::string_view(device).starts_with(kind.prefix)) return kind.open(device, error);
  }
  return OpenSerialDevice(device, error);
}

}  // namespace keldar
