// What the line primitives need from an open serial port: three switches, four sense inputs and
// a sleep. Backends: POSIX ioctls, Win32 EscapeCommFunction, the simulated reader, and the FTDI
// synchronous bit-bang stream.
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

  // A port that streams (FTDI bit-bang) sends its line changes in batches: a change reaches the
  // wire at the latest at the next GetCommModemStatus, Flush or Sleep. It answers a deferred
  // status read into `slot` at the next Flush at the latest; the slot must live until then.
  // A port that switches and reads at once (the default) reads here and now.
  [[nodiscard]] virtual bool DefersStatusReads() const { return false; }
  virtual bool GetCommModemStatusLater(uint32_t& slot) { return GetCommModemStatus(slot); }
  // Sends every queued change and answers every deferred read. False when the port failed.
  virtual bool Flush() { return true; }
};

}  // namespace keldar
