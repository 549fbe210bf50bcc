// The USB side of an FTDI chip in synchronous bit-bang mode, as the bit-bang port needs it:
// libftdi1 on a real adapter (ftdi_link_libftdi.cpp), the FT232R model in the simulator.
//
// Synchronous bit-bang (FTDI knowledge base, "Synchronous Bit Bang Mode"; AN232R-01): every byte
// written is driven on the pins configured as outputs, one byte per tick of the bit-bang clock,
// and for every byte the chip returns one sample of all eight pins, read just before the byte is
// driven: the samples run one byte behind the output. A byte is only clocked out when the chip
// has room for its sample, so samples must be read while bytes are written.
#pragma once

#include <cstdint>
#include <span>

#include "hw/port.h"

namespace keldar {

// The FT232R's UART pins as bit-bang data bits (FT232R datasheet pin table; FTDI knowledge base,
// "Synchronous Bit Bang Mode"). At the chip the modem lines are active low (RTS#, CTS#...), and
// an RS-232 cable's transceiver inverts them: an asserted line, or TxD in break, is a low pin.
inline constexpr uint8_t kPinTxd = 0x01;  // D0
inline constexpr uint8_t kPinRxd = 0x02;  // D1
inline constexpr uint8_t kPinRts = 0x04;  // D2
inline constexpr uint8_t kPinCts = 0x08;  // D3
inline constexpr uint8_t kPinDtr = 0x10;  // D4
inline constexpr uint8_t kPinDsr = 0x20;  // D5
inline constexpr uint8_t kPinDcd = 0x40;  // D6
inline constexpr uint8_t kPinRi = 0x80;   // D7
inline constexpr uint8_t kReaderOutputs = kPinTxd | kPinRts | kPinDtr;

// The pin that drives an output line.
[[nodiscard]] constexpr uint8_t PinOf(OutputLine line) {
  switch (line) {
    case OutputLine::Txd:
      return kPinTxd;
    case OutputLine::Dtr:
      return kPinDtr;
    case OutputLine::Rts:
      return kPinRts;
  }
  return 0;
}

// The inputs a sample of the pins stands for: a low pin is an asserted line.
[[nodiscard]] constexpr InputLevels InputsFromPins(uint8_t pins) {
  InputLevels levels;
  levels.Set(InputLine::Cts, (pins & kPinCts) == 0);
  levels.Set(InputLine::Dsr, (pins & kPinDsr) == 0);
  levels.Set(InputLine::Ring, (pins & kPinRi) == 0);
  levels.Set(InputLine::Dcd, (pins & kPinDcd) == 0);
  return levels;
}

class BitBangLink {
 public:
  virtual ~BitBangLink() = default;

  // Set-up, in this order. Each is one USB control transfer; false when the adapter refused it
  // or is gone.
  virtual bool Purge() = 0;                      // empties both of the chip's buffers
  virtual bool SetLatencyTimer(uint8_t ms) = 0;  // 1..255
  virtual bool SetBitMode(uint8_t outputs) = 0;  // synchronous bit-bang, these pins driven
  virtual bool SetBaudRate(uint32_t baud) = 0;   // the UART rate whose clock paces the bytes

  // Starts writing the bytes; they may still be on their way when it returns.
  virtual bool Submit(std::span<const uint8_t> bytes) = 0;
  // Waits for the next samples.size() samples, in the order of the bytes submitted.
  virtual bool Collect(std::span<uint8_t> samples) = 0;
  // Waits without traffic: a real sleep, or the model's clock.
  virtual void Pause(uint32_t milliseconds) = 0;
  // Nanoseconds on the link's clock: the steady clock on a cable, the model's own clock.
  [[nodiscard]] virtual uint64_t NowNs() = 0;
};

}  // namespace keldar
