// Raw binary images: the buffer byte for byte from address 0, no header.
#pragma once

#include <cstdint>
#include <filesystem>

#include "data/buffer.h"
#include "data/file_error.h"
#include "data/output_file.h"
#include "data/replace_file.h"

namespace keldar {

struct BinaryLoad {
  uint32_t count = 0;  // bytes taken
  FileError error;     // why none were, when the file could not be opened or read
};

// Reads up to kBufferBytes bytes of the file into the buffer from address 0, whatever the capacity,
// and gives the number of bytes taken; the bytes from there on keep their values. 0 when the file
// is empty or cannot be opened or read; a read that fails part-way also gives 0 and leaves the
// buffer as it was.
[[nodiscard]] BinaryLoad LoadBinaryImage(const std::filesystem::path& file, Buffer& buffer);

// Saves the active window, buffer[0 .. capacity - 1], through ReplaceFile.
[[nodiscard]] SaveOutcome SaveBinaryImage(const std::filesystem::path& file, const Buffer& buffer,
                                          uint32_t capacity, const OutputFileOpener& open = {});

}  // namespace keldar
