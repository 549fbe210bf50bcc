// UUCP lock files: how minicom, picocom, cu and their kin say a serial port is theirs. A file
// LCK..<device name> in the lock folder holds the owner's process number as ten ASCII characters
// and a newline. Neither TIOCEXCL nor flock sees these programs, so the lock is honoured by hand.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace keldar {

class UucpLock {
 public:
  UucpLock() = default;
  ~UucpLock() { Release(); }
  UucpLock(UucpLock&& other) noexcept : written_(std::move(other.written_)) {
    other.written_.clear();
  }
  UucpLock& operator=(UucpLock&&) = delete;
  UucpLock(const UucpLock&) = delete;
  UucpLock& operator=(const UucpLock&) = delete;

  // "LCK..ttyUSB0" for /dev/serial/by-id/usb-...: the device's own name, links resolved.
  [[nodiscard]] static std::string FileName(const std::string& devicePath);

  // The process that holds a live lock on the device in one of the folders, or 0. A lock whose
  // process is gone or whose content cannot be read is stale and does not count; a lock of this
  // very process counts (the port is already open here).
  [[nodiscard]] static pid_t LiveHolder(const std::vector<std::string>& folders,
                                        const std::string& fileName);

  // Writes this process's lock in every folder that lets it, replacing stale locks; a folder
  // that does not (missing, read-only, no permission) is passed over silently. False, with the
  // holder, when a live lock appeared in the meantime: nothing is then left written.
  [[nodiscard]] bool Acquire(const std::vector<std::string>& folders, const std::string& fileName,
                             pid_t& holder);

  // Removes the lock files this object wrote.
  void Release();

 private:
  std::vector<std::string> written_;
};

}  // namespace keldar
