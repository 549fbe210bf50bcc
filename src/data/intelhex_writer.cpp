#include "data/intelhex.h"

#include <algorithm>
#include <string>

namespace keldar {
namespace {

constexpr std::string_view kEndOfFileLine = ":00000001FF\r\n";

void AppendHexByte(std::string& line, uint32_t value) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  line += kDigits[(value >> 4) & 0xFU];
  line += kDigits[value & 0xFU];
}

// One data record: ":", count, address, type 00, data, checksum, CR LF.
void FormatRecord(std::string& line, uint32_t address, std::span<const uint8_t> data) {
  const uint32_t count = static_cast<uint32_t>(data.size());
  uint32_t sum = count + (address >> 8) + (address & 0xFFU);
  line.clear();
  line += ':';
  AppendHexByte(line, count);
  AppendHexByte(line, address >> 8);
  AppendHexByte(line, address & 0xFFU);
  line += "00";
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
  // Addresses have 16 bits, and the reader takes at most 32 bytes per record.
  const std::span<const uint8_t> bytes =
      source.first(std::min<size_t>({count, source.size(), size_t{1} << 16}));
  const size_t length = std::clamp<uint32_t>(recordLength, 1, kIntelHexMaxRecordBytes);
  return ReplaceFile(
      file,
      [bytes, length](OutputFile& out) {
        std::string line;
        line.reserve(16 + 2 * kIntelHexMaxRecordBytes);
        for (size_t address = 0; address < bytes.size(); address += length) {
          const size_t size = std::min(length, bytes.size() - address);
          FormatRecord(line, static_cast<uint32_t>(address), bytes.subspan(address, size));
          if (!out.Write(line)) return false;
        }
        return out.Write(kEndOfFileLine);
      },
      open);
}

}  // namespace keldar
