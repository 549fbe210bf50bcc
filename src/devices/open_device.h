// The one factory for every kind of port a device string can name: a prefix chooses the kind
// ("sim:" a simulated reader, "ftdi:" an FTDI cable in bit-bang mode), anything else is a serial
// device path or COM name for the platform's backend.
#pragma once

#include <string>

#include "hw/port_refusal.h"

namespace keldar {

// The port, or why the device cannot be had. A "sim:" or "ftdi:" string that says something the
// program does not know is refused as Other, with its checker's French reason in detail: those
// strings are the program's own syntax.
[[nodiscard]] PortOpening OpenDevice(const std::string& device);

}  // namespace keldar
