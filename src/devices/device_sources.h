// Every device a port can be opened on, gathered from each source in turn, and what a device
// string names, all without opening anything. A new kind of device brings its source here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "hw/serial_inventory.h"
#include "hw/system_paths.h"

namespace keldar {

[[nodiscard]] std::vector<SerialDeviceInfo> ListDevices(const SystemPaths& paths);

// Nothing for a simulated reader, which has no device behind it.
[[nodiscard]] std::optional<SerialDeviceInfo> IdentifyDevice(const std::string& device,
                                                             const SystemPaths& paths);

}  // namespace keldar
