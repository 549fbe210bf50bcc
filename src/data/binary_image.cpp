#include "data/binary_image.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string_view>
#include <system_error>

#include "data/file_system.h"

namespace keldar {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

BinaryLoad LoadBinaryImage(const std::filesystem::path& file, Buffer& buffer) {
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) return {0, {FileProblem::Folder, EISDIR}};
  errno = 0;
  const std::unique_ptr<std::FILE, FileCloser> handle(OpenFile(file, "rb"));
  if (!handle) return {0, FileErrorFromErrno(errno)};
  // The file goes to a scratch area first so that a failed read leaves no half image behind.
  const auto scratch = std::make_unique<Buffer>();
  errno = 0;
  const size_t count = std::fread(scratch->data(), 1, scratch->size(), handle.get());
  if (std::ferror(handle.get()) != 0) return {0, FileErrorFromErrno(errno)};
  std::copy_n(scratch->begin(), count, buffer.begin());
  return {static_cast<uint32_t>(count), {}};
}

SaveOutcome SaveBinaryImage(const std::filesystem::path& file, const Buffer& buffer,
                            uint32_t capacity, const OutputFileOpener& open) {
  const std::string_view window(reinterpret_cast<const char*>(buffer.data()),
                                std::min(capacity, kBufferBytes));
  return ReplaceFile(
      file, [window](OutputFile& out) { return out.Write(window); }, open);
}

}  // namespace keldar
