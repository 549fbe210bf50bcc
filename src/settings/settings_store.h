// The per-user settings store: QSettings("ZEMBRAX", "KELDAR") in the native format (the
// registry key Software\ZEMBRAX\KELDAR on Windows, a per-user file elsewhere). Tests point
// QSettings at a temporary folder before constructing one.
#pragma once

#include <QSettings>
#include <QString>

#include <optional>

namespace keldar {

inline constexpr char kOrganisation[] = "ZEMBRAX";
inline constexpr char kApplication[] = "KELDAR";

class SettingsStore {
 public:
  SettingsStore();

  // True when anything at all was stored: a first start (or the start after a purge) has none.
  [[nodiscard]] bool Exists() const;

  // A value of another type (text where an integer is expected) reads as absent.
  [[nodiscard]] std::optional<int> ReadInteger(const QString& name) const;
  // Stored as an integer: any value but 0 is true.
  [[nodiscard]] std::optional<bool> ReadBoolean(const QString& name) const;
  [[nodiscard]] std::optional<QString> ReadString(const QString& name) const;

  void WriteInteger(const QString& name, int value);
  void WriteBoolean(const QString& name, bool value);  // as the integer 0 or 1
  void WriteString(const QString& name, const QString& value);

  // Writes everything through to permanent storage.
  void Sync();
  // Removes every value of the key, the Ports group included.
  void Purge();

 private:
  QSettings settings_;
};

}  // namespace keldar
