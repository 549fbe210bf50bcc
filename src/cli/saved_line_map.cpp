#include "cli/saved_line_map.h"

#include <climits>

#include "settings/settings_table.h"

namespace keldar::cli {

LineMap SavedLineMap() {
  LineMap map;
  SettingsStore store;
  // The window position is not ours to check: any screen will do.
  LoadSettings(store, ScreenSize{INT_MAX / 2, INT_MAX / 2},
               [&map](SettingId id, const QVariant& value) {
                 switch (id) {
                   case SettingId::ConfigurationSorties:
                     map.outputArrangement = value.toInt();
                     break;
                   case SettingId::ConfigurationEntree:
                     map.sdaInput = value.toInt();
                     break;
                   case SettingId::ComplementerValimOut:
                     map.complementValim = value.toBool();
                     break;
                   case SettingId::ComplementerSclOut:
                     map.complementScl = value.toBool();
                     break;
                   case SettingId::ComplementerSdaOut:
                     map.complementSdaOut = value.toBool();
                     break;
                   case SettingId::ComplementerSdaIn:
                     map.complementSdaIn = value.toBool();
                     break;
                   case SettingId::TempsAcces:
                     map.accessTime = value.toInt();
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
