#include "sim/i2c_adapter.h"

namespace keldar::sim {

// In the kernel's order: i2c-dev (i2cdev_ioctl, i2cdev_ioctl_rdwr), i2c-core
// (i2c_check_for_quirks), then the adapter's driver and the bus.
int SimulatedI2cAdapter::Transfer(std::span<const I2cMessage> messages) {
  if (messages.empty() || messages.size() > kI2cMaxMessagesPerCall) return EINVAL;
  if ((model_.functions & kI2cFuncI2c) == 0) return EOPNOTSUPP;
  for (const I2cMessage& message : messages) {
    if (message.bytes.size() > kI2cMaxMessageLength) return EINVAL;
  }
  for (const I2cMessage& message : messages) {
    const size_t limit = message.read ? model_.maxRead : model_.maxWrite;
    if ((limit != 0 && message.bytes.size() > limit) || (model_.noEmpty && message.bytes.empty()))
      return model_.limitErrno;
  }
  ++transfers_;
  if (model_.unplugAt != 0 && transfers_ >= model_.unplugAt) return model_.unplugErrno;
  bus_->Advance(model_.latencyNs);
  switch (bus_->Transfer(messages).refusal) {
    case I2cBusOutcome::Refusal::Address:
      return model_.addressErrno;
    case I2cBusOutcome::Refusal::Data:
      return model_.dataErrno;
    case I2cBusOutcome::Refusal::None:
      break;
  }
  return 0;
}

void SimulatedI2cAdapter::Sleep(std::chrono::microseconds duration) {
  bus_->Advance(static_cast<uint64_t>(duration.count()) * 1000U);
}

std::chrono::steady_clock::time_point SimulatedI2cAdapter::Now() {
  return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(bus_->clock()));
}

}  // namespace keldar::sim
