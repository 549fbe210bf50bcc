#include "settings/settings_store.h"

namespace keldar {
namespace {

QString Key(std::string_view name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

SettingsStore::SettingsStore()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication) {}

bool SettingsStore::Exists() const {
  return !settings_.allKeys().isEmpty();
}

std::optional<int> SettingsStore::ReadInteger(std::string_view name) const {
  const QVariant value = settings_.value(Key(name));
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

std::optional<std::string> SettingsStore::ReadString(std::string_view name) const {
  const QVariant value = settings_.value(Key(name));
  if (!value.isValid() || value.typeId() != QMetaType::QString) return std::nullopt;
  return value.toString().toStdString();
}

void SettingsStore::WriteInteger(std::string_view name, int value) {
  settings_.setValue(Key(name), value);
}

void SettingsStore::WriteString(std::string_view name, std::string_view value) {
  settings_.setValue(Key(name), Key(value));
}

void SettingsStore::Sync() {
  settings_.sync();
}

void SettingsStore::Purge() {
  settings_.clear();
  settings_.sync();
}

}  // namespace keldar
