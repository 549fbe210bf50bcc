// i2c-dev: open, flock, I2C_FUNCS at opening; one I2C_RDWR ioctl per transfer, whose errno is
// handed up as it is.
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <ctime>

#include "hw/i2c_dev_bus.h"
#include "hw/owning_group.h"

namespace keldar {
namespace {

static_assert(kI2cMaxMessagesPerCall == I2C_RDWR_IOCTL_MAX_MSGS);
static_assert(kI2cFuncI2c == I2C_FUNC_I2C && kI2cFuncSmbusQuick == I2C_FUNC_SMBUS_QUICK);

class I2cDevBus final : public I2cBus {
 public:
  I2cDevBus(int fd, uint64_t functions) : fd_(fd), functions_(functions) {}
  ~I2cDevBus() override { ::close(fd_); }  // releases the flock
  I2cDevBus(const I2cDevBus&) = delete;
  I2cDevBus& operator=(const I2cDevBus&) = delete;

  int Transfer(std::span<const I2cMessage> messages) override {
    if (messages.empty() || messages.size() > kI2cMaxMessagesPerCall) return EINVAL;
    std::array<i2c_msg, kI2cMaxMessagesPerCall> raw{};
    for (size_t i = 0; i < messages.size(); ++i) {
      const I2cMessage& message = messages[i];
      if (message.bytes.size() > kI2cMaxMessageLength) return EINVAL;
      raw[i].addr = message.address;
      raw[i].flags = message.read ? I2C_M_RD : 0;
      raw[i].len = static_cast<__u16>(message.bytes.size());
      raw[i].buf = message.bytes.data();
    }
    i2c_rdwr_ioctl_data data{raw.data(), static_cast<__u32>(messages.size())};
    // Success is the count of messages carried out. An interrupted transfer is not repeated: a
    // write may have reached the memory.
    return ::ioctl(fd_, I2C_RDWR, &data) < 0 ? errno : 0;
  }

  uint64_t Functions() const override { return functions_; }

  void Sleep(std::chrono::microseconds duration) override {
    timespec remaining{static_cast<time_t>(duration.count() / 1'000'000),
                       static_cast<long>(duration.count() % 1'000'000) * 1000L};
    while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
  }

  std::chrono::steady_clock::time_point Now() override { return std::chrono::steady_clock::now(); }

 private:
  int fd_;
  uint64_t functions_;
};

PortRefusal OpenFailure(const std::string& node, int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:  // the adapter went away (i2cdev_open)
    case ENXIO:
      return Refusal(PortRefusalReason::Missing, error);
    case EACCES:
    case EPERM: {
      // Debian's i2c-tools rule gives the nodes to the group i2c, as Raspberry Pi OS does.
      PortRefusal refusal = Refusal(PortRefusalReason::Permission, error);
      refusal.group = OwningGroup(node, "i2c");
      return refusal;
    }
    default:
      return Refusal(PortRefusalReason::Other, error);
  }
}

}  // namespace

bool I2cDevAvailable() {
  return true;
}

I2cBusOpening OpenI2cDevBus(const std::string& node) {
  const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return {nullptr, OpenFailure(node, errno)};
  // i2c-dev lets any number of programs open a node; keldar and its kin take it whole.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return {
        nullptr,
        Refusal(error == EWOULDBLOCK ? PortRefusalReason::Held : PortRefusalReason::Other, error)};
  }
  unsigned long functions = 0;
  if (::ioctl(fd, I2C_FUNCS, &functions) != 0) {
    const int error = errno;  // ENOTTY: not an i2c-dev node
    ::close(fd);
    return {nullptr, Refusal(PortRefusalReason::Other, error)};
  }
  if ((functions & I2C_FUNC_I2C) == 0) {
    ::close(fd);
    return {nullptr, Refusal(PortRefusalReason::NoI2cTransfers)};
  }
  return {std::make_unique<I2cDevBus>(fd, functions), {}};
}

}  // namespace keldar
