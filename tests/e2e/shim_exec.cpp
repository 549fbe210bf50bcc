#include "shim_exec.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace keldar::e2e {

void RunUnderShim(char** argv) {
  if (std::getenv("KELDAR_SHIM_CHILD") != nullptr) return;
  ::setenv("KELDAR_SHIM_CHILD", "1", 1);
  ::setenv("LD_PRELOAD", KELDAR_SHIM_LIBRARY, 1);
  // The binary may be instrumented while the preloaded shim is not: the sanitizer runtime then
  // no longer comes first in the library order, which is harmless here.
  std::string asan = "verify_asan_link_order=0";
  if (const char* options = std::getenv("ASAN_OPTIONS")) asan = std::string(options) + ":" + asan;
  ::setenv("ASAN_OPTIONS", asan.c_str(), 1);
  // The port names lead nowhere unless a test maps them to shim devices.
  for (int port = 1; port <= 4; ++port) {
    const std::string name = "KELDAR_COM" + std::to_string(port);
    ::setenv(name.c_str(), ("/nonexistent/keldar-" + name).c_str(), 1);
  }
  // Nor do the device listing and sysfs, and no UUCP lock folder is used unless a test names one.
  ::setenv("KELDAR_DEV_ROOT", "/nonexistent/keldar-dev", 1);
  ::setenv("KELDAR_SYSFS_ROOT", "/nonexistent/keldar-sysfs", 1);
  ::setenv("KELDAR_LOCK_DIRS", "", 1);
  ::execv("/proc/self/exe", argv);
  std::perror("execv");
  std::exit(127);
}

}  // namespace keldar::e2e
