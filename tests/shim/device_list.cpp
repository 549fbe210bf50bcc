#include "device_list.h"

namespace keldar::shim {

std::optional<std::string_view> FindDeviceSpec(std::string_view list, std::string_view path) {
  while (!list.empty()) {
    const size_t end = list.find(';');
    const std::string_view entry = list.substr(0, end);
    // The spec may hold '=' itself (image=PATH): the path ends at the first one.
    const size_t equals = entry.find('=');
    if (equals != std::string_view::npos && entry.substr(0, equals) == path) {
      return entry.substr(equals + 1);
    }
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return std::nullopt;
}

}  // namespace keldar::shim
