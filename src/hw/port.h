// What the line primitives need from an open serial port: three switches, four sense inputs and
// a sleep, named as the connector names them. Each backend turns them into its own calls (POSIX
// ioctls, Win32 EscapeCommFunction and GetCommModemStatus, the simulated reader, bytes of an
// FTDI bit-bang stream); nothing above the backends knows those calls' codes.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace keldar {

// The three output lines. TxD is switched through the break state: asserted means in break.
enum class OutputLine : uint8_t { Txd = 0, Dtr = 1, Rts = 2 };
// The four inputs, in the order the reader configuration lists them.
enum class InputLine : uint8_t { Cts = 0, Dsr = 1, Ring = 2, Dcd = 3 };

// The four inputs at one reading.
struct InputLevels {
  uint8_t asserted = 0;  // bit n: InputLine n asserted

  [[nodiscard]] constexpr bool operator[](InputLine line) const {
    return ((asserted >> static_cast<unsigned>(line)) & 1U) != 0;
  }
  constexpr void Set(InputLine line, bool on) {
    const auto bit = static_cast<uint8_t>(1U << static_cast<unsigned>(line));
    asserted = static_cast<uint8_t>(on ? (asserted | bit) : (asserted & ~bit));
  }
  [[nodiscard]] static constexpr InputLevels Of(std::initializer_list<InputLine> lines) {
    InputLevels levels;
    for (const InputLine line : lines)
      levels.Set(line, true);
    return levels;
  }
  bool operator==(const InputLevels&) const = default;
};

class ControlPort {
 public:
  virtual ~ControlPort() = default;
  // Drives one output line at once: asserted is the positive level on the connector (TxD: in
  // break). False when the call failed (device gone, I/O error).
  virtual bool SetLine(OutputLine line, bool asserted) = 0;
  // The present state of the four inputs. False when the call failed; `levels` is then left as
  // it was.
  virtual bool ReadInputs(InputLevels& levels) = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
};

}  // namespace keldar
