#include "settings/environment.h"

#include <cstdlib>

namespace keldar {

std::optional<std::string> EnvironmentText(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return value;
}

}  // namespace keldar
