// The reader's port as the window gets it: a port number resolved like the window's COM ports,
// or a device string used as given.
#pragma once

#include <memory>
#include <string>

#include "cli/cli_commands.h"
#include "hw/port.h"
#include "i2c/catalogue.h"
#include "i2c/reader_device.h"
#include "settings/settings_access.h"

namespace keldar::cli {

// "1".."4" names the device of COM1..COM4; anything else is a device string.
[[nodiscard]] std::string DeviceFor(const std::string& port, const SettingsReader& settings);

// Opens the device; nullptr after printing that the port is unavailable, and why.
[[nodiscard]] std::unique_ptr<ControlPort> OpenReaderPort(const std::string& device,
                                                          Console& console);
// The same for a port or an I2C adapter, which is checked with the memory of this type at these
// pins, or for the identification; nothing open after printing why.
[[nodiscard]] ReaderDevice OpenReaderDevice(const std::string& device, const MemoryType& type,
                                            int32_t base, bool identification, Console& console);

}  // namespace keldar::cli
