#include "hw/system_paths.h"

#include <cstdlib>
#include <string_view>

#include "hw/text_fields.h"

namespace keldar {

SystemPaths SystemPaths::FromEnvironment() {
  SystemPaths paths;
  if (const char* dev = std::getenv("KELDAR_DEV_ROOT"); dev != nullptr && *dev != '\0') {
    paths.dev = dev;
  }
  if (const char* sysfs = std::getenv("KELDAR_SYSFS_ROOT"); sysfs != nullptr && *sysfs != '\0') {
    paths.sysfs = sysfs;
  }
  if (const char* proc = std::getenv("KELDAR_PROC_ROOT"); proc != nullptr && *proc != '\0') {
    paths.proc = proc;
  }
  if (const char* locks = std::getenv("KELDAR_LOCK_DIRS"); locks != nullptr) {
    paths.lockDirs.clear();
    for (const std::string_view dir : SplitFields(locks, ':')) {
      if (!dir.empty()) paths.lockDirs.emplace_back(dir);
    }
  }
  if (const char* off = std::getenv("KELDAR_NO_USB"); off != nullptr && *off != '\0') {
    paths.usb = false;
  }
  return paths;
}

}  // namespace keldar
