#include "settings/registry_store.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <utility>

#include "platform/utf16.h"

namespace keldar {
namespace {

struct ValuePath {
  std::wstring key;
  std::wstring value;
};

// "Ports/COM1": the value COM1 of the subkey Ports.
ValuePath Locate(const std::wstring& key, std::string_view name) {
  const size_t slash = name.rfind('/');
  if (slash == std::string_view::npos) return {key, WideFromUtf8(name)};
  return {key + L"\\" + WideFromUtf8(name.substr(0, slash)), WideFromUtf8(name.substr(slash + 1))};
}

}  // namespace

RegistryStore::RegistryStore()
    : RegistryStore(L"Software\\" + WideFromUtf8(kOrganisation) + L"\\" +
                    WideFromUtf8(kApplication)) {}

RegistryStore::RegistryStore(std::wstring key) : key_(std::move(key)) {}

bool RegistryStore::Exists() const {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  ::RegCloseKey(key);
  return true;
}

std::optional<int> RegistryStore::ReadInteger(std::string_view name) const {
  const ValuePath path = Locate(key_, name);
  DWORD value = 0;
  DWORD size = sizeof value;
  if (::RegGetValueW(HKEY_CURRENT_USER, path.key.c_str(), path.value.c_str(), RRF_RT_REG_DWORD,
                     nullptr, &value, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

std::optional<std::string> RegistryStore::ReadString(std::string_view name) const {
  const ValuePath path = Locate(key_, name);
  // The value may change between the two calls: asked again until it fits.
  std::wstring text;
  for (;;) {
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, path.key.c_str(), path.value.c_str(), RRF_RT_REG_SZ,
                       nullptr, nullptr, &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    text.resize(size / sizeof(wchar_t));
    const LONG result = ::RegGetValueW(HKEY_CURRENT_USER, path.key.c_str(), path.value.c_str(),
                                       RRF_RT_REG_SZ, nullptr, text.data(), &size);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) return std::nullopt;
    text.resize(size / sizeof(wchar_t));
    break;
  }
  // RegGetValueW counts the terminating null.
  while (!text.empty() && text.back() == L'\0')
    text.pop_back();
  return Utf8FromWide(text);
}

}  // namespace keldar
