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

  // The same steps with the samples left to the line driver (LineDriver::SampleSda): the
  // slave's answer (nack: 0 acknowledged, 1 refused) or the byte lands in its destination at
  // once, or at the next flush on a port that streams. The forms above wait for it.
  void ReadAck(uint8_t& nack);
  void SendByte(uint8_t value, uint8_t& nack);
  void ReceiveByte(int ack, uint8_t& into);

  LineDriver& lines() { return lines_; }

 private:
  LineDriver& lines_;
};

}  // namespace keldar
