// Which physical control line carries each logical signal of the reader, which signals the
// hardware inverts, and the access-time slowdown.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "hw/port.h"

namespace keldar {

// One output arrangement: the un-inverted low/high escape codes of Valim, SCL and SDA-out.
struct OutputArrangement {
  const char* valimLine;
  const char* sclLine;
  const char* sdaLine;
  int32_t valimLowCode, valimHighCode;
  int32_t sclLowCode, sclHighCode;
  int32_t sdaLowCode, sdaHighCode;
};

inline constexpr std::array<OutputArrangement, 6> kOutputArrangements{{
    {"TxD", "RTS", "DTR", CLRBREAK, SETBREAK, CLRRTS, SETRTS, CLRDTR, SETDTR},
    {"TxD", "DTR", "RTS", CLRBREAK, SETBREAK, CLRDTR, SETDTR, CLRRTS, SETRTS},
    {"RTS", "TxD", "DTR", CLRRTS, SETRTS, CLRBREAK, SETBREAK, CLRDTR, SETDTR},
    {"RTS", "DTR", "TxD", CLRRTS, SETRTS, CLRDTR, SETDTR, CLRBREAK, SETBREAK},
    {"DTR", "TxD", "RTS", CLRDTR, SETDTR, CLRBREAK, SETBREAK, CLRRTS, SETRTS},
    {"DTR", "RTS", "TxD", CLRDTR, SETDTR, CLRRTS, SETRTS, CLRBREAK, SETBREAK},
}};

// SDA-in choices: 0 CTS, 1 DSR, 2 RING, 3 DCD.
inline constexpr std::array<uint32_t, 4> kSdaInputMasks{MS_CTS_ON, MS_DSR_ON, MS_RING_ON,
                                                        MS_RLSD_ON};

inline constexpr int32_t kMaxAccessTime = 15;

struct LineMap {
  int32_t outputArrangement = 0;
  int32_t sdaInput = 0;
  bool complementValim = false;
  bool complementScl = false;
  bool complementSdaOut = false;
  bool complementSdaIn = false;
  int32_t accessTime = 0;  // extra status reads after every output change

  // Derived from outputArrangement and sdaInput; the complement flags are never folded in.
  int32_t valimLowCode = CLRBREAK;
  int32_t valimHighCode = SETBREAK;
  int32_t sclLowCode = CLRRTS;
  int32_t sclHighCode = SETRTS;
  int32_t sdaLowCode = CLRDTR;
  int32_t sdaHighCode = SETDTR;
  uint32_t sdaInputMask = MS_CTS_ON;

  // Both ignore an index out of range and return false; the map is then unchanged.
  bool SetOutputArrangement(int32_t index);
  bool SetSdaInput(int32_t index);
  // Arrangement 0 on CTS; the standard reader inverts nothing, the in-situ adapter's
  // transistors invert SCL and SDA both ways. Neither touches accessTime.
  void ApplyStandardPreset();
  void ApplyInSituPreset();
};

}  // namespace keldar
