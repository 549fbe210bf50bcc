#include "i2c/i2c.h"

namespace keldar {

void I2cMaster::I2cStart() {
  lines_.SetSdaHigh();
  lines_.SetSclHigh();
  lines_.SetSdaLow();  // SDA falls while SCL is high
  lines_.SetSclLow();
  lines_.SetSdaHigh();
}

void I2cMaster::I2cStop() {
  lines_.SetSdaLow();
  lines_.SetSclHigh();
  lines_.SetSdaHigh();  // SDA rises while SCL is high
}

void I2cMaster::ClockPulse() {
  lines_.SetSclLow();
  lines_.SetSclHigh();
  lines_.SetSclLow();
}

bool I2cMaster::ReadAck() {
  lines_.SetSclLow();
  lines_.SetSdaHigh();
  lines_.SetSclHigh();
  const uint8_t sample = lines_.ReadSda();
  lines_.SetSclLow();
  return sample == 0;
}

bool I2cMaster::SendByte(uint8_t value) {
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

uint8_t I2cMaster::ReceiveByte(int ack) {
  lines_.SetSdaHigh();
  uint8_t result = 0;
  for (int bit = 7; bit >= 0; --bit) {
    lines_.SetSclHigh();
    result = static_cast<uint8_t>(result | (lines_.ReadSda() << bit));
    lines_.SetSclLow();
  }
  if (ack == 1) lines_.SetSdaLow();
  ClockPulse();
  lines_.SetSdaHigh();
  return result;
}

}  // namespace keldar
