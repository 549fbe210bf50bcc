#include "hw/uucp_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

namespace keldar {
namespace {

// Each folder once, in order, however many names lead to it; folders that do not exist are left
// out.
std::vector<std::string> DistinctFolders(const std::vector<std::string>& folders) {
  std::vector<std::string> distinct;
  std::vector<std::pair<dev_t, ino_t>> seen;
  for (const std::string& folder : folders) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) continue;
    const std::pair identity{info.st_dev, info.st_ino};
    if (std::find(seen.begin(), seen.end(), identity) != seen.end()) continue;
    seen.push_back(identity);
    distinct.push_back(folder);
  }
  return distinct;
}

// The process number a lock file holds, or 0 when the file is missing or does not start with a
// number (old binary locks included: they are treated as stale). What follows the number is
// free: minicom adds its name and the user's.
pid_t ReadLock(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return 0;
  std::array<char, 32> text{};
  const ssize_t size = ::read(fd, text.data(), text.size() - 1);
  ::close(fd);
  if (size <= 0) return 0;
  size_t at = 0;
  const auto length = static_cast<size_t>(size);
  while (at < length && text[at] == ' ')
    ++at;
  long long pid = 0;
  size_t digits = 0;
  for (; at < length && text[at] >= '0' && text[at] <= '9' && digits < 12; ++at, ++digits)
    pid = pid * 10 + (text[at] - '0');
  const bool ended = at == length || text[at] == ' ' || text[at] == '\n' || text[at] == '\t';
  if (digits == 0 || !ended || pid <= 0 || pid > 0x7FFFFFFF) return 0;
  return static_cast<pid_t>(pid);
}

// EPERM: the process exists but belongs to someone else.
bool Alive(pid_t pid) {
  return pid == ::getpid() || ::kill(pid, 0) == 0 || errno == EPERM;
}

// Creates the lock exclusively. EEXIST is reported to the caller; any other failure means the
// folder does not let us write.
int CreateLock(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return errno == EEXIST ? EEXIST : EACCES;
  std::array<char, 16> text{};
  const int length =
      std::snprintf(text.data(), text.size(), "%10d\n", static_cast<int>(::getpid()));
  const bool written = ::write(fd, text.data(), static_cast<size_t>(length)) == length;
  if (::close(fd) != 0 || !written) {
    ::unlink(path.c_str());
    return EACCES;
  }
  return 0;
}

}  // namespace

std::string UucpLock::FileName(const std::string& devicePath) {
  std::error_code error;
  std::filesystem::path resolved = std::filesystem::canonical(devicePath, error);
  if (error) resolved = devicePath;
  return "LCK.." + resolved.filename().string();
}

pid_t UucpLock::LiveHolder(const std::vector<std::string>& folders, const std::string& fileName) {
  for (const std::string& folder : DistinctFolders(folders)) {
    const pid_t pid = ReadLock(folder + "/" + fileName);
    if (pid != 0 && Alive(pid)) return pid;
  }
  return 0;
}

bool UucpLock::Acquire(const std::vector<std::string>& folders, const std::string& fileName,
                       pid_t& holder) {
  holder = 0;
  for (const std::string& folder : DistinctFolders(folders)) {
    const std::string path = folder + "/" + fileName;
    // A second try after removing a stale lock; another program may take it in between.
    for (int attempt = 0; attempt < 2; ++attempt) {
      const int result = CreateLock(path);
      if (result == 0) written_.push_back(path);
      if (result != EEXIST) break;
      const pid_t pid = ReadLock(path);
      if (pid != 0 && Alive(pid)) {
        holder = pid;
        Release();
        return false;
      }
      // Stale: replaced, unless the folder does not let us remove it.
      if (::unlink(path.c_str()) != 0) break;
    }
  }
  return true;
}

void UucpLock::Release() {
  for (const std::string& path : written_)
    ::unlink(path.c_str());
  written_.clear();
}

}  // namespace keldar
