// The bit-level I2C master over the line primitives. It keeps no state and knows no memory type.
// Each step of each routine is exactly one line operation: the sequence is the bus timing.
#pragma once

#include <cstdint>

#include "hw/line_driver.h"

namespace keldar {

class I2cMaster {
 public:
  explicit I2cMaster(LineDriver& lines) : lines_(lines) {}

  // Bus idle or SCL low with SDA released -> SCL low, SDA released. Also the repeated start.
  void I2cStart();
  // SCL low -> SCL and SDA high, bus idle.
  void I2cStop();
  // -> SCL low; SDA unchanged.
  void ClockPulse();
  // SCL low -> SCL low, SDA released; true when the slave pulled SDA low on the ninth clock.
  [[nodiscard]] bool ReadAck();
  // SCL low, SDA released -> the same; most significant bit first; true when acknowledged.
  bool SendByte(uint8_t value);
  // SCL low -> SCL low, SDA released. The master acknowledges only when ack equals 1.
  uint8_t ReceiveByte(int ack);

  LineDriver& lines() { return lines_; }

 private:
  LineDriver& lines_;
};

}  // namespace keldar
