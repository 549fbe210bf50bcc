// One factory for every kind of port a device string can name: "sim:..." opens a simulated
// reader, anything else the platform's serial port (port_posix.cpp or port_win32.cpp, chosen by
// the build).
#pragma once

#include <memory>
#include <string>

#include "hw/port.h"

namespace keldar {

// nullptr when the device cannot be had (missing, held by another program, bad sim string);
// error then says why, for logs and diagnostics.
[[nodiscard]] std::unique_ptr<ControlPort> OpenDevice(const std::string& device,
                                                      std::string& error);

// The platform backend alone: a serial device opened for exclusive use with nothing configured.
[[nodiscard]] std::unique_ptr<ControlPort> OpenSerialDevice(const std::string& path,
                                                            std::string& error);

// The device a port number 1..4 names when nothing else is configured: /dev/ttyS<n-1> on POSIX
// systems, COMn: on Windows.
[[nodiscard]] std::string DefaultPortDevice(int portNumber);

}  // namespace keldar
