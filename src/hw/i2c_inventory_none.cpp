// No sysfs on this platform: no I2C adapter is listed.
#include "hw/i2c_inventory.h"

namespace keldar {

std::vector<I2cAdapterInfo> ListI2cAdapters(const SystemPaths&) {
  return {};
}

std::optional<I2cAdapterInfo> FindI2cAdapter(int, const SystemPaths&) {
  return std::nullopt;
}

}  // namespace keldar
