#include "data/random_source.h"

#include <chrono>

namespace keldar {

RandomSource RandomSource::FromClock() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(now).count();
  return RandomSource(static_cast<uint32_t>(seconds));
}

}  // namespace keldar
