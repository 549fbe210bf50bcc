// The per-user store where the window keeps its settings, as keldar-cli reads it: through
// QSettings where Qt is built (user_settings_qt.cpp), straight from the registry on Windows
// (user_settings_win32.cpp), the same key and values either way.
#pragma once

#include <memory>

#include "settings/settings_access.h"

namespace keldar::cli {

[[nodiscard]] std::unique_ptr<SettingsReader> OpenUserSettings();

}  // namespace keldar::cli
