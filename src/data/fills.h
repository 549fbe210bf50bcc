// The nine fill patterns of the buffer. Each rewrites the active window (addresses 0 to
// capacity - 1, visited in increasing order); bytes from capacity on keep what they held and
// reappear when a larger memory is selected. A capacity above the buffer's size counts as
// that size.
#pragma once

#include <cstdint>

#include "data/buffer.h"
#include "data/random_source.h"

namespace keldar {

enum class FillPattern {
  All00,
  AllFF,
  Spaces,
  Random,
  Incrementing,
  Decrementing,
  SelectedByte,
  Complement,
  ReverseBits,
};

void FillConstant(Buffer& buffer, uint32_t capacity, uint8_t value);
// Byte i = the low 8 bits of the generator's next value.
void FillRandom(Buffer& buffer, uint32_t capacity, RandomSource& random);
// Byte i = i mod 256.
void FillIncrementing(Buffer& buffer, uint32_t capacity);
// Byte i = 255 - (i mod 256).
void FillDecrementing(Buffer& buffer, uint32_t capacity);
// Every byte takes the value stored at cursorAddress; nothing changes when the cursor lies
// outside the active window.
void FillSelectedByte(Buffer& buffer, uint32_t capacity, uint32_t cursorAddress);
void ComplementBuffer(Buffer& buffer, uint32_t capacity);
// Bit k of each byte becomes bit 7 - k.
void ReverseBitsBuffer(Buffer& buffer, uint32_t capacity);

// Runs the operation of one pattern: the window maps each of its seventeen sources to a pattern.
void ApplyFill(FillPattern pattern, Buffer& buffer, uint32_t capacity, uint32_t cursorAddress,
               RandomSource& random);

}  // namespace keldar
