#include "settings/settings_store.h"

namespace keldar {

SettingsStore::SettingsStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication) {}

bool SettingsStore::Exists() const {
  return !settings_.allKeys().isEmpty();
}

std::optional<int> SettingsStore::ReadInteger(const QString& name) const {
  const QVariant value = settings_.value(name);
  if (!value.isValid()) return std::nullopt;
  // The registry gives a DWORD, a settings file gives text: both must hold a whole number.
  if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::UInt ||
      value.typeId() == QMetaType::LongLong) {
    return value.toInt();
  }
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  bool ok = false;
  const int number = value.toString().trimmed().toInt(&ok);
  return ok ? std::optional<int>(number) : std::nullopt;
}

std::optional<bool> SettingsStore::ReadBoolean(const QString& name) const {
  const std::optional<int> number = ReadInteger(name);
  if (!number) return std::nullopt;
  return *number != 0;
}

std::optional<QString> SettingsStore::ReadString(const QString& name) const {
  const QVariant value = settings_.value(name);
  if (!value.isValid() || value.typeId() != QMetaType::QString) return std::nullopt;
  return value.toString();
}

void SettingsStore::WriteInteger(const QString& name, int value) {
  settings_.setValue(name, value);
}

void SettingsStore::WriteBoolean(const QString& name, bool value) {
  settings_.setValue(name, value ? 1 : 0);
}

void SettingsStore::WriteString(const QString& name, const QString& value) {
  settings_.setValue(name, value);
}

void SettingsStore::Sync() {
  settings_.sync();
}

void SettingsStore::Purge() {
  settings_.clear();
  settings_.sync();
}

}  // namespace keldar
