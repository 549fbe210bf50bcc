#include "cli/saved_line_map.h"

#include <climits>

#include "settings/settings_table.h"

namespace keldar::cli {

LineMap SavedLineMap(const SettingsReader& store) {
  LineMap map;
  // The window position is not ours to check: any screen will do.
  LoadSettings(store, ScreenSize{INT_MAX / 2, INT_MAX / 2},
               [&map](SettingId id, const SettingValue& value) {
                 switch (id) {
                   case SettingId::ConfigurationSorties:
                     map.outputArrangement = std::get<int>(value);
                     break;
                   case SettingId::ConfigurationEntree:
                     map.sdaInput = std::get<int>(value);
                     break;
                   case SettingId::ComplementerValimOut:
                     map.complementValim = std::get<bool>(value);
                     break;
                   case SettingId::ComplementerSclOut:
                     map.complementScl = std::get<bool>(value);
                     break;
                   case SettingId::ComplementerSdaOut:
                     map.complementSdaOut = std::get<bool>(value);
                     break;
                   case SettingId::ComplementerSdaIn:
                     map.complementSdaIn = std::get<bool>(value);
                     break;
                   case SettingId::TempsAcces:
                     map.accessTime = std::get<int>(value);
                     break;
                   default:
                     break;
                 }
               });
  map.SetSdaInput(map.sdaInput);
  map.SetOutputArrangement(map.outputArrangement);
  return map;
}

}  // namespace keldar::cli
