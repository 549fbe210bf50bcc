// The machine's I2C adapters as sysfs describes them, no device opened: each adapter's number and
// name, its controller's driver, whether i2c-dev gives it a node, what it is for, and the
// addresses on it that kernel drivers hold.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hw/system_paths.h"

namespace keldar {

enum class I2cAdapterKind : uint8_t {
  Free,       // an adapter the user fitted: a USB bridge, a board's own I2C pins
  SmbusHost,  // the PC's SMBus host controller, with the memory modules' SPD EEPROMs on it
  Graphics,   // a graphics card's display bus (DDC: the monitor's EDID at 0x50) or DP AUX bus
};

struct I2cClient {
  uint8_t address = 0;  // 7-bit
  std::string name;     // what it was declared as: "spd", "24c02", "ee1004"
  std::string driver;   // the kernel driver bound to it; "" when none is
};

struct I2cAdapterInfo {
  int bus = -1;        // N of i2c-N
  std::string name;    // the adapter's name (bus/i2c/devices/i2c-N/name)
  std::string driver;  // its controller's driver: i801_smbus, mcp2221, i2c-tiny-usb...
  bool node = false;   // <dev>/i2c-N exists: i2c-dev is loaded
  I2cAdapterKind kind = I2cAdapterKind::Free;
  std::vector<I2cClient> clients;  // in address order
};

// What the adapter's name and its controller's driver say it is.
[[nodiscard]] I2cAdapterKind ClassifyI2cAdapter(std::string_view name, std::string_view driver);

// Every adapter sysfs lists, by number.
[[nodiscard]] std::vector<I2cAdapterInfo> ListI2cAdapters(const SystemPaths& paths);

// Adapter N; nothing when sysfs does not know it.
[[nodiscard]] std::optional<I2cAdapterInfo> FindI2cAdapter(int bus, const SystemPaths& paths);

}  // namespace keldar
