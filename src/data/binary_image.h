// Raw binary images: the buffer byte for byte from address 0, or from a range's first address,
// no header.
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

// Reads a file that holds buffer[first .. first + count - 1] alone, its byte 0 at first. Its
// bytes land there only when it holds exactly count bytes; count in the result is the number it
// holds, count + 1 standing for any more. first + count is at most kBufferBytes.
[[nodiscard]] BinaryLoad LoadBinaryRange(const std::filesystem::path& file, Buffer& buffer,
                                         uint32_t first, uint32_t count);

// Saves the active window, buffer[0 .. capacity - 1], through ReplaceFile.
[[nodiscard]] SaveOutcome SaveBinaryImage(const std::filesystem::path& file, const Buffer& buffer,
                                          uint32_t capacity, const OutputFileOpener& open = {});
// Saves buffer[first .. first + count - 1] alone, through ReplaceFile.
[[nodiscard]] SaveOutcome SaveBinaryRange(const std::filesystem::path& file, const Buffer& buffer,
                                          uint32_t first, uint32_t count,
                                          const OutputFileOpener& open = {});

}  // namespace keldar
