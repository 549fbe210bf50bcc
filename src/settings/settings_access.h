// What the settings table needs from a per-user store, whatever keeps it: QSettings
// (settings_store.h) for the window, the Windows registry (registry_store.h) for keldar-cli built
// without Qt. Both keep the same key, value names and types. A name "Group/Name" is the value
// Name of the group (registry subkey) Group.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace keldar {

// The key: Software\ZEMBRAX\KELDAR under the current user.
inline constexpr char kOrganisation[] = "ZEMBRAX";
inline constexpr char kApplication[] = "KELDAR";

class SettingsReader {
 public:
  virtual ~SettingsReader() = default;
  // True when the key holds anything at all: a first start (or the start after a purge) has
  // nothing.
  [[nodiscard]] virtual bool Exists() const = 0;
  // A value of another type (text where an integer is expected) reads as absent.
  [[nodiscard]] virtual std::optional<int> ReadInteger(std::string_view name) const = 0;
  // UTF-8.
  [[nodiscard]] virtual std::optional<std::string> ReadString(std::string_view name) const = 0;
};

class SettingsWriter {
 public:
  virtual ~SettingsWriter() = default;
  virtual void WriteInteger(std::string_view name, int value) = 0;
  virtual void WriteString(std::string_view name, std::string_view value) = 0;
  // Writes everything through to permanent storage.
  virtual void Sync() = 0;
};

}  // namespace keldar
