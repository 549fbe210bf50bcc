#include "data/fills.h"

#include <algorithm>
#include <array>
#include <span>

namespace keldar {
namespace {

std::span<uint8_t> ActiveWindow(Buffer& buffer, uint32_t capacity) {
  return std::span<uint8_t>(buffer).first(std::min(capacity, kBufferBytes));
}

constexpr uint8_t MirrorBits(uint8_t value) {
  uint8_t mirrored = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if ((value >> bit) & 1U) mirrored = static_cast<uint8_t>(mirrored | (0x80U >> bit));
  }
  return mirrored;
}

constexpr std::array<uint8_t, 256> kMirrored = [] {
  std::array<uint8_t, 256> table{};
  for (size_t i = 0; i < table.size(); ++i)
    table[i] = MirrorBits(static_cast<uint8_t>(i));
  return table;
}();

}  // namespace

void FillConstant(Buffer& buffer, uint32_t capacity, uint8_t value) {
  std::ranges::fill(ActiveWindow(buffer, capacity), value);
}

void FillRandom(Buffer& buffer, uint32_t capacity, RandomSource& random) {
  for (uint8_t& byte : ActiveWindow(buffer, capacity)) {
    byte = static_cast<uint8_t>(random.Next() & 0xFFU);
  }
}

void FillIncrementing(Buffer& buffer, uint32_t capacity) {
  uint32_t address = 0;
  for (uint8_t& byte : ActiveWindow(buffer, capacity)) {
    byte = static_cast<uint8_t>(address++ & 0xFFU);
  }
}

void FillDecrementing(Buffer& buffer, uint32_t capacity) {
  uint32_t address = 0;
  for (uint8_t& byte : ActiveWindow(buffer, capacity)) {
    byte = static_cast<uint8_t>(0xFFU - (address++ & 0xFFU));
  }
}

void FillSelectedByte(Buffer& buffer, uint32_t capacity, uint32_t cursorAddress) {
  const std::span<uint8_t> window = ActiveWindow(buffer, capacity);
  if (cursorAddress >= window.size()) return;
  std::ranges::fill(window, window[cursorAddress]);
}

void ComplementBuffer(Buffer& buffer, uint32_t capacity) {
  for (uint8_t& byte : ActiveWindow(buffer, capacity))
    byte = static_cast<uint8_t>(~byte);
}

void ReverseBitsBuffer(Buffer& buffer, uint32_t capacity) {
  for (uint8_t& byte : ActiveWindow(buffer, capacity))
    byte = kMirrored[byte];
}

void ApplyFill(FillPattern pattern, Buffer& buffer, uint32_t capacity, uint32_t cursorAddress,
               RandomSource& random) {
  switch (pattern) {
    case FillPattern::All00:
      return FillConstant(buffer, capacity, 0x00);
    case FillPattern::AllFF:
      return FillConstant(buffer, capacity, 0xFF);
    case FillPattern::Spaces:
      return FillConstant(buffer, capacity, 0x20);
    case FillPattern::Random:
      return FillRandom(buffer, capacity, random);
    case FillPattern::Incrementing:
      return FillIncrementing(buffer, capacity);
    case FillPattern::Decrementing:
      return FillDecrementing(buffer, capacity);
    case FillPattern::SelectedByte:
      return FillSelectedByte(buffer, capacity, cursorAddress);
    case FillPattern::Complement:
      return ComplementBuffer(buffer, capacity);
    case FillPattern::ReverseBits:
      return ReverseBitsBuffer(buffer, capacity);
  }
}

}  // namespace keldar
