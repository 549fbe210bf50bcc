#include "sim/sim_config.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <initializer_list>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "hw/text_fields.h"
#include "i2c/catalogue.h"
#include "sim/eeprom.h"

namespace keldar::sim {

namespace {

constexpr std::string_view kPrefix = "sim:";

bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// Decimal, or hexadecimal after "0x"; the whole text must be the number.
bool ParseNumber(std::string_view text, uint64_t& value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return ec == std::errc() && end == text.data() + text.size();
}

std::string Quoted(std::string_view text) {
  return "« " + std::string(text) + " »";
}

// The position of value among the names, whatever its case; -1 when it is none of them.
int Choice(std::string_view value, std::initializer_list<std::string_view> names) {
  int at = 0;
  for (const std::string_view name : names) {
    if (SameText(value, name)) return at;
    ++at;
  }
  return -1;
}

class Parser {
 public:
  Parser(std::string_view device, SimConfig& config, std::string& error)
      : device_(device), config_(config), error_(error) {}

  bool Key(std::string_view key, std::string_view value, bool hasValue);

 private:
  bool Refuse(std::string message) {
    error_ = std::move(message) + " dans " + Quoted(device_) + ".";
    return false;
  }
  bool BadValue(std::string_view key, std::string_view value, std::string_view expected) {
    return Refuse("Valeur incorrecte " + Quoted(value) + " pour " + Quoted(key) +
                  " (attendu : " + std::string(expected) + ")");
  }
  bool Number(std::string_view key, std::string_view value, uint64_t low, uint64_t high,
              uint64_t& out) {
    if (!ParseNumber(value, out) || out < low || out > high) {
      return BadValue(key, value, std::to_string(low) + " à " + std::to_string(high));
    }
    return true;
  }

  std::string_view device_;
  SimConfig& config_;
  std::string& error_;
};

bool Parser::Key(std::string_view key, std::string_view value, bool hasValue) {
  static constexpr std::array<std::string_view, 3> kFlags{"absent", "noreader", "busy"};
  if (std::find(kFlags.begin(), kFlags.end(), key) != kFlags.end()) {
    if (hasValue) return Refuse("La clé " + Quoted(key) + " ne prend pas de valeur");
    if (key == "absent") config_.absent = true;
    if (key == "noreader") config_.noReader = true;
    if (key == "busy") config_.faults.endlessWriteCycle = true;
    return true;
  }
  if (key == "wp" && !hasValue) {  // ST's behaviour, the one the bare flag always meant
    config_.faults.writeProtect = WriteProtect::Nack;
    return true;
  }
  static constexpr std::array<std::string_view, 23> kValued{
      "pins",         "wiring",      "arrangement", "input",      "image",   "vcd",
      "stuck",        "refuse",      "nack",        "busy-polls", "pullout", "cost",
      "cycle",        "wp",          "page",        "rollover",   "speed",   "adapter",
      "bitbang-rate", "usb-latency", "pace",        "chip-clock", "board"};
  if (std::find(kValued.begin(), kValued.end(), key) == kValued.end()) {
    return Refuse("Clé inconnue " + Quoted(key));
  }
  if (!hasValue || value.empty()) return Refuse("La clé " + Quoted(key) + " demande une valeur");

  uint64_t n = 0;
  if (key == "pins") {
    // The 24LC1025's A2 pin is tied high on the board: only A1 and A0 are set.
    const bool a2Tied = kMemoryTypes[static_cast<size_t>(config_.typeIndex)].name == "24LC1025";
    if (!Number(key, value, 0, a2Tied ? 3 : 7, n)) return false;
    config_.pins = static_cast<int32_t>(n);
  } else if (key == "arrangement") {
    if (!Number(key, value, 0, 5, n)) return false;
    config_.outputArrangement = static_cast<int32_t>(n);
  } else if (key == "wiring") {
    const int at = Choice(value, {"standard", "insitu"});
    if (at < 0) return BadValue(key, value, "standard ou insitu");
    config_.wiring = at == 0 ? Wiring::Standard : Wiring::InSitu;
  } else if (key == "input") {
    const int at = Choice(value, {"cts", "dsr", "ring", "dcd"});
    if (at < 0) return BadValue(key, value, "cts, dsr, ring ou dcd");
    config_.sdaInput = at;
  } else if (key == "image") {
    config_.imagePath = std::string(value);
  } else if (key == "vcd") {
    config_.vcdPath = std::string(value);
  } else if (key == "stuck") {
    const int at = Choice(value, {"low", "high"});
    if (at < 0) return BadValue(key, value, "low ou high");
    config_.faults.stuckSda = at == 0 ? StuckSda::Low : StuckSda::High;
  } else if (key == "refuse") {
    const uint32_t capacity = kMemoryTypes[static_cast<size_t>(config_.typeIndex)].capacity;
    if (!Number(key, value, 0, capacity - 1, n)) return false;
    config_.faults.refusedAddress = static_cast<int64_t>(n);
  } else if (key == "nack") {
    if (!Number(key, value, 1, 1'000'000, n)) return false;
    config_.faults.refusedByte = static_cast<int32_t>(n);
  } else if (key == "busy-polls") {
    if (!Number(key, value, 0, 1'000'000'000, n)) return false;
    config_.faults.busyPolls = static_cast<int64_t>(n);
  } else if (key == "pullout") {
    if (!Number(key, value, 1, std::numeric_limits<int64_t>::max(), n)) return false;
    config_.faults.pullOutCall = n;
  } else if (key == "cost") {
    if (!Number(key, value, 1, 1'000'000'000, n)) return false;
    config_.callCostNs = n;
  } else if (key == "cycle") {
    if (!Number(key, value, 0, 60'000, n)) return false;
    config_.writeCycleNs = n * 1'000'000U;
  } else if (key == "wp") {
    static constexpr std::array<WriteProtect, 3> kKinds{WriteProtect::Nack, WriteProtect::Ack,
                                                        WriteProtect::Upper};
    const int at = Choice(value, {"nack", "ack", "upper"});
    if (at < 0) return BadValue(key, value, "nack, ack ou upper");
    config_.faults.writeProtect = kKinds[static_cast<size_t>(at)];
  } else if (key == "page") {
    // The page buffer is a power of two no larger than the memory (256 bytes at most).
    const uint32_t capacity = kMemoryTypes[static_cast<size_t>(config_.typeIndex)].capacity;
    const uint32_t largest = std::min<uint32_t>(capacity, kLargestPage);
    if (!ParseNumber(value, n) || n == 0 || n > largest || (n & (n - 1)) != 0) {
      return BadValue(key, value, "une puissance de 2 de 1 à " + std::to_string(largest));
    }
    config_.variant.pageSize = static_cast<uint32_t>(n);
  } else if (key == "rollover") {
    const int at = Choice(value, {"memory", "block"});
    if (at < 0) return BadValue(key, value, "memory ou block");
    config_.variant.rollover = at == 0 ? Rollover::Memory : Rollover::Block;
  } else if (key == "speed") {
    static constexpr std::array<BusSpeed, 3> kSpeeds{BusSpeed::Standard100k, BusSpeed::Fast400k,
                                                     BusSpeed::FastPlus1m};
    const int at = Choice(value, {"100k", "400k", "1m"});
    if (at < 0) return BadValue(key, value, "100k, 400k ou 1m");
    config_.speed = kSpeeds[static_cast<size_t>(at)];
  } else if (key == "adapter") {
    if (Choice(value, {"ft232r"}) < 0) return BadValue(key, value, "ft232r");
    config_.adapter = Adapter::Ft232r;
  } else if (key == "bitbang-rate") {
    // The baud generator's slowest clock, and what USB full speed carries both ways at most.
    if (!Number(key, value, 3'000, 1'000'000, n)) return false;
    config_.bitBangRate = static_cast<uint32_t>(n);
  } else if (key == "pace") {
    const int at = Choice(value, {"sim", "real"});
    if (at < 0) return BadValue(key, value, "sim ou real");
    config_.realTime = at == 1;
  } else if (key == "board") {
    for (const std::string_view part : SplitFields(value, '+')) {
      const size_t at = part.find('@');
      const int32_t type = FindMemoryType(part.substr(0, at));
      if (type < 0 || type == kX24C01Index || at == std::string_view::npos ||
          !ParseNumber(part.substr(at + 1), n) || n > 7) {
        return BadValue(key, part, "TYPE@BROCHES, de 0 à 7, séparés par +");
      }
      config_.board.push_back({type, static_cast<int32_t>(n)});
    }
  } else if (key == "usb-latency") {
    if (!Number(key, value, 1, 1'000'000, n)) return false;
    config_.usbRoundTripNs = n * 1'000U;
  } else if (key == "chip-clock") {
    if (!Number(key, value, 10, 1'000, n)) return false;
    config_.chipClockPercent = static_cast<uint32_t>(n);
  }
  return true;
}

}  // namespace

bool IsSimDevice(std::string_view device) {
  return device.starts_with(kPrefix);
}

bool ParseSimDevice(std::string_view device, SimConfig& config, std::string& error) {
  config = SimConfig{};
  if (!IsSimDevice(device)) {
    error = Quoted(device) + " n'est pas un lecteur simulé : le nom doit commencer par « sim: ».";
    return false;
  }
  const std::vector<std::string_view> items = SplitFields(device.substr(kPrefix.size()), ',');
  const std::string_view type = items.front();
  if (type.empty()) {
    error = "Type de mémoire manquant dans " + Quoted(device) + ".";
    return false;
  }
  config.typeIndex = FindMemoryType(type);
  if (config.typeIndex < 0) {
    error = "Type de mémoire inconnu " + Quoted(type) + " dans " + Quoted(device) + ".";
    return false;
  }
  // The part writes as slowly as its datasheets allow, unless cycle= says otherwise.
  config.writeCycleNs =
      uint64_t{kMemoryTypes[static_cast<size_t>(config.typeIndex)].writeCycleMs} * 1'000'000U;

  Parser parser(device, config, error);
  std::vector<std::string> seen;
  for (const std::string_view item : std::span(items).subspan(1)) {
    const size_t equals = item.find('=');
    std::string key(item.substr(0, equals));
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view{} : item.substr(equals + 1);
    if (key.empty()) {
      error = "Élément vide dans " + Quoted(device) + ".";
      return false;
    }
    if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
      error = "Clé " + Quoted(key) + " donnée deux fois dans " + Quoted(device) + ".";
      return false;
    }
    seen.push_back(key);
    if (!parser.Key(key, value, equals != std::string_view::npos)) return false;
  }
  return true;
}

}  // namespace keldar::sim
