// Decodes a recorded port-call sequence into what a logic analyser on the bus would show: start
// and stop conditions, bytes with their acknowledge bit, and clock pulses outside any frame.
// Status reads made while SCL is high stand for the slave's level on SDA (wired AND with the
// master). Meant for access time 0, where every status read is a sample.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hw/linemap.h"
#include "sim/recording_port.h"

namespace keldar::test {

struct BusItem {
  enum class Kind { Start, Stop, Byte, IdleClock };
  Kind kind;
  uint8_t value = 0;
  bool acked = false;
  bool operator==(const BusItem&) const = default;
};

std::vector<BusItem> DecodeBus(const std::vector<sim::PortEvent>& events, const LineMap& map);

// Only the bytes, in order.
std::vector<uint8_t> BusBytes(const std::vector<BusItem>& items);
size_t CountKind(const std::vector<BusItem>& items, BusItem::Kind kind);

inline BusItem Start() {
  return {BusItem::Kind::Start};
}
inline BusItem Stop() {
  return {BusItem::Kind::Stop};
}
inline BusItem Byte(uint8_t value, bool acked) {
  return {BusItem::Kind::Byte, value, acked};
}

}  // namespace keldar::test
