#include "hw/line_driver.h"

namespace keldar {

LineDriver::~LineDriver() {
  if (queued_) (void)port_.Flush();
}

uint8_t LineDriver::ReadSda() {
  uint8_t bit = 0;
  SampleSda(bit, 0);
  Flush();
  return bit;
}

void LineDriver::SampleSda(uint8_t& into, int bit) {
  const auto mask = static_cast<uint8_t>(1U << bit);
  if (!deferred_) {
    // After a failed read the scratch word keeps what it held, as the hardware call would leave
    // it.
    if (!port_.ReadInputs(inputs_)) portFailed_ = true;
    if (SdaBit(inputs_)) into |= mask;
    return;
  }
  if (pending_.capacity() == 0) pending_.reserve(kMaxPending);
  if (pending_.size() == kMaxPending) Flush();
  // A read the port never answers leaves the scratch word's value, as above.
  Pending& sample = pending_.emplace_back(Pending{inputs_, &into, mask});
  if (!port_.ReadInputsLater(sample.inputs)) portFailed_ = true;
  queued_ = true;
}

void LineDriver::Flush() {
  if (!queued_) return;
  if (!port_.Flush()) portFailed_ = true;
  queued_ = false;
  for (const Pending& sample : pending_) {
    if (SdaBit(sample.inputs)) *sample.into |= sample.mask;
  }
  pending_.clear();
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
