#include "hw/linemap.h"

namespace keldar {

bool LineMap::SetOutputArrangement(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(kOutputArrangements.size())) return false;
  outputArrangement = index;
  return true;
}

bool LineMap::SetSdaInput(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(kSdaInputs.size())) return false;
  sdaInput = index;
  return true;
}

void LineMap::ApplyStandardPreset() {
  SetOutputArrangement(0);
  SetSdaInput(0);
  complementValim = false;
  complementScl = false;
  complementSdaOut = false;
  complementSdaIn = false;
}

void LineMap::ApplyInSituPreset() {
  SetOutputArrangement(0);
  SetSdaInput(0);
  complementValim = false;
  complementScl = true;
  complementSdaOut = true;
  complementSdaIn = true;
}

}  // namespace keldar
