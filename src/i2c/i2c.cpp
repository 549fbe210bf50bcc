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
  uint8_t nack = 0;
  ReadAck(nack);
  lines_.Flush();
  return nack == 0;
}

void I2cMaster::ReadAck(uint8_t& nack) {
  lines_.SetSclLow();
  lines_.SetSdaHigh();
  lines_.SetSclHigh();
  nack = 0;
  lines_.SampleSda(nack, 0);
  lines_.SetSclLow();
}

bool I2cMaster::SendByte(uint8_t value) {
  uint8_t nack = 0;
  SendByte(value, nack);
  lines_.Flush();
  return nack == 0;
}

void I2cMaster::SendByte(uint8_t value, uint8_t& nack) {
  for (int bit = 7; bit >= 0; --bit) {
    if ((value >> bit) & 1U) {
      lines_.SetSdaHigh();
    } else {
      lines_.SetSdaLow();
    }
    ClockPulse();
    lines_.SetSdaHigh();  // released between bits, SCL low
  }
  ReadAck(nack);
}

uint8_t I2cMaster::ReceiveByte(int ack) {
  uint8_t result = 0;
  ReceiveByte(ack, result);
  lines_.Flush();
  return result;
}

void I2cMaster::ReceiveByte(int ack, uint8_t& into) {
  lines_.SetSdaHigh();
  into = 0;
  for (int bit = 7; bit >= 0; --bit) {
    lines_.SetSclHigh();
    lines_.SampleSda(into, bit);
    lines_.SetSclLow();
  }
  if (ack == 1) lines_.SetSdaLow();
  ClockPulse();
  lines_.SetSdaHigh();
}

}  // namespace keldar
