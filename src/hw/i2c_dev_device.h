// What an "i2c:" device string names: a Linux I2C adapter through its i2c-dev node, by the
// adapter's number, "i2c:7", or by the node itself, "i2c:/dev/i2c-7".
#pragma once

#include <string>
#include <string_view>

namespace keldar {

struct I2cDevSpec {
  int bus = -1;      // N of i2c-N
  std::string node;  // the node to open: <dev>/i2c-N
};

[[nodiscard]] bool IsI2cDevDevice(std::string_view device);

// devRoot stands for /dev (KELDAR_DEV_ROOT in tests): "i2c:7" and "i2c:/dev/i2c-7" both name
// <devRoot>/i2c-7; a node named by another path ("i2c:/tmp/x/i2c-7") is taken as it is. False
// and a French message when the string names no adapter.
[[nodiscard]] bool ParseI2cDevDevice(std::string_view device, const std::string& devRoot,
                                     I2cDevSpec& spec, std::string& error);

// The string that names adapter N: "i2c:" and its node under devRoot.
[[nodiscard]] std::string I2cDevDeviceString(int bus, const std::string& devRoot);

}  // namespace keldar
