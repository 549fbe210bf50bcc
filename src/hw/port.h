// What the line primitives need from an open serial port: three switches, four sense inputs and
// a sleep. Backends: POSIX ioctls, Win32 EscapeCommFunction, the simulated reader.
#pragma once

#include <cstdint>

namespace keldar {

// Escape codes of EscapeCommFunction, with the values Win32 gives them.
inline constexpr int32_t SETRTS = 3;
inline constexpr int32_t CLRRTS = 4;
inline constexpr int32_t SETDTR = 5;
inline constexpr int32_t CLRDTR = 6;
inline constexpr int32_t SETBREAK = 8;  // TxD held in break: positive level
inline constexpr int32_t CLRBREAK = 9;  // TxD idle: negative level

// Modem status bits of GetCommModemStatus.
inline constexpr uint32_t MS_CTS_ON = 0x0010;
inline constexpr uint32_t MS_DSR_ON = 0x0020;
inline constexpr uint32_t MS_RING_ON = 0x0040;
inline constexpr uint32_t MS_RLSD_ON = 0x0080;

class ControlPort {
 public:
  virtual ~ControlPort() = default;
  // Switches one output line at once. False when the call failed (device gone, I/O error).
  virtual bool EscapeCommFunction(int32_t code) = 0;
  // Present state of CTS, DSR, RING and DCD as MS_ bits. False when the call failed; status is
  // then left as it was.
  virtual bool GetCommModemStatus(uint32_t& status) = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
};

}  // namespace keldar
