// No i2c-dev on this platform.
#include "hw/i2c_dev_bus.h"

namespace keldar {

bool I2cDevAvailable() {
  return false;
}

I2cBusOpening OpenI2cDevBus(const std::string&) {
  return {nullptr, Refusal(PortRefusalReason::NoI2cSupport)};
}

}  // namespace keldar
