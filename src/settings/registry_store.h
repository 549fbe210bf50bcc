// The per-user settings in the Windows registry, read through the registry API by keldar-cli
// built without Qt: the key the window's QSettings writes, integers and booleans as DWORDs, text
// as REG_SZ (Windows builds only).
#pragma once

#include <string>

#include "settings/settings_access.h"

namespace keldar {

class RegistryStore final : public SettingsReader {
 public:
  // A key under HKEY_CURRENT_USER: Software\ZEMBRAX\KELDAR unless a test gives its own.
  RegistryStore();
  explicit RegistryStore(std::wstring key);

  // The key can be opened.
  [[nodiscard]] bool Exists() const override;
  // A REG_DWORD, as the signed 32-bit integer QSettings wrote.
  [[nodiscard]] std::optional<int> ReadInteger(std::string_view name) const override;
  // A REG_SZ.
  [[nodiscard]] std::optional<std::string> ReadString(std::string_view name) const override;

 private:
  std::wstring key_;
};

}  // namespace keldar
