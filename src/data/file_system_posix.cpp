#include "data/file_system.h"

#include <string>

namespace keldar {

std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::string(text);  // the bytes as they are: Linux names need not be UTF-8
}

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

std::FILE* CreateNewFile(const std::filesystem::path& path) {
  return std::fopen(path.c_str(), "wbx");  // C11's exclusive creation
}

bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace keldar
