#include "settings/settings_table.h"

namespace keldar {
namespace {

template <typename T>
T Get(const SettingValue& value) {
  const T* held = std::get_if<T>(&value);
  return held != nullptr ? *held : T{};
}

}  // namespace

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

void LoadSettings(const SettingsReader& store, ScreenSize screen, const ApplySetting& apply) {
  if (!store.Exists()) return;
  for (const SettingDef& def : kSettings) {
    switch (def.kind) {
      case SettingKind::Integer:
        if (const std::optional<int> value = store.ReadInteger(def.name)) {
          if (const std::optional<int> checked = CheckRange(def, *value, screen)) {
            apply(def.id, *checked);
          }
        }
        break;
      case SettingKind::Boolean:
        if (const std::optional<int> value = store.ReadInteger(def.name))
          apply(def.id, *value != 0);
        break;
      case SettingKind::String:
        if (std::optional<std::string> value = store.ReadString(def.name)) {
          apply(def.id, std::move(*value));
        }
        break;
    }
  }
}

void SaveSettings(SettingsWriter& store, const SourceSetting& source) {
  for (const SettingDef& def : kSettings) {
    const SettingValue value = source(def.id);
    switch (def.kind) {
      case SettingKind::Integer:
        store.WriteInteger(def.name, Get<int>(value));
        break;
      case SettingKind::Boolean:
        store.WriteInteger(def.name, Get<bool>(value) ? 1 : 0);
        break;
      case SettingKind::String:
        store.WriteString(def.name, Get<std::string>(value));
        break;
    }
  }
  store.Sync();
}

}  // namespace keldar
