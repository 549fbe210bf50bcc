// A file being written, as a save sees it. Every write and the final flush report whether the
// bytes reached the file system, so that a full disk is noticed before the old file is replaced;
// a failed call leaves its errno.
// Tests put a file that fails on demand in its place.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

namespace keldar {

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  [[nodiscard]] virtual bool Write(std::string_view bytes) = 0;
  // Flushes and closes; false when anything written was lost. Called at most once.
  [[nodiscard]] virtual bool Close() = 0;
};

// Opens a file for writing, or gives nullptr when it cannot be had, errno saying why.
using OutputFileOpener =
    std::function<std::unique_ptr<OutputFile>(const std::filesystem::path& path)>;

enum class OpenMode {
  CreateNew,  // fails when the path already exists
  Truncate,   // creates the file or empties an existing one
};

// A C stdio file. The library's buffering hides write errors until the flush, which Close checks.
[[nodiscard]] std::unique_ptr<OutputFile> OpenStdioFile(const std::filesystem::path& path,
                                                        OpenMode mode);

}  // namespace keldar
