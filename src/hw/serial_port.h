// The platform's serial backend (port_posix.cpp or port_win32.cpp, chosen by the build): a serial
// device taken for exclusive use, checked to have a UART behind it, and nothing else configured.
#pragma once

#include <string>

#include "hw/port_refusal.h"

namespace keldar {

// The port, or why the device cannot be had (missing, not ours to open, held by another program,
// no UART behind it).
[[nodiscard]] PortOpening OpenSerialDevice(const std::string& path);

// The device a port number 1..4 names when nothing else is configured: /dev/ttyS<n-1> on POSIX
// systems, COMn: on Windows.
[[nodiscard]] std::string DefaultPortDevice(int portNumber);

}  // namespace keldar
