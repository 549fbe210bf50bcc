// No sysfs on this platform: no "ftdi:" cable is listed.
#include "hw/ftdi_inventory.h"

namespace keldar {

std::vector<SerialDeviceInfo> ListFtdiDevices(const SystemPaths&) {
  return {};
}

std::string FtdiTtyName(const SystemPaths&, int, int) {
  return {};
}

}  // namespace keldar
