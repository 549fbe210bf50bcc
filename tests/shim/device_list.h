// The shim's device list: "PATH=SPEC;PATH=SPEC..." as KELDAR_SHIM_DEVICES gives it, where SPEC is
// a simulated reader's device string ("sim:24C16,image=/tmp/x.bin").
#pragma once

#include <optional>
#include <string_view>

namespace keldar::shim {

// The spec of path in list, or nothing. Allocates nothing: every open() of the process asks.
[[nodiscard]] std::optional<std::string_view> FindDeviceSpec(std::string_view list,
                                                             std::string_view path);

}  // namespace keldar::shim
