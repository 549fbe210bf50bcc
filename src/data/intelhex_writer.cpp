#include "data/intelhex.h"

#include <algorithm>
#include <array>
#include <string>

namespace keldar {
namespace {

constexpr std::string_view kEndOfFileLine = ":00000001FF\r\n";

void AppendHexByte(std::string& line, uint32_t value) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  line += kDigits[(value >> 4) & 0xFU];
  line += kDigits[value & 0xFU];
}

constexpr uint8_t kDataRecord = 0x00;
constexpr uint8_t kExtendedLinearAddressRecord = 0x04;
constexpr size_t kSegmentBytes = size_t{1} << 16;

// One record: ":", count, 16-bit address, type, data, checksum, CR LF.
void FormatRecord(std::string& line, uint32_t address, uint8_t type,
                  std::span<const uint8_t> data) {
  const uint32_t count = static_cast<uint32_t>(data.size());
  uint32_t sum = count + (address >> 8) + (address & 0xFFU) + type;
  line.clear();
  line += ':';
  AppendHexByte(line, count);
  AppendHexByte(line, address >> 8);
  AppendHexByte(line, address & 0xFFU);
  AppendHexByte(line, type);
  for (const uint8_t byte : data) {
    AppendHexByte(line, byte);
    sum += byte;
  }
  AppendHexByte(line, (256U - (sum & 0xFFU)) & 0xFFU);
  line += "\r\n";
}

}  // namespace

SaveOutcome WriteIntelHex(const std::filesystem::path& file, std::span<const uint8_t> source,
                          uint32_t count, uint32_t recordLength, const OutputFileOpener& open) {
  return WriteIntelHexRange(file, source, 0, count, recordLength, open);
}

SaveOutcome WriteIntelHexRange(const std::filesystem::path& file, std::span<const uint8_t> source,
                               uint32_t first, uint32_t count, uint32_t recordLength,
                               const OutputFileOpener& open) {
  // The reader takes at most 32 bytes per record.
  const size_t start = std::min<size_t>(first, source.size());
  const size_t end = std::min<size_t>(size_t{first} + count, source.size());
  const size_t length = std::clamp<uint32_t>(recordLength, 1, kIntelHexMaxRecordBytes);
  return ReplaceFile(
      file,
      [source, start, end, length](OutputFile& out) {
        std::string line;
        line.reserve(16 + 2 * kIntelHexMaxRecordBytes);
        for (size_t address = start; address < end;) {
          const size_t offset = address % kSegmentBytes;
          // Data records carry 16 bits of address: the upper 16 come first, in their record,
          // wherever they differ from those of the previous record (or from 0).
          if (address >= kSegmentBytes && (offset == 0 || address == start)) {
            const std::array<uint8_t, 2> upper{static_cast<uint8_t>(address >> 24),
                                               static_cast<uint8_t>(address >> 16)};
            FormatRecord(line, 0, kExtendedLinearAddressRecord, upper);
            if (!out.Write(line)) return false;
          }
          const size_t room = address == start ? length - address % length : length;
          const size_t size = std::min({room, end - address, kSegmentBytes - offset});
          FormatRecord(line, static_cast<uint32_t>(offset), kDataRecord,
                       source.subspan(address, size));
          if (!out.Write(line)) return false;
          address += size;
        }
        return out.Write(kEndOfFileLine);
      },
      open);
}

}  // namespace keldar
