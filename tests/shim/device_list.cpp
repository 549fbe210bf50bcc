#include "device_list.h"

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace keldar::shim {
namespace {

int ErrnoNamed(std::string_view name) {
  for (const auto& [known, value] : {std::pair{"EACCES", EACCES},
                                     {"EPERM", EPERM},
                                     {"ENOENT", ENOENT},
                                     {"EBUSY", EBUSY},
                                     {"EIO", EIO},
                                     {"ENXIO", ENXIO},
                                     {"ENOSPC", ENOSPC},
                                     {"EROFS", EROFS}}) {
    if (name == known) return value;
  }
  return EINVAL;
}

}  // namespace

std::optional<std::string_view> FindDeviceSpec(std::string_view list, std::string_view path) {
  while (!list.empty()) {
    const size_t end = list.find(';');
    const std::string_view entry = list.substr(0, end);
    // The spec may hold '=' itself (image=PATH): the path ends at the first one.
    const size_t equals = entry.find('=');
    const std::string_view key = entry.substr(0, equals);
    const bool folder = key.ends_with('/') && path.starts_with(key);
    if (equals != std::string_view::npos && (key == path || folder)) {
      return entry.substr(equals + 1);
    }
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return std::nullopt;
}

DeviceSpec SplitDeviceSpec(std::string_view spec) {
  DeviceSpec split;
  while (!spec.empty()) {
    const size_t end = spec.find(',');
    const std::string_view field = spec.substr(0, end);
    if (field.starts_with("errno=")) {
      split.openErrno = ErrnoNamed(field.substr(6));
    } else if (field.starts_with("group=")) {
      split.group = std::atoi(std::string(field.substr(6)).c_str());
    } else {
      if (!split.reader.empty()) split.reader += ',';
      split.reader += field;
    }
    if (end == std::string_view::npos) break;
    spec.remove_prefix(end + 1);
  }
  return split;
}

}  // namespace keldar::shim
