#include "cli/user_settings.h"

#include "settings/registry_store.h"

namespace keldar::cli {

std::unique_ptr<SettingsReader> OpenUserSettings() {
  return std::make_unique<RegistryStore>();
}

}  // namespace keldar::cli
