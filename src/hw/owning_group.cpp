#include "hw/owning_group.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

namespace keldar {

std::string OwningGroup(const std::string& path, const std::string& fallback) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return fallback;
  group entry{};
  group* found = nullptr;
  std::vector<char> scratch(1024);
  int result = 0;
  while ((result = ::getgrgid_r(info.st_gid, &entry, scratch.data(), scratch.size(), &found)) ==
             ERANGE &&
         scratch.size() < (1U << 20)) {
    scratch.resize(scratch.size() * 2);
  }
  return result == 0 && found != nullptr ? found->gr_name : fallback;
}

}  // namespace keldar
