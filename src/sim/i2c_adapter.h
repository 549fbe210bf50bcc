// A Linux I2C adapter as a program sees it through i2c-dev, with a simulated memory on its bus:
// i2c-dev's own checks, the adapter driver's limits as i2c-core's quirk checks enforce them, the
// driver's errno for what the memory refused, and an adapter pulled out. The syscall shim puts it
// behind a /dev/i2c-N node; tests use it as the bus itself.
#pragma once

#include <cerrno>
#include <cstdint>
#include <memory>

#include "hw/i2c_message.h"
#include "sim/i2c_bus.h"

namespace keldar::sim {

// The I2C_FUNCS of an adapter that does I2C and emulates SMBus (I2C_FUNC_I2C |
// I2C_FUNC_SMBUS_EMUL), as i2c-bcm2835 and i2c-algo-bit report.
inline constexpr uint64_t kPlainI2cFunctions = 0x0eff0009;

// How the adapter's driver behaves. The errnos differ from driver to driver: an unacknowledged
// address is ENXIO in most (i2c-algo-bit, i2c-i801, i2c-tiny-usb, hid-mcp2221), EREMOTEIO in
// i2c-bcm2835 and i2c-designware, ETIMEDOUT in hid-cp2112; a refused data byte EIO in
// i2c-algo-bit, EREMOTEIO or ETIMEDOUT in the same others.
struct I2cAdapterModel {
  uint64_t functions = kPlainI2cFunctions;
  size_t maxWrite = 0;          // the longest write message it takes; 0: no limit of its own
  size_t maxRead = 0;           // the longest read message
  bool noEmpty = false;         // it refuses empty messages (I2C_AQ_NO_ZERO_LEN)
  int limitErrno = EOPNOTSUPP;  // beyond those: i2c-core's quirk check; hid-cp2112 gives EINVAL
  int addressErrno = ENXIO;
  int dataErrno = EIO;
  uint64_t unplugAt = 0;  // the transfer at which it is pulled out; 0: never
  int unplugErrno = ENODEV;
  uint64_t latencyNs = 0;  // what each transfer costs beside the bits on the wire
};

class SimulatedI2cAdapter final : public I2cBus {
 public:
  SimulatedI2cAdapter(std::unique_ptr<SimulatedI2cBus> bus, const I2cAdapterModel& model)
      : bus_(std::move(bus)), model_(model) {}

  int Transfer(std::span<const I2cMessage> messages) override;
  uint64_t Functions() const override { return model_.functions; }
  // Time is the bus's simulated clock: sleeping lets it pass.
  void Sleep(std::chrono::microseconds duration) override;
  std::chrono::steady_clock::time_point Now() override;

  SimulatedI2cBus& bus() { return *bus_; }
  I2cAdapterModel& model() { return model_; }
  uint64_t transfers() const { return transfers_; }  // the calls that reached the driver

 private:
  std::unique_ptr<SimulatedI2cBus> bus_;
  I2cAdapterModel model_;
  uint64_t transfers_ = 0;
};

}  // namespace keldar::sim
