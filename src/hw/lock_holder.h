// Who holds a serial device through a UUCP lock file: the process and its program's name, as a
// refused opening reports it and as a list of ports can show it.
#pragma once

#include <optional>
#include <string>

#include "hw/system_paths.h"

namespace keldar {

struct LockHolder {
  int pid = 0;
  std::string program;  // "" when it cannot be read
};

// The holder of a live lock on the device in the lock folders, or nothing. Opens no device.
[[nodiscard]] std::optional<LockHolder> FindLockHolder(const std::string& devicePath,
                                                       const SystemPaths& paths);

// The name the kernel keeps for the process (<proc>/PID/comm, at most 15 characters), with
// anything unprintable replaced; "" when the process is unknown there.
[[nodiscard]] std::string ProgramName(int pid, const SystemPaths& paths);

}  // namespace keldar
