// What the program holds open to reach the memory: a port whose lines drive a reader (a serial
// port, an FTDI cable, the simulated reader), to be read through a line map, or an I2C adapter
// that carries messages itself and has no lines of its own.
#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "hw/i2c_message.h"
#include "hw/port.h"
#include "hw/port_refusal.h"
#include "i2c/catalogue.h"

namespace keldar {

// Why an operation may not run on an I2C adapter with the memory of this type at these pins, or,
// for the identification, with every address 1010xxx it probes; nothing when it may.
using I2cUseCheck = std::function<std::optional<PortRefusal>(const MemoryType& type, int32_t base,
                                                             bool identification)>;

struct ReaderDevice {
  ReaderDevice() = default;
  template <std::derived_from<ControlPort> Port>
  ReaderDevice(std::unique_ptr<Port> opened) : port(std::move(opened)) {}

  std::unique_ptr<ControlPort> port;
  std::unique_ptr<I2cBus> i2c;
  std::string adapterName;  // the I2C adapter's, as sysfs gave it at opening
  // The I2C adapter's check before each operation, which reads sysfs again: a kernel driver may
  // have been bound to the memory's address since the opening. Unset: nothing is refused.
  I2cUseCheck checkUse;

  [[nodiscard]] bool IsOpen() const { return port != nullptr || i2c != nullptr; }
};

// A device, or why there is none. Made implicitly from a port's opening, so that the openers of
// ports and tests hand in what they have.
struct ReaderOpening {
  ReaderOpening() = default;
  ReaderOpening(ReaderDevice opened) : device(std::move(opened)) {}
  ReaderOpening(PortOpening opening)
      : device(std::move(opening.port)), refusal(std::move(opening.refusal)) {}
  template <std::derived_from<ControlPort> Port>
  ReaderOpening(std::unique_ptr<Port> opened) : device(std::move(opened)) {}
  ReaderOpening(PortRefusal why) : refusal(std::move(why)) {}

  ReaderDevice device;
  PortRefusal refusal;  // meaningful when the device is not open
};

}  // namespace keldar
