#include "cli/user_settings.h"

#include "settings/settings_store.h"

namespace keldar::cli {

std::unique_ptr<SettingsReader> OpenUserSettings() {
  return std::make_unique<SettingsStore>();
}

}  // namespace keldar::cli
