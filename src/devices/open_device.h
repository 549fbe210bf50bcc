// The one factory for every kind of port a device string can name: a prefix chooses the kind
// ("sim:" a simulated reader, "ftdi:" an FTDI cable in bit-bang mode), anything else is a serial
// device path or COM name for the platform's backend.
#pragma once

#include <memory>
#include <string>

#include "hw/port.h"

namespace keldar {

// nullptr when the device cannot be had (missing, held by another program, no UART behind it,
// refused sim string); error then says why, for logs and diagnostics.
[[nodiscard]] std::unique_ptr<ControlPort> OpenDevice(const std::string& device,
                                                      std::string& error);

}  // namespace keldar
