#include "device_list.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>

namespace keldar::shim {
namespace {

constexpr std::pair<const char*, int> kErrnos[] = {{"EACCES", EACCES},
                                                   {"EPERM", EPERM},
                                                   {"ENOENT", ENOENT},
                                                   {"EBUSY", EBUSY},
                                                   {"EIO", EIO},
                                                   {"ENXIO", ENXIO},
                                                   {"ENOSPC", ENOSPC},
                                                   {"EROFS", EROFS},
                                                   {"EINVAL", EINVAL},
                                                   {"ENODEV", ENODEV},
                                                   {"ESHUTDOWN", ESHUTDOWN},
                                                   {"EOPNOTSUPP", EOPNOTSUPP},
                                                   {"EREMOTEIO", EREMOTEIO},
                                                   {"ETIMEDOUT", ETIMEDOUT},
                                                   {"EAGAIN", EAGAIN},
                                                   {"ENOTTY", ENOTTY}};

int ErrnoNamed(std::string_view name) {
  for (const auto& [known, value] : kErrnos) {
    if (name == known) return value;
  }
  return EINVAL;
}

uint64_t Number(std::string_view text) {
  return std::strtoull(std::string(text).c_str(), nullptr, 0);
}

// One of the adapter's keys; false when the field is none of them.
bool AdapterKey(std::string_view field, sim::I2cAdapterModel& model) {
  const size_t equals = field.find('=');
  const std::string_view key = field.substr(0, equals);
  const std::string_view value = equals == std::string_view::npos ? "" : field.substr(equals + 1);
  if (key == "funcs") {
    model.functions = Number(value);
  } else if (key == "maxwrite") {
    model.maxWrite = Number(value);
  } else if (key == "maxread") {
    model.maxRead = Number(value);
  } else if (key == "noempty") {
    model.noEmpty = true;
  } else if (key == "limit") {
    model.limitErrno = ErrnoNamed(value);
  } else if (key == "addrnack") {
    model.addressErrno = ErrnoNamed(value);
  } else if (key == "datanack") {
    model.dataErrno = ErrnoNamed(value);
  } else if (key == "unplug") {
    model.unplugAt = Number(value);
  } else if (key == "unplugerr") {
    model.unplugErrno = ErrnoNamed(value);
  } else if (key == "latency") {
    model.latencyNs = Number(value) * 1000;
  } else {
    return false;
  }
  return true;
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
    } else if (!AdapterKey(field, split.i2c)) {
      if (!split.reader.empty()) split.reader += ',';
      split.reader += field;
    }
    if (end == std::string_view::npos) break;
    spec.remove_prefix(end + 1);
  }
  return split;
}

std::string ErrnoName(int error) {
  for (const auto& [known, value] : kErrnos) {
    if (value == error) return known;
  }
  return std::to_string(error);
}

bool IsI2cNode(std::string_view path) {
  const std::string_view name = path.substr(path.rfind('/') + 1);
  return name.size() > 4 && name.starts_with("i2c-") &&
         name.find_first_not_of("0123456789", 4) == std::string_view::npos;
}

}  // namespace keldar::shim
