#include "settings/settings_table.h"

namespace keldar {

std::optional<int> CheckRange(const SettingDef& def, int value, ScreenSize screen) {
  int maximum = def.maximum;
  if (def.maximumBound == RangeBound::ScreenWidthLess40) maximum = screen.width - 40;
  if (def.maximumBound == RangeBound::ScreenHeightLess40) maximum = screen.height - 40;
  if (value >= def.minimum && value <= maximum) return value;
  switch (def.outOfRange) {
    case OutOfRange::Ignore:
      return std::nullopt;
    case OutOfRange::Limit:
      return value < def.minimum ? def.replacement : maximum;
    case OutOfRange::Replace:
    case OutOfRange::None:
      break;
  }
  return def.replacement;
}

void LoadSettings(SettingsStore& store, ScreenSize screen, const ApplySetting& apply) {
  if (!store.Exists()) return;
  for (const SettingDef& def : kSettings) {
    const QString name = QString::fromLatin1(def.name);
    switch (def.kind) {
      case SettingKind::Integer:
        if (const std::optional<int> value = store.ReadInteger(name)) {
          if (const std::optional<int> checked = CheckRange(def, *value, screen)) {
            apply(def.id, QVariant(*checked));
          }
        }
        break;
      case SettingKind::Boolean:
        if (const std::optional<bool> value = store.ReadBoolean(name)) apply(def.id, *value);
        break;
      case SettingKind::String:
        if (const std::optional<QString> value = store.ReadString(name)) apply(def.id, *value);
        break;
    }
  }
}

void SaveSettings(SettingsStore& store, const SourceSetting& source) {
  for (const SettingDef& def : kSettings) {
    const QString name = QString::fromLatin1(def.name);
    const QVariant value = source(def.id);
    switch (def.kind) {
      case SettingKind::Integer:
        store.WriteInteger(name, value.toInt());
        break;
      case SettingKind::Boolean:
        store.WriteBoolean(name, value.toBool());
        break;
      case SettingKind::String:
        store.WriteString(name, value.toString());
        break;
    }
  }
  store.Sync();
}

}  // namespace keldar
