// The executor an open device calls for: the FT232R stream on an FTDI cable in bit-bang mode, the
// line primitives on any other port, the adapter's own messages on an I2C adapter.
#pragma once

#include <memory>

#include "hw/linemap.h"
#include "hw/port.h"
#include "i2c/bus_executor.h"
#include "i2c/reader_device.h"

namespace keldar {

// The executor reads the map at every line change and drives the port: both must outlive it.
[[nodiscard]] std::unique_ptr<BusExecutor> ExecutorFor(ControlPort& port, const LineMap& map);
// The same for an open device; an I2C adapter leaves the map aside.
[[nodiscard]] std::unique_ptr<BusExecutor> ExecutorFor(const ReaderDevice& device,
                                                       const LineMap& map);

}  // namespace keldar
