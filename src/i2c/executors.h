// The executor an open port calls for: the FT232R stream on an FTDI cable in bit-bang mode, the
// line primitives on any other port.
#pragma once

#include <memory>

#include "hw/linemap.h"
#include "hw/port.h"
#include "i2c/bus_executor.h"

namespace keldar {

// The executor reads the map at every line change and drives the port: both must outlive it.
[[nodiscard]] std::unique_ptr<BusExecutor> ExecutorFor(ControlPort& port, const LineMap& map);

}  // namespace keldar
