// Whether a memory's contents repeat themselves: the usual sign that the type chosen is larger
// than the part, whose address wraps around.
#pragma once

#include <cstdint>
#include <span>

namespace keldar {

// The smallest power of two below the size at which every byte equals the one that period
// before it; 0 when the data do not repeat, or are uniform (a blank memory tells nothing).
[[nodiscard]] uint32_t RepetitionPeriod(std::span<const uint8_t> data);

}  // namespace keldar
