#include "hw/linemap.h"

namespace keldar {

bool LineMap::SetOutputArrangement(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(kOutputArrangements.size())) return false;
  const OutputArrangement& row = kOutputArrangements[static_cast<size_t>(index)];
  outputArrangement = index;
  valimLowCode = row.valimLowCode;
  valimHighCode = row.valimHighCode;
  sclLowCode = row.sclLowCode;
  sclHighCode = row.sclHighCode;
  sdaLowCode = row.sdaLowCode;
  sdaHighCode = row.sdaHighCode;
  return true;
}

bool LineMap::SetSdaInput(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(kSdaInputMasks.size())) return false;
  sdaInput = index;
  sdaInputMask = kSdaInputMasks[static_cast<size_t>(index)];
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
