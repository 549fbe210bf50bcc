// Reading Intel HEX: one line at a time into a fixed area, one record of at most 32 data bytes
// decoded at a time. Files and in-memory text go through the same line cutting and checks.
//
// Extended address records (02 segment, 04 linear) are followed, not taken for the end: srecord
// writes :020000040000FA first by default and many tools do likewise, and stopping there would
// load nothing from a valid file. Data they place at or above the limit is refused like any data
// beyond it.
//
// Records the plain rules leave undecided are treated as the corrupt records they are:
// - a type field that is not two hexadecimal digits is neither data nor the end of the file, and
//   is reported as invalid (non-hexadecimal) data, code 7;
// - so are non-hexadecimal data digits in any record other than data: a garbled end or address
//   record must not pass as a clean one, nor be summed from guessed bytes.
// Their digits are not counted as loaded bytes, which only data records contribute.
#include "data/intelhex.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "data/file_system.h"

namespace keldar {
namespace {

constexpr int kEnd = -1;
constexpr int kNothing = -2;

class TextSource {
 public:
  explicit TextSource(std::string_view text) : text_(text) {}
  int Get() {
    if (position_ == text_.size()) return kEnd;
    return static_cast<unsigned char>(text_[position_++]);
  }

 private:
  std::string_view text_;
  size_t position_ = 0;
};

// A read error ends the input as the end of the file does.
class FileSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  int Get() {
    if (position_ == size_) {
      size_ = std::fread(block_.data(), 1, block_.size(), file_);
      position_ = 0;
      if (size_ == 0) return kEnd;
    }
    return static_cast<unsigned char>(block_[position_++]);
  }

 private:
  std::FILE* file_;
  std::array<char, 8192> block_{};
  size_t size_ = 0;
  size_t position_ = 0;
};

// Cuts the input into lines of at most kIntelHexLineChars characters, each ending after its line
// feed when one comes in time. A carriage return right before a line feed is dropped, as a
// text-mode read does; any other carriage return is kept.
template <typename Source>
class LineReader {
 public:
  explicit LineReader(Source& source) : source_(source) {}

  // False at the end of the input.
  bool Next(std::string_view& line) {
    size_t length = 0;
    while (length < area_.size()) {
      int c = Take();
      if (c == kEnd) break;
      if (c == '\r') {
        const int next = Take();
        if (next == '\n') {
          c = '\n';
        } else {
          pending_ = next;
        }
      }
      area_[length++] = static_cast<char>(c);
      if (c == '\n') break;
    }
    line = std::string_view(area_.data(), length);
    return length > 0;
  }

 private:
  int Take() {
    if (pending_ == kNothing) return source_.Get();
    const int c = pending_;
    pending_ = kNothing;
    return c;
  }

  Source& source_;
  int pending_ = kNothing;
  std::array<char, kIntelHexLineChars> area_{};
};

// A field whose characters lie past the end of the line is not hexadecimal.
std::optional<uint8_t> Field(std::string_view line, size_t position) {
  if (position + 1 >= line.size()) return std::nullopt;
  return HexPairToByte(line[position], line[position + 1]);
}

enum RecordType : uint8_t {
  kData = 0,
  kEndOfFile = 1,
  kExtendedSegmentAddress = 2,
  kStartSegmentAddress = 3,
  kExtendedLinearAddress = 4,
  kStartLinearAddress = 5,
};

// What the lines read so far leave for the next one.
struct ReadState {
  // Added to the 16-bit address of every data record; set by extended address records.
  uint64_t upperAddress = 0;
  IntelHexResult result;
};

struct LineVerdict {
  IntelHexCode code = IntelHexCode::Ok;
  bool endsReading = false;
};

// Checks one line in the fixed order, stopping at the first fault, copies a data record that
// passed every check and follows address records. limit is at most the destination's size.
LineVerdict ExamineLine(std::string_view line, std::span<uint8_t> destination, uint32_t limit,
                        ReadState& state) {
  if (line.empty() || line[0] != ':') return {IntelHexCode::NoRecordMark};
  const std::optional<uint8_t> count = Field(line, 1);
  if (!count) return {IntelHexCode::BadByteCount};
  const uint32_t n = *count;
  if (n > kIntelHexMaxRecordBytes) return {IntelHexCode::TooManyBytes};
  const std::optional<uint8_t> high = Field(line, 3);
  const std::optional<uint8_t> low = Field(line, 5);
  if (!high || !low) return {IntelHexCode::BadAddress};
  const std::optional<uint8_t> type = Field(line, 7);
  const bool isData = type == kData;
  // Only data records are placed by the extended address; other records keep their own field.
  const uint64_t address = (isData ? state.upperAddress : 0) + *high * 256U + *low;
  if (address + n > limit) return {IntelHexCode::BeyondLimit};
  const std::optional<uint8_t> checksum = Field(line, 9 + 2 * n);
  if (!checksum) return {IntelHexCode::NoChecksum};
  if (!type) return {IntelHexCode::BadData};

  std::array<uint8_t, kIntelHexMaxRecordBytes> data{};
  uint32_t decoded = 0;
  for (uint32_t i = 0; i < n; ++i) {
    if (const std::optional<uint8_t> byte = Field(line, 9 + 2 * i)) {
      data[i] = *byte;
      ++decoded;
    }
  }
  if (isData) state.result.loadedBytes += decoded;
  if (decoded != n) return {IntelHexCode::BadData};

  uint32_t sum = n + *high + *low + *type + *checksum;
  for (uint32_t i = 0; i < n; ++i)
    sum += data[i];
  if ((sum & 0xFFU) != 0) return {IntelHexCode::BadChecksum};

  switch (*type) {
    case kData:
      if (n > 0) {
        std::copy_n(data.begin(), n, destination.begin() + static_cast<ptrdiff_t>(address));
        const auto first = static_cast<uint32_t>(address);
        const uint32_t last = first + n - 1;
        std::optional<IntelHexRange>& range = state.result.copied;
        range = range ? IntelHexRange{std::min(range->first, first), std::max(range->last, last)}
                      : IntelHexRange{first, last};
      }
      return {};
    case kExtendedSegmentAddress:
    case kExtendedLinearAddress: {
      // Without its two bytes the record cannot place what follows: loading on would put the
      // data at the wrong addresses.
      if (n != 2) return {IntelHexCode::BadByteCount};
      const uint64_t base = data[0] * 256U + data[1];
      state.upperAddress = *type == kExtendedLinearAddress ? base << 16 : base << 4;
      return {};
    }
    case kStartSegmentAddress:
    case kStartLinearAddress:
      return {};  // where a processor would start: nothing for a memory image
    default:
      return {IntelHexCode::Ok, true};  // the end-of-file record, or a type this reader ignores
  }
}

template <typename Source>
IntelHexResult ReadRecords(Source& source, std::span<uint8_t> destination, uint32_t limit) {
  const auto usable =
      static_cast<uint32_t>(std::min<uint64_t>({limit, destination.size(), uint64_t{1} << 31}));
  ReadState state;
  LineReader<Source> lines(source);
  std::string_view line;
  while (lines.Next(line)) {
    const LineVerdict verdict = ExamineLine(line, destination, usable, state);
    state.result.code = verdict.code;
    if (verdict.code != IntelHexCode::Ok || verdict.endsReading) break;
  }
  return state.result;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string_view IntelHexMessage(IntelHexCode code) {
  switch (code) {
    case IntelHexCode::Ok:
      return "";
    case IntelHexCode::NoRecordMark:
      return "Erreur : le fichier n'est pas au format HEXA de chez Intel !";
    case IntelHexCode::BadByteCount:
      return "Erreur : nombre d'octets de l'échantillon inconnu !";
    case IntelHexCode::TooManyBytes:
      return "Erreur : trop de données sur une même ligne (maxi : 32o) !";
    case IntelHexCode::BadAddress:
      return "Erreur : adresse de l'échantillon incorrecte !";
    case IntelHexCode::BeyondLimit:
      return "Erreur : le nombre de données dépasse la capacité du Buffer !";
    case IntelHexCode::NoChecksum:
      return "Erreur : absence de la somme de controle !";
    case IntelHexCode::BadData:
      return "Erreur : certaines données sont invalides (non HEXA) !";
    case IntelHexCode::BadChecksum:
      return "Erreur : mauvaise valeur de la somme de contrôle !";
  }
  return "";
}

IntelHexResult ReadIntelHexText(std::string_view text, std::span<uint8_t> destination,
                                uint32_t limit) {
  TextSource source(text);
  return ReadRecords(source, destination, limit);
}

IntelHexResult ReadIntelHex(const std::filesystem::path& file, std::span<uint8_t> destination,
                            uint32_t limit) {
  std::error_code error;
  IntelHexResult refused;
  // A folder opens for reading on some systems but holds no text.
  if (std::filesystem::is_directory(file, error)) {
    refused.file = {FileProblem::Folder, EISDIR};
    return refused;
  }
  errno = 0;
  const std::unique_ptr<std::FILE, FileCloser> handle(OpenFile(file, "rb"));
  if (!handle) {
    refused.file = FileErrorFromErrno(errno);
    return refused;
  }
  FileSource source(handle.get());
  return ReadRecords(source, destination, limit);
}

}  // namespace keldar
