// One test's view of the syscall shim: a temporary folder, the shim's device list, and the
// counters and call trace the shim writes there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace keldar::e2e {

class ShimSession {
 public:
  // devices: "PATH=SPEC;..." where SPEC may use the placeholder {dir} for the session's folder.
  explicit ShimSession(const std::string& devices);
  ~ShimSession();
  ShimSession(const ShimSession&) = delete;
  ShimSession& operator=(const ShimSession&) = delete;

  // False when this process does not run under the shim: the test must not go on.
  [[nodiscard]] static bool ShimLoaded();

  const std::string& dir() const { return dir_; }
  // UUCP lock files go to {dir}/locks for the rest of the session (none otherwise).
  [[nodiscard]] std::string UseLockFolder() const;
  // A shim counter since the session began (the shim writes them at every close and at exit).
  [[nodiscard]] uint64_t Count(const std::string& name) const;
  // The shim's trace lines since the session began.
  [[nodiscard]] std::vector<std::string> Trace() const;
  [[nodiscard]] std::vector<uint8_t> ReadFile(const std::string& name) const;

 private:
  std::string dir_;
};

}  // namespace keldar::e2e
