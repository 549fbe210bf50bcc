// Reading sysfs and /dev without opening a device: links followed, folders listed, and the first
// line of small attribute files. Every failure reads as "nothing there".
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace keldar::sysfs {

namespace fs = std::filesystem;

inline fs::path Resolved(const fs::path& path) {
  std::error_code error;
  fs::path resolved = fs::canonical(path, error);
  return error ? fs::path() : resolved;
}

inline std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

inline bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(path, error);
}

// The entries of a folder; none when it cannot be read.
inline std::vector<fs::path> Entries(const fs::path& folder) {
  std::vector<fs::path> entries;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    entries.push_back(it->path());
  return entries;
}

// The name of what a link leads to (a driver's name from a "driver" link); "" without a link.
inline std::string LinkName(const fs::path& link) {
  return Resolved(link).filename().string();
}

}  // namespace keldar::sysfs
