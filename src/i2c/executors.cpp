#include "i2c/executors.h"

#include "hw/bitbang_port.h"
#if defined(__linux__)
#include "i2c/i2c_dev_executor.h"
#endif
#include "i2c/line_executor.h"
#include "i2c/stream_executor.h"

namespace keldar {

std::unique_ptr<BusExecutor> ExecutorFor(ControlPort& port, const LineMap& map) {
  if (auto* cable = dynamic_cast<BitBangPort*>(&port)) {
    return std::make_unique<StreamExecutor>(map, *cable);
  }
  return std::make_unique<LineExecutor>(map, port);
}

std::unique_ptr<BusExecutor> ExecutorFor(const ReaderDevice& device, const LineMap& map) {
#if defined(__linux__)
  if (device.i2c) return std::make_unique<I2cDevExecutor>(*device.i2c);
#endif
  // Elsewhere no I2C adapter opens (OpenReader refuses it): the device is a port.
  return ExecutorFor(*device.port, map);
}

}  // namespace keldar
