// The 64 KiB byte buffer the user edits, indexed by memory address. Only its first `capacity`
// bytes (the active window) take part in fills, display, transfers and saving; file loading can
// write anywhere in it.
#pragma once

#include <array>
#include <cstdint>

namespace keldar {

inline constexpr uint32_t kBufferBytes = 65536;
using Buffer = std::array<uint8_t, kBufferBytes>;

}  // namespace keldar
