// The message-level I2C of Linux's i2c-dev: a transfer is a list of messages, each opened by a
// start (a repeated start after the first) and the 7-bit address with the direction bit; one stop
// ends the list. An adapter carries out a whole list in one I2C_RDWR call.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>

namespace keldar {

struct I2cMessage {
  uint8_t address = 0;  // 7-bit
  bool read = false;
  std::span<uint8_t> bytes;  // written from, or read into
};

// i2c-dev's own limits (include/uapi/linux/i2c-dev.h and drivers/i2c/i2c-dev.c): more messages
// in one call, or a longer message, is refused with EINVAL before anything is sent.
inline constexpr size_t kI2cMaxMessagesPerCall = 42;  // I2C_RDWR_IOCTL_MAX_MSGS
inline constexpr size_t kI2cMaxMessageLength = 8192;

// I2C_FUNCS bits this program reads (include/uapi/linux/i2c.h).
inline constexpr uint64_t kI2cFuncI2c = 0x00000001;         // I2C_FUNC_I2C: I2C_RDWR works
inline constexpr uint64_t kI2cFuncSmbusQuick = 0x00010000;  // I2C_FUNC_SMBUS_QUICK

// An open adapter, as the transfers above it need it.
class I2cBus {
 public:
  virtual ~I2cBus() = default;
  // One call of the adapter: the whole list under one stop. 0, or the errno its driver gave.
  [[nodiscard]] virtual int Transfer(std::span<const I2cMessage> messages) = 0;
  // The adapter's I2C_FUNCS bits, read at opening.
  [[nodiscard]] virtual uint64_t Functions() const = 0;
  virtual void Sleep(std::chrono::microseconds duration) = 0;
  [[nodiscard]] virtual std::chrono::steady_clock::time_point Now() = 0;
};

}  // namespace keldar
