// A Linux I2C adapter through its i2c-dev node (i2c_dev_bus_linux.cpp; elsewhere, a refusal).
#pragma once

#include <memory>
#include <string>

#include "hw/i2c_message.h"
#include "hw/port_refusal.h"

namespace keldar {

struct I2cBusOpening {
  std::unique_ptr<I2cBus> bus;
  PortRefusal refusal;  // meaningful when bus is null
};

// False where the platform has no i2c-dev.
[[nodiscard]] bool I2cDevAvailable();

// Opens the node for this program alone (flock, as the serial ports are taken) and reads the
// adapter's I2C_FUNCS; an adapter without I2C_FUNC_I2C is refused, for I2C_RDWR would fail on it.
// Nothing is sent on the bus.
[[nodiscard]] I2cBusOpening OpenI2cDevBus(const std::string& node);

}  // namespace keldar
