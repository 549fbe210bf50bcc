#include "hw/lock_holder.h"

#include <fstream>

#include "hw/uucp_lock.h"

namespace keldar {

std::optional<LockHolder> FindLockHolder(const std::string& devicePath, const SystemPaths& paths) {
  const pid_t pid = UucpLock::LiveHolder(paths.lockDirs, UucpLock::FileName(devicePath));
  if (pid == 0) return std::nullopt;
  return LockHolder{pid, ProgramName(pid, paths)};
}

std::string ProgramName(int pid, const SystemPaths& paths) {
  std::ifstream comm(paths.proc + "/" + std::to_string(pid) + "/comm");
  std::string name;
  if (!std::getline(comm, name)) return "";
  // Any process may name itself: what reaches a terminal must not drive it.
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return name;
}

}  // namespace keldar
