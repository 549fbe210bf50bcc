// The per-user settings store of the window: QSettings("ZEMBRAX", "KELDAR") in the native format
// (the registry key Software\ZEMBRAX\KELDAR on Windows, a per-user file elsewhere). Tests point
// QSettings at a temporary folder before constructing one.
#pragma once

#include <QSettings>

#include "settings/settings_access.h"

namespace keldar {

class SettingsStore final : public SettingsReader, public SettingsWriter {
 public:
  SettingsStore();

  [[nodiscard]] bool Exists() const override;
  [[nodiscard]] std::optional<int> ReadInteger(std::string_view name) const override;
  [[nodiscard]] std::optional<std::string> ReadString(std::string_view name) const override;

  // Booleans are written as the integers 0 and 1 by the table.
  void WriteInteger(std::string_view name, int value) override;
  void WriteString(std::string_view name, std::string_view value) override;
  void Sync() override;

  // Removes every value of the key, the Ports group included.
  void Purge();

 private:
  QSettings settings_;
};

}  // namespace keldar
