// What an adapter's driver cannot carry of the reader's wiring, from what the machine says of the
// device and the line map in force.
#pragma once

#include <cstdint>

#include "hw/linemap.h"
#include "hw/serial_inventory.h"

namespace keldar {

enum class WiringLimit : uint8_t {
  None,
  // ch341: on chips without a break register Linux emulates break with one NUL byte at 46 bauds,
  // so TxD falls back to rest after 0.2 s and cannot hold Valim.
  BreakCannotHoldValim,
  // cdc_acm: CTS always reads asserted, so it cannot carry SDA back.
  CtsAlwaysAsserted,
};

[[nodiscard]] WiringLimit WiringLimitOf(const SerialDeviceInfo& device, const LineMap& map);

}  // namespace keldar
