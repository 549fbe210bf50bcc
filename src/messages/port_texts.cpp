#include "messages/port_texts.h"

#include <cstddef>
#include <cstdio>

namespace keldar::messages {
namespace {

// A decimal comma, as the French write numbers.
std::string Number(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  std::string result = text;
  for (char& c : result) {
    if (c == '.') c = ',';
  }
  return result;
}

// Thousands apart: "127 800".
std::string Grouped(uint32_t value) {
  std::string digits = std::to_string(value);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<size_t>(at), " ");
  return digits;
}

}  // namespace

std::string PortSourceText(PortDeviceSource source, int port) {
  switch (source) {
    case PortDeviceSource::Environment:
      return "variable KELDAR_COM" + std::to_string(port);
    case PortDeviceSource::Settings:
      return "réglage Ports/COM" + std::to_string(port);
    case PortDeviceSource::Default:
      break;
  }
  return "par défaut";
}

std::string DurationText(double seconds) {
  if (seconds < 60) return Number(seconds < 10 ? "%.2f s" : "%.1f s", seconds);
  const auto whole = static_cast<long>(seconds + 0.5);
  char text[32];
  if (whole < 3600) {
    std::snprintf(text, sizeof text, "%ld min %02ld s", whole / 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld h %02ld min", whole / 3600, whole % 3600 / 60);
  }
  return text;
}

std::string CallCostText(double seconds) {
  return seconds < 1e-3 ? Number("%.1f µs", seconds * 1e6) : Number("%.2f ms", seconds * 1e3);
}

std::string StreamRateText(uint32_t measured, uint32_t asked) {
  std::string text = "Débit du flot mesuré à l'ouverture : " + Grouped(measured) +
                     " octets/s pour " + Grouped(asked) + " demandés.";
  // A few percent lower is the measure's own spread.
  if (uint64_t{measured} * 10 < uint64_t{asked} * 9) {
    text += " Le flot attend l'USB ou l'horloge du câble : les opérations prendront plus de temps.";
  }
  return text;
}

std::string PortStoppedText(const std::string& device) {
  return "Le port " + device + " a cessé de répondre pendant la mesure.";
}

}  // namespace keldar::messages
