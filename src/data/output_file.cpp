#include "data/output_file.h"

#include <cstdio>

#include "data/file_system.h"

namespace keldar {
namespace {

class StdioFile final : public OutputFile {
 public:
  explicit StdioFile(std::FILE* file) : file_(file) {}
  ~StdioFile() override {
    if (file_ != nullptr) std::fclose(file_);
  }
  StdioFile(const StdioFile&) = delete;
  StdioFile& operator=(const StdioFile&) = delete;

  bool Write(std::string_view bytes) override {
    if (file_ == nullptr) return false;
    return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
  }

  bool Close() override {
    if (file_ == nullptr) return false;
    const bool flushed = std::fflush(file_) == 0 && std::ferror(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return flushed && closed;
  }

 private:
  std::FILE* file_;
};

}  // namespace

std::unique_ptr<OutputFile> OpenStdioFile(const std::filesystem::path& path, OpenMode mode) {
  std::FILE* file = mode == OpenMode::CreateNew ? CreateNewFile(path) : OpenFile(path, "wb");
  if (file == nullptr) return nullptr;
  return std::make_unique<StdioFile>(file);
}

}  // namespace keldar
