// What a device's port calls cost, measured on the wall clock, and the time each operation will
// take on it. The reader is left unpowered throughout: Valim is never raised, so a memory in the
// reader sees nothing of the measure.
#pragma once

#include <cstdint>
#include <string>

#include "hw/linemap.h"
#include "hw/port.h"
#include "hw/port_refusal.h"
#include "i2c/call_counts.h"
#include "i2c/catalogue.h"

namespace keldar {

struct CallTally {
  uint64_t calls = 0;
  double seconds = 0;
  [[nodiscard]] double Mean() const { return calls == 0 ? 0 : seconds / double(calls); }
};

struct PortProbe {
  CallTally txd, dtr, rts, status;  // each physical line's changes, and the status reads
  bool failed = false;              // a call failed: the adapter may have been pulled out
  bool streams = false;  // FTDI bit-bang: a line change is a byte of a stream, not a call
  // A stream's bytes per second: reached by its idle stream at opening, and asked.
  uint32_t streamRate = 0;
  uint32_t askedStreamRate = 0;
  // A line not measured (Valim's, changed only by the power sequences) costs what the others do.
  // On a stream every call is a byte at the rate reached, and each poll a round trip more.
  [[nodiscard]] PortCallCosts Costs() const;
};

// Measures an open port as the reader is wired (the access time's reads left out): power off,
// status reads, SCL and SDA toggled, power off. Each measure takes at most 200 calls or 3 s.
[[nodiscard]] PortProbe ProbePort(ControlPort& port, const LineMap& map);

// Seconds each operation on the type takes under the map; a compare makes the calls of a read.
struct OperationTimes {
  double read = 0;
  double pageProgram = 0;
  double compare = 0;
};
[[nodiscard]] OperationTimes EstimateOperationTimes(const MemoryType& type, const LineMap& map,
                                                    const PortCallCosts& costs);

enum class MeasureOutcome : uint8_t {
  Measured,
  Unavailable,  // the device could not be opened
  PortFailed,   // a call failed during the measure
};

struct DeviceMeasurement {
  MeasureOutcome outcome = MeasureOutcome::Unavailable;
  PortRefusal refusal;  // Unavailable: why the device could not be opened
  PortProbe probe;
  OperationTimes times;  // of the type asked for
};

// The measure of one device for a front end: opened for the measure and closed after, or, when
// the program already holds it, through heldPort (nullptr otherwise).
[[nodiscard]] DeviceMeasurement MeasureDevice(const std::string& device, ControlPort* heldPort,
                                              const LineMap& map, const MemoryType& type);

}  // namespace keldar
