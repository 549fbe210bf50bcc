// Where this machine keeps its serial devices, their sysfs entries, the UUCP lock folders and its
// processes. The defaults are the real ones; tests point them at fixture trees and temporary
// folders through KELDAR_DEV_ROOT, KELDAR_SYSFS_ROOT, KELDAR_LOCK_DIRS (folders separated by
// ':') and KELDAR_PROC_ROOT, and keep them off USB with KELDAR_NO_USB.
#pragma once

#include <string>
#include <vector>

namespace keldar {

struct SystemPaths {
  std::string dev = "/dev";
  std::string sysfs = "/sys";
  std::string proc = "/proc";
  // /var/lock is a link to /run/lock on current distributions; a folder met twice counts once.
  std::vector<std::string> lockDirs{"/run/lock", "/var/lock"};
  // False when KELDAR_NO_USB is set (the tests): no USB device is ever opened.
  bool usb = true;

  [[nodiscard]] static SystemPaths FromEnvironment();
};

}  // namespace keldar
