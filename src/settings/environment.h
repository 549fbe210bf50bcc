// An environment variable as UTF-8 text (environment_posix.cpp, environment_win32.cpp): Windows
// hands the narrow environment over in the ANSI code page, which cannot hold every file name.
#pragma once

#include <optional>
#include <string>

namespace keldar {

// Nothing when the variable is not set.
[[nodiscard]] std::optional<std::string> EnvironmentText(const std::string& name);

}  // namespace keldar
