// The group whose members may open a device node, for the advice a refused opening gives.
#pragma once

#include <string>

namespace keldar {

// The name of the node's group; fallback when it cannot be read.
[[nodiscard]] std::string OwningGroup(const std::string& path, const std::string& fallback);

}  // namespace keldar
