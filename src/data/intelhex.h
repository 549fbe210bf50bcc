// Intel HEX files. The reader takes data records of up to 32 bytes anywhere below its limit,
// placed by the extended segment (02) and linear (04) address records as other tools write them;
// it skips start address records (03, 05), checks every line in a fixed order and stops at the
// first fault, at the end of the input or at the first record of any other type (01 end of file).
// The writer makes records with 16-bit addresses, upper-case digits and CR LF line ends, then the
// end-of-file record; above 64 KiB an extended linear address record (04) opens each further
// 64 KiB, and no record crosses from one to the next.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

#include "data/file_error.h"
#include "data/output_file.h"
#include "data/replace_file.h"

namespace keldar {

// The reader's result codes, first fault found. Ok is also the result of a file that could not be
// opened (see IntelHexResult::file).
enum class IntelHexCode : int {
  Ok = 0,
  NoRecordMark = 1,  // the line does not begin with ":" (a blank line included)
  BadByteCount = 2,  // the byte count is not two hexadecimal digits, or not 2 in an extended
                     // address record
  TooManyBytes = 3,  // the byte count is above 32
  BadAddress = 4,    // an address byte is not two hexadecimal digits
  BeyondLimit = 5,   // address (extended address included) + byte count is above the limit
  NoChecksum = 6,    // the checksum field is not two hexadecimal digits
  BadData = 7,       // the type or a data byte is not two hexadecimal digits
  BadChecksum = 8,   // the bytes of the record do not sum to 0 modulo 256
};

// Lowest and highest destination address written, both included.
struct IntelHexRange {
  uint32_t first = 0;
  uint32_t last = 0;
};

struct IntelHexResult {
  IntelHexCode code = IntelHexCode::Ok;
  // Data bytes decoded in the data records examined, those of a record that then failed its data
  // or checksum check included (they were not copied). With code Ok, the bytes copied.
  uint32_t loadedBytes = 0;
  // Why the file could not be opened (problem None when it was): nothing was then read and the
  // code is Ok.
  FileError file;
  // Where the copied bytes lie; empty when none was copied.
  std::optional<IntelHexRange> copied;

  [[nodiscard]] bool opened() const { return file.problem == FileProblem::None; }
};

inline constexpr uint32_t kIntelHexMaxRecordBytes = 32;
inline constexpr uint32_t kIntelHexRecordBytes = 16;
// Characters taken from the input per line read, the line feed included; what remains of a
// longer line is read as the next line.
inline constexpr size_t kIntelHexLineChars = 79;

// Two hexadecimal digits (0-9, A-F, a-f), high digit first; nothing when either is not one.
[[nodiscard]] constexpr std::optional<uint8_t> HexPairToByte(char high, char low) {
  const auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  const int h = digit(high);
  const int l = digit(low);
  if (h < 0 || l < 0) return std::nullopt;
  return static_cast<uint8_t>(h * 16 + l);
}

// The French message of a code, in UTF-8; empty for Ok.
[[nodiscard]] std::string_view IntelHexMessage(IntelHexCode code);

// Loads a file into destination[0 .. limit - 1]. Data records are copied as they pass their
// checks, so on a fault the records before the faulty line stay in the destination. A limit above
// the destination's size counts as that size: nothing is ever written outside it. The file is
// read as text: a carriage return right before a line feed is dropped.
[[nodiscard]] IntelHexResult ReadIntelHex(const std::filesystem::path& file,
                                          std::span<uint8_t> destination, uint32_t limit);
// The same reading of text already in memory.
[[nodiscard]] IntelHexResult ReadIntelHexText(std::string_view text, std::span<uint8_t> destination,
                                              uint32_t limit);

// Saves source[0 .. count - 1] in records of recordLength bytes (1 to 32), through ReplaceFile.
// A count above the source's size counts as that size; when count is not a multiple of the record
// length the last record is shorter, as is a record that would cross a 64 KiB boundary.
[[nodiscard]] SaveOutcome WriteIntelHex(const std::filesystem::path& file,
                                        std::span<const uint8_t> source, uint32_t count,
                                        uint32_t recordLength = kIntelHexRecordBytes,
                                        const OutputFileOpener& open = {});
// Saves source[first .. first + count - 1] at their own addresses: an extended linear address
// record (04) comes first when first is at 64 KiB or above, and the first record ends where a
// record would have ended in a file written from address 0, so that the records stay aligned.
// The part of the run beyond the source's size is left out.
[[nodiscard]] SaveOutcome WriteIntelHexRange(const std::filesystem::path& file,
                                             std::span<const uint8_t> source, uint32_t first,
                                             uint32_t count,
                                             uint32_t recordLength = kIntelHexRecordBytes,
                                             const OutputFileOpener& open = {});

}  // namespace keldar
