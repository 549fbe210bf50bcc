// The FT232R cables of this machine as "ftdi:" devices, read from sysfs without opening any of
// them: their numbers and strings, and who holds them. With ftdi_sio bound the cable is a
// /dev/ttyUSBn and free for "ftdi:"; without a kernel driver, a program (keldar, or another
// libftdi user) has detached it and holds it.
#pragma once

#include <string>
#include <vector>

#include "hw/serial_inventory.h"
#include "hw/system_paths.h"

namespace keldar {

// Each cable once, in the order of its USB port; path is its "ftdi:VID:PID:SERIAL" string,
// kernelName its ttyUSBn while ftdi_sio holds it, driver the kernel driver ("" when detached).
[[nodiscard]] std::vector<SerialDeviceInfo> ListFtdiDevices(const SystemPaths& paths);

// The ttyUSBn of the cable at this USB bus number and device address; "" when it has none.
[[nodiscard]] std::string FtdiTtyName(const SystemPaths& paths, int bus, int address);

}  // namespace keldar
