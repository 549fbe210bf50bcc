#include "settings/port_devices.h"

#include <optional>

#include "hw/serial_port.h"
#include "settings/environment.h"

namespace keldar {

ResolvedPortDevice ResolvePortDeviceWithSource(int portNumber, const SettingsReader& store) {
  const std::string name = "COM" + std::to_string(portNumber);
  const std::optional<std::string> fromEnvironment = EnvironmentText("KELDAR_" + name);
  if (fromEnvironment && !fromEnvironment->empty()) {
    return {*fromEnvironment, PortDeviceSource::Environment};
  }
  // A value of another type (a number in the registry) reads as absent.
  const std::optional<std::string> stored = store.ReadString(PortDeviceKey(portNumber));
  if (stored && !stored->empty()) return {*stored, PortDeviceSource::Settings};
  return {DefaultPortDevice(portNumber), PortDeviceSource::Default};
}

std::string ResolvePortDevice(int portNumber, const SettingsReader& store) {
  return ResolvePortDeviceWithSource(portNumber, store).device;
}

std::string PortDeviceKey(int portNumber) {
  return "Ports/COM" + std::to_string(portNumber);
}

void StorePortDevice(int portNumber, const std::string& device, SettingsWriter& store) {
  store.WriteString(PortDeviceKey(portNumber), device);
}

}  // namespace keldar
