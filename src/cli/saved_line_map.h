// The reader's line map as the window saved it in the per-user settings.
#pragma once

#include "hw/linemap.h"
#include "settings/settings_access.h"

namespace keldar::cli {

// The standard reader when nothing was saved; saved values out of range read as 0, as in the
// window. The codes and the input mask are derived from the saved indices.
[[nodiscard]] LineMap SavedLineMap(const SettingsReader& store);

}  // namespace keldar::cli
