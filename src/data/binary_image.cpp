#include "data/binary_image.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string_view>
#include <system_error>
#include <vector>

#include "data/file_system.h"

namespace keldar {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads at most `most` bytes of the file from its start into a scratch area, so that a failed
// read leaves no half image behind.
BinaryLoad ReadStart(const std::filesystem::path& file, std::vector<uint8_t>& scratch,
                     size_t most) {
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) return {0, {FileProblem::Folder, EISDIR}};
  errno = 0;
  const std::unique_ptr<std::FILE, FileCloser> handle(OpenFile(file, "rb"));
  if (!handle) return {0, FileErrorFromErrno(errno)};
  scratch.resize(most);
  errno = 0;
  const size_t count = std::fread(scratch.data(), 1, most, handle.get());
  if (std::ferror(handle.get()) != 0) return {0, FileErrorFromErrno(errno)};
  return {static_cast<uint32_t>(count), {}};
}

}  // namespace

BinaryLoad LoadBinaryImage(const std::filesystem::path& file, Buffer& buffer) {
  std::vector<uint8_t> scratch;
  const BinaryLoad load = ReadStart(file, scratch, buffer.size());
  std::copy_n(scratch.begin(), load.count, buffer.begin());
  return load;
}

BinaryLoad LoadBinaryRange(const std::filesystem::path& file, Buffer& buffer, uint32_t first,
                           uint32_t count) {
  std::vector<uint8_t> scratch;
  const BinaryLoad load = ReadStart(file, scratch, size_t{count} + 1);
  if (load.count == count) std::copy_n(scratch.begin(), count, buffer.begin() + first);
  return load;
}

SaveOutcome SaveBinaryImage(const std::filesystem::path& file, const Buffer& buffer,
                            uint32_t capacity, const OutputFileOpener& open) {
  return SaveBinaryRange(file, buffer, 0, std::min(capacity, kBufferBytes), open);
}

SaveOutcome SaveBinaryRange(const std::filesystem::path& file, const Buffer& buffer, uint32_t first,
                            uint32_t count, const OutputFileOpener& open) {
  const std::string_view window(reinterpret_cast<const char*>(buffer.data() + first), count);
  return ReplaceFile(
      file, [window](OutputFile& out) { return out.Write(window); }, open);
}

}  // namespace keldar
