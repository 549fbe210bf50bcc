// Why a port could not be had, as facts (a reason, an errno, a process, a group), never as text:
// the front ends put it in French through src/messages.
#pragma once

#include <concepts>
#include <memory>
#include <string>
#include <utility>

#include "hw/port.h"

namespace keldar {

enum class PortRefusalReason {
  Other,          // error (errno) says what, or detail for a refused "sim:" or "ftdi:" string
  Missing,        // no such device: the adapter is not plugged in, or the name is wrong
  Permission,     // the device is not ours to open: group is the one that owns it
  Locked,         // a live UUCP lock file: pid (and program, when known) holds it
  Held,           // another program holds it in exclusive use (TIOCEXCL, flock, Windows)
  NoUart,         // it opens, but no UART answers behind it (a phantom /dev/ttyS1)
  NoFtdiCable,    // no FTDI cable matches the "ftdi:" string
  NotFt232r,      // the cable's chip has no synchronous bit-bang mode
  UsbAccess,      // the cable's USB device may not be opened (no udev rule)
  NoFtdiSupport,  // this build cannot drive FTDI cables
  BitBangClock,   // the cable clocks its bit-bang bytes faster than asked, even corrected
  // An "i2c:" adapter. Each carries the adapter's name from sysfs (adapter), so that a user
  // whose adapters were numbered anew sees which one the number now names.
  NoI2cDevNode,       // sysfs knows the adapter but /dev has no node: i2c-dev is not loaded
  I2cAdapterUnknown,  // a node that sysfs says nothing of: what it carries cannot be checked
  SmbusHost,          // the PC's SMBus host: the memory modules' SPD EEPROMs sit on it
  GraphicsBus,        // a graphics card's display (DDC) or DisplayPort AUX bus
  NoI2cTransfers,     // I2C_FUNCS lacks I2C_FUNC_I2C: SMBus transfers only
  AddressBound,       // a kernel driver holds an address the memory occupies (address, driver)
  PseudoI2cOnBus,     // the X24C01's pseudo-I2C framing cannot go through an I2C adapter
  NoI2cSupport,       // this platform has no i2c-dev
};

struct PortRefusal {
  PortRefusalReason reason = PortRefusalReason::Other;
  int error = 0;                 // the errno behind the reason, 0 when none
  unsigned long systemCode = 0;  // Other on Windows: GetLastError's code when no errno matches
  int pid = 0;                   // Locked: the holder's process number
  std::string program;           // Locked: the holder's name (/proc/PID/comm), "" when unknown
  std::string group;             // Permission: the group that owns the device
  std::string detail;   // Other: the French reason a "sim:" or "ftdi:" string was refused for
  std::string adapter;  // an I2C adapter's name, as sysfs gives it; "" when not known
  int address = -1;     // AddressBound: the 7-bit address
  std::string driver;   // AddressBound: the kernel driver bound there
  bool probed = false;  // AddressBound: an address the identification probes, whatever the type
};

[[nodiscard]] inline PortRefusal Refusal(PortRefusalReason reason, int error = 0) {
  PortRefusal refusal;
  refusal.reason = reason;
  refusal.error = error;
  return refusal;
}

// A port, or why there is none. Made implicitly from either, so that an opening returns what it
// has, and tests hand in their own ports.
struct PortOpening {
  PortOpening() = default;
  template <std::derived_from<ControlPort> Port>
  PortOpening(std::unique_ptr<Port> opened) : port(std::move(opened)) {}
  PortOpening(PortRefusal why) : refusal(std::move(why)) {}

  std::unique_ptr<ControlPort> port;
  PortRefusal refusal;  // meaningful when port is null
};

}  // namespace keldar
