#include "devices/wiring_limits.h"

namespace keldar {

WiringLimit WiringLimitOf(const SerialDeviceInfo& device, const LineMap& map) {
  if (!device.exists) return WiringLimit::None;
  switch (device.family()) {
    case AdapterFamily::Ch341: {
      // Complemented or not, Valim must stay at one level between operations.
      const auto row = static_cast<size_t>(map.outputArrangement);
      if (row < kOutputArrangements.size() && kOutputArrangements[row].valimHighCode == SETBREAK)
        return WiringLimit::BreakCannotHoldValim;
      break;
    }
    case AdapterFamily::CdcAcm: {
      const auto input = static_cast<size_t>(map.sdaInput);
      if (input < kSdaInputMasks.size() && kSdaInputMasks[input] == MS_CTS_ON)
        return WiringLimit::CtsAlwaysAsserted;
      break;
    }
    default:
      break;
  }
  return WiringLimit::None;
}

}  // namespace keldar
