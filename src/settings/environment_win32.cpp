#include "settings/environment.h"

#include <cstdlib>

#include "platform/utf16.h"

namespace keldar {

std::optional<std::string> EnvironmentText(const std::string& name) {
  const wchar_t* value = ::_wgetenv(WideFromUtf8(name).c_str());
  if (value == nullptr) return std::nullopt;
  return Utf8FromWide(value);
}

}  // namespace keldar
