// Which device each of the ports COM1..COM4 names on this machine.
#pragma once

#include <string>

#include "settings/settings_access.h"

namespace keldar {

enum class PortDeviceSource { Environment, Settings, Default };

struct ResolvedPortDevice {
  std::string device;  // UTF-8
  PortDeviceSource source = PortDeviceSource::Default;
};

// First match wins: the environment variable KELDAR_COMn; the string value COMn of the group
// Ports in the per-user store, an override kept beside the program's own settings values; the
// platform's default device (DefaultPortDevice). Empty values count as unset.
[[nodiscard]] ResolvedPortDevice ResolvePortDeviceWithSource(int portNumber,
                                                             const SettingsReader& store);
[[nodiscard]] std::string ResolvePortDevice(int portNumber, const SettingsReader& store);

// The store's name for COMn's device: "Ports/COM1".
[[nodiscard]] std::string PortDeviceKey(int portNumber);

// Writes COMn's device into the Ports group; an empty device gives the port back to the default.
void StorePortDevice(int portNumber, const std::string& device, SettingsWriter& store);

}  // namespace keldar
