// How bytes and addresses are written on screen: always upper-case hexadecimal.
#pragma once

#include <cstdint>

#include <QString>

namespace keldar::ui {

// "41"
inline QString HexText(uint8_t value) {
  return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}
// "$41 = 65"
inline QString ValueText(uint8_t value) {
  return QStringLiteral("$%1 = %2").arg(HexText(value)).arg(value);
}
// "0120": a line address in the grid's address column; five digits from 64 KiB on ("10000").
inline QString LineAddressText(uint32_t address) {
  return QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper();
}
// "$0123", "$1FFFF"
inline QString AddressText(uint32_t address) {
  return QLatin1Char('$') + LineAddressText(address);
}

}  // namespace keldar::ui
