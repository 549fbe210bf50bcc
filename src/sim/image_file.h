// The simulated memory's contents in a binary file, byte for byte from address 0, so that a
// simulated memory survives between runs.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace keldar::sim {

// Fills cells from the file at path. A missing file is a fresh memory: cells all 0xFF, true. A
// file whose size is not the memory's capacity is refused (false, French message) rather than
// guessed at: it belongs to another memory, and saving over it later would destroy it.
[[nodiscard]] bool LoadImageFile(const std::string& path, std::string_view typeName,
                                 std::span<uint8_t> cells, std::string& error);

// Writes cells to a temporary file beside path, then renames it over path; the old file is kept
// whole on any failure (false, French message).
[[nodiscard]] bool SaveImageFile(const std::string& path, std::span<const uint8_t> cells,
                                 std::string& error);

}  // namespace keldar::sim
