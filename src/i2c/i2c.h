// The bit-level I2C master over the line primitives. It keeps no state and knows no memory type.
// Each step of each routine is exactly one line operation: the sequence is the bus timing.
//
// The routines are written once for any set of lines with the bus primitives: the line driver,
// which answers each ReadSda from the port at once, and the FT232R stream's lines, whose ReadSda
// only places a sample in the stream and answers with a placeholder (the stream executor reads
// the samples afterwards, in the order they were placed).
#pragma once

#include <cstdint>

#include "hw/line_driver.h"

namespace keldar {

inline constexpr int kResyncPulses = 9;

template <typename Lines>
class BasicI2cMaster {
 public:
  explicit BasicI2cMaster(Lines& lines) : lines_(lines) {}

  // Bus idle or SCL low with SDA released -> SCL low, SDA released. Also the repeated start.
  void I2cStart() {
    lines_.SetSdaHigh();
    lines_.SetSclHigh();
    lines_.SetSdaLow();  // SDA falls while SCL is high
    lines_.SetSclLow();
    lines_.SetSdaHigh();
  }

  // SCL low -> SCL and SDA high, bus idle.
  void I2cStop() {
    lines_.SetSdaLow();
    lines_.SetSclHigh();
    lines_.SetSdaHigh();  // SDA rises while SCL is high
  }

  // -> SCL low; SDA unchanged.
  void ClockPulse() {
    lines_.SetSclLow();
    lines_.SetSclHigh();
    lines_.SetSclLow();
  }

  // SCL low -> SCL low, SDA released; true when the slave pulled SDA low on the ninth clock.
  [[nodiscard]] bool ReadAck() {
    lines_.SetSclLow();
    lines_.SetSdaHigh();
    lines_.SetSclHigh();
    const bool acknowledged = lines_.ReadSda() == 0;
    lines_.SetSclLow();
    return acknowledged;
  }

  // SCL low, SDA released -> the same; most significant bit first; true when acknowledged.
  bool SendByte(uint8_t value) {
    for (int bit = 7; bit >= 0; --bit) {
      if ((value >> bit) & 1U) {
        lines_.SetSdaHigh();
      } else {
        lines_.SetSdaLow();
      }
      ClockPulse();
      lines_.SetSdaHigh();  // released between bits, SCL low
    }
    return ReadAck();
  }

  // SCL low -> SCL low, SDA released. The master acknowledges only when ack equals 1.
  uint8_t ReceiveByte(int ack) {
    lines_.SetSdaHigh();
    uint8_t result = 0;
    for (int bit = 7; bit >= 0; --bit) {
      lines_.SetSclHigh();
      if (lines_.ReadSda() != 0) result = static_cast<uint8_t>(result | (1U << bit));
      lines_.SetSclLow();
    }
    if (ack == 1) lines_.SetSdaLow();
    ClockPulse();
    lines_.SetSdaHigh();
    return result;
  }

  // The X24C01's resynchronisation before every write: nine SCL pulses, SDA untouched (high, as
  // the power-on or the previous stop left it); SCL ends high.
  void ResyncClocks() {
    for (int i = 0; i < kResyncPulses; ++i) {
      lines_.SetSclLow();
      lines_.SetSclHigh();
    }
  }

  Lines& lines() { return lines_; }

 private:
  Lines& lines_;
};

using I2cMaster = BasicI2cMaster<LineDriver>;

}  // namespace keldar
