#include "devices/wiring_limits.h"

namespace keldar {

WiringLimit WiringLimitOf(const SerialDeviceInfo& device, const LineMap& map) {
  if (!device.exists) return WiringLimit::None;
  switch (device.family()) {
    case AdapterFamily::Ch341: {
      // Complemented or not, Valim must stay at one level between operations.
      if (map.Arrangement().valim == OutputLine::Txd) return WiringLimit::BreakCannotHoldValim;
      break;
    }
    case AdapterFamily::CdcAcm: {
      if (map.SdaInputLine() == InputLine::Cts) return WiringLimit::CtsAlwaysAsserted;
      break;
    }
    default:
      break;
  }
  return WiringLimit::None;
}

}  // namespace keldar
