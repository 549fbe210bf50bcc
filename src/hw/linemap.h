// Which physical control line carries each logical signal of the reader, which signals the
// hardware inverts, and the access-time slowdown: the values the settings store, and the lines
// they name.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "hw/port.h"

namespace keldar {

// One output arrangement: the lines that carry Valim, SCL and SDA-out.
struct OutputArrangement {
  OutputLine valim;
  OutputLine scl;
  OutputLine sda;
};

inline constexpr std::array<OutputArrangement, 6> kOutputArrangements{{
    {OutputLine::Txd, OutputLine::Rts, OutputLine::Dtr},
    {OutputLine::Txd, OutputLine::Dtr, OutputLine::Rts},
    {OutputLine::Rts, OutputLine::Txd, OutputLine::Dtr},
    {OutputLine::Rts, OutputLine::Dtr, OutputLine::Txd},
    {OutputLine::Dtr, OutputLine::Txd, OutputLine::Rts},
    {OutputLine::Dtr, OutputLine::Rts, OutputLine::Txd},
}};

// SDA-in choices: 0 CTS, 1 DSR, 2 RING, 3 DCD.
inline constexpr std::array<InputLine, 4> kSdaInputs{InputLine::Cts, InputLine::Dsr,
                                                     InputLine::Ring, InputLine::Dcd};

inline constexpr int32_t kMaxAccessTime = 15;

// The connector's names of the lines.
[[nodiscard]] constexpr const char* LineName(OutputLine line) {
  switch (line) {
    case OutputLine::Txd:
      return "TxD";
    case OutputLine::Dtr:
      return "DTR";
    case OutputLine::Rts:
      return "RTS";
  }
  return "";
}
[[nodiscard]] constexpr const char* LineName(InputLine line) {
  switch (line) {
    case InputLine::Cts:
      return "CTS";
    case InputLine::Dsr:
      return "DSR";
    case InputLine::Ring:
      return "RING";
    case InputLine::Dcd:
      return "DCD";
  }
  return "";
}

struct LineMap {
  int32_t outputArrangement = 0;
  int32_t sdaInput = 0;
  bool complementValim = false;
  bool complementScl = false;
  bool complementSdaOut = false;
  bool complementSdaIn = false;
  int32_t accessTime = 0;  // extra status reads after every output change

  // The lines the indices name; an index out of range names those of index 0. The complement
  // flags are applied by the primitives, at every change.
  [[nodiscard]] const OutputArrangement& Arrangement() const {
    const auto row = static_cast<size_t>(outputArrangement);
    return kOutputArrangements[row < kOutputArrangements.size() ? row : 0];
  }
  [[nodiscard]] InputLine SdaInputLine() const {
    const auto index = static_cast<size_t>(sdaInput);
    return kSdaInputs[index < kSdaInputs.size() ? index : 0];
  }

  // Both ignore an index out of range and return false; the map is then unchanged.
  bool SetOutputArrangement(int32_t index);
  bool SetSdaInput(int32_t index);
  // Arrangement 0 on CTS; the standard reader inverts nothing, the in-situ adapter's
  // transistors invert SCL and SDA both ways. Neither touches accessTime.
  void ApplyStandardPreset();
  void ApplyInSituPreset();
};

}  // namespace keldar
