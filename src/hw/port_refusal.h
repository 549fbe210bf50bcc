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
};

struct PortRefusal {
  PortRefusalReason reason = PortRefusalReason::Other;
  int error = 0;                 // the errno behind the reason, 0 when none
  unsigned long systemCode = 0;  // Other on Windows: GetLastError's code when no errno matches
  int pid = 0;                   // Locked: the holder's process number
  std::string program;           // Locked: the holder's name (/proc/PID/comm), "" when unknown
  std::string group;             // Permission: the group that owns the device
  std::string detail;  // Other: the French reason a "sim:" or "ftdi:" string was refused for
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
