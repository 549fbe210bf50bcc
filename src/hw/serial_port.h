// The platform's serial backend (port_posix.cpp or port_win32.cpp, chosen by the build): a serial
// device taken for exclusive use, checked to have a UART behind it, and nothing else configured.
#pragma once

#include <memory>
#include <string>

#include "hw/port.h"

namespace keldar {

// nullptr when the device cannot be had (missing, held by another program, no UART behind it);
// error then says why, for logs and diagnostics.
[[nodiscard]] std::unique_ptr<ControlPort> OpenSerialDevice(const std::string& path,
                                                            std::string& error);

// The device a port number 1..4 names when nothing else is configured: /dev/ttyS<n-1> on POSIX
// systems, COMn: on Windows.
[[nodiscard]] std::string DefaultPortDevice(int portNumber);

}  // namespace keldar
