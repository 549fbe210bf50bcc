#include "hw/ftdi_device.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "hw/text_fields.h"

namespace keldar {
namespace {

constexpr std::string_view kPrefix = "ftdi:";

bool ParseId(std::string_view text, uint16_t& value) {
  if (text.empty() || text.size() > 4) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool IsFtdiDevice(std::string_view device) {
  return device.starts_with(kPrefix);
}

bool ParseFtdiDevice(std::string_view device, FtdiDeviceSpec& spec, std::string& error) {
  spec = FtdiDeviceSpec{};
  if (!IsFtdiDevice(device)) {
    error = "« " + std::string(device) + " » ne désigne pas un câble FTDI (ftdi:...).";
    return false;
  }
  const std::string_view rest = device.substr(kPrefix.size());
  if (rest.empty()) return true;
  const std::vector<std::string_view> fields = SplitFields(rest, ':');
  bool ok = false;
  if (fields.size() == 1) {
    spec.serial = std::string(fields[0]);
    ok = !spec.serial.empty();
  } else if (fields.size() <= 3) {
    ok = ParseId(fields[0], spec.vendor) && ParseId(fields[1], spec.product);
    if (fields.size() == 3) {
      spec.serial = std::string(fields[2]);
      ok = ok && !spec.serial.empty();
    }
  }
  if (!ok) {
    error = "« " + std::string(device) +
            " » : attendu ftdi:, ftdi:NUMÉRO_DE_SÉRIE ou ftdi:VID:PID[:NUMÉRO_DE_SÉRIE] "
            "(VID et PID en hexadécimal, 0403:6001 pour un FT232R).";
  }
  return ok;
}

std::string UsbId(uint16_t id) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(id));
  return text;
}

std::string FtdiDeviceString(const FtdiDeviceSpec& spec) {
  std::string text = std::string(kPrefix) + UsbId(spec.vendor) + ":" + UsbId(spec.product);
  if (!spec.serial.empty()) text += ":" + spec.serial;
  return text;
}

}  // namespace keldar
