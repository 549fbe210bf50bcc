#include "hw/i2c_dev_device.h"

#include <charconv>

namespace keldar {
namespace {

constexpr std::string_view kPrefix = "i2c:";
constexpr std::string_view kNodePrefix = "i2c-";

// Linux numbers its adapters from 0; i2c-dev has 256 minors (I2C_MINORS in i2c-dev.c).
bool ParseBus(std::string_view text, int& bus) {
  if (text.empty() || text.size() > 3 || (text.size() > 1 && text[0] == '0') ||
      text.find_first_not_of("0123456789") != std::string_view::npos)
    return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), bus);
  return ec == std::errc() && end == text.data() + text.size() && bus < 256;
}

}  // namespace

bool IsI2cDevDevice(std::string_view device) {
  return device.starts_with(kPrefix);
}

bool ParseI2cDevDevice(std::string_view device, const std::string& devRoot, I2cDevSpec& spec,
                       std::string& error) {
  spec = I2cDevSpec{};
  const std::string_view rest = IsI2cDevDevice(device) ? device.substr(kPrefix.size()) : "";
  bool ok = false;
  if (ParseBus(rest, spec.bus)) {
    spec.node = devRoot + "/" + std::string(kNodePrefix) + std::string(rest);
    ok = true;
  } else if (rest.starts_with('/')) {
    const size_t slash = rest.rfind('/');
    const std::string_view name = rest.substr(slash + 1);
    ok = name.starts_with(kNodePrefix) && ParseBus(name.substr(kNodePrefix.size()), spec.bus);
    const bool underDev = rest.substr(0, slash) == "/dev";
    spec.node = underDev ? devRoot + "/" + std::string(name) : std::string(rest);
  }
  if (!ok) {
    spec = I2cDevSpec{};
    error = "« " + std::string(device) +
            " » : attendu i2c:N ou i2c:/dev/i2c-N, N étant le numéro de l'adaptateur I2C "
            "(0 à 255, voir keldar-cli ports).";
  }
  return ok;
}

std::string I2cDevDeviceString(int bus, const std::string& devRoot) {
  return std::string(kPrefix) + devRoot + "/" + std::string(kNodePrefix) + std::to_string(bus);
}

}  // namespace keldar
