// The shim's device list: "PATH=SPEC;PATH=SPEC..." as KELDAR_SHIM_DEVICES gives it, where SPEC is
// a simulated reader's device string ("sim:24C16,image=/tmp/x.bin") or "phantom", with the
// shim's own keys among its fields: errno=NAME fails every opening with that error (ENOSPC: a
// file that opens and fills up at once), group=GID makes stat answer for the device. A PATH
// that ends with "/" stands for every path under that folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace keldar::shim {

// The spec of path in list, or nothing. Allocates nothing: every open() of the process asks.
[[nodiscard]] std::optional<std::string_view> FindDeviceSpec(std::string_view list,
                                                             std::string_view path);

struct DeviceSpec {
  std::string reader;  // the device string without the shim's keys
  int openErrno = 0;
  int group = -1;  // none
};

[[nodiscard]] DeviceSpec SplitDeviceSpec(std::string_view spec);

}  // namespace keldar::shim
