#include "data/repetition.h"

#include <algorithm>

namespace keldar {

uint32_t RepetitionPeriod(std::span<const uint8_t> data) {
  const auto size = static_cast<uint32_t>(data.size());
  uint32_t period = size;
  while (period > 1) {
    const uint32_t half = period / 2;
    if (!std::equal(data.begin() + half, data.end(), data.begin())) break;
    period = half;
  }
  return period == size || period == 1 ? 0 : period;
}

}  // namespace keldar
