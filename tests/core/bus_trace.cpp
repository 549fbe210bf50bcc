#include "bus_trace.h"

#include <algorithm>

namespace keldar::test {

namespace {

// Logical level a change gives its signal, or -1 when the change is of another line.
int LevelOf(const sim::PortEvent& e, OutputLine line, bool complement) {
  if (e.line != line) return -1;
  return (e.asserted != complement) ? 1 : 0;
}

}  // namespace

std::vector<BusItem> DecodeBus(const std::vector<sim::PortEvent>& events, const LineMap& map) {
  std::vector<BusItem> items;
  int scl = 1;
  int sda = 1;
  bool inFrame = false;
  int bitCount = 0;
  uint8_t value = 0;
  int clockBit = 1;           // the bus level during the present SCL high phase
  bool risenInFrame = false;  // SCL rose after the start: its fall ends a bit

  for (const sim::PortEvent& e : events) {
    if (e.kind == sim::PortEvent::Kind::Read) {
      if (scl == 1) {
        int bit = e.inputs[map.SdaInputLine()] ? 1 : 0;
        if (map.complementSdaIn) bit ^= 1;
        clockBit &= bit;
      }
      continue;
    }
    if (e.kind != sim::PortEvent::Kind::Line) continue;

    const int sclLevel = LevelOf(e, map.Arrangement().scl, map.complementScl);
    const int sdaLevel = LevelOf(e, map.Arrangement().sda, map.complementSdaOut);
    if (sclLevel >= 0) {
      if (sclLevel == 1 && scl == 0) {
        clockBit = sda;
        risenInFrame = inFrame;
        if (!inFrame) items.push_back({BusItem::Kind::IdleClock});
      } else if (sclLevel == 0 && scl == 1 && inFrame && risenInFrame) {
        if (bitCount < 8) {
          value = static_cast<uint8_t>((value << 1) | clockBit);
          ++bitCount;
        } else {
          items.push_back(Byte(value, clockBit == 0));
          bitCount = 0;
          value = 0;
        }
      }
      scl = sclLevel;
    } else if (sdaLevel >= 0) {
      if (scl == 1 && sdaLevel != sda) {
        if (sdaLevel == 0) {
          items.push_back(Start());
          inFrame = true;
        } else {
          items.push_back(Stop());
          inFrame = false;
        }
        bitCount = 0;
        value = 0;
        risenInFrame = false;
      }
      sda = sdaLevel;
      if (scl == 1) clockBit = sda;
    }
  }
  return items;
}

std::vector<uint8_t> BusBytes(const std::vector<BusItem>& items) {
  std::vector<uint8_t> bytes;
  for (const BusItem& item : items) {
    if (item.kind == BusItem::Kind::Byte) bytes.push_back(item.value);
  }
  return bytes;
}

size_t CountKind(const std::vector<BusItem>& items, BusItem::Kind kind) {
  return static_cast<size_t>(std::count_if(items.begin(), items.end(),
                                           [kind](const BusItem& i) { return i.kind == kind; }));
}

}  // namespace keldar::test
