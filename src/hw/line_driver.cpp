#include "hw/line_driver.h"

namespace keldar {

uint8_t LineDriver::ReadSda() {
  // After a failed read the scratch word keeps what it held, as the hardware call would leave it.
  if (!port_.GetCommModemStatus(status_)) portFailed_ = true;
  const uint8_t bit = (status_ & map_.sdaInputMask) != 0 ? 1 : 0;
  return map_.complementSdaIn ? static_cast<uint8_t>(bit ^ 1U) : bit;
}

void LineDriver::PowerOn() {
  SetSdaHigh();
  SetSclHigh();
  SetValimHigh();
  port_.Sleep(20);
}

void LineDriver::PowerOff() {
  SetValimLow();
  SetSclLow();
  SetSdaLow();
  port_.Sleep(20);
}

}  // namespace keldar
