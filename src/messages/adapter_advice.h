// The French description of a serial device and what its user must know before a long operation:
// how fast it answers and which wirings its driver cannot carry.
#pragma once

#include <string>
#include <vector>

#include "devices/wiring_limits.h"
#include "hw/serial_inventory.h"

namespace keldar::messages {

// "adaptateur USB, pilote ftdi_sio, 0403:6001 FTDI FT232R USB UART, n° A50285BI".
[[nodiscard]] std::string DeviceDescription(const SerialDeviceInfo& device);

// The advice lines for this kind of port; none for a device that is not there.
[[nodiscard]] std::vector<std::string> AdapterAdvice(const SerialDeviceInfo& device);

// Who holds the device by a lock file: "occupé par le processus 1234 (verrou LCK..ttyUSB0)",
// "ouvert par ce programme"; "" when nobody does.
[[nodiscard]] std::string InUseText(const SerialDeviceInfo& device);

// The advice of AdapterAdvice that says why the wiring cannot work; "" for WiringLimit::None.
[[nodiscard]] std::string WiringLimitAdvice(WiringLimit limit);

}  // namespace keldar::messages
