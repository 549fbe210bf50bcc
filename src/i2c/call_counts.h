// The port calls a whole operation makes, counted by running the operation itself on a port that
// only counts (every byte acknowledged, each 256-byte block reading apart from the others):
// keldar-cli, the port chooser and the time left turn them into the time an operation will take
// on a measured port.
#pragma once

#include <cstdint>

#include "hw/linemap.h"
#include "i2c/catalogue.h"

namespace keldar {

// Output changes per logical line (each costs 1 + accessTime port calls) and SDA samples (one
// status read each).
struct BusSteps {
  uint64_t valim = 0;
  uint64_t scl = 0;
  uint64_t sda = 0;
  uint64_t samples = 0;

  [[nodiscard]] uint64_t Outputs() const { return valim + scl + sda; }
  [[nodiscard]] uint64_t PortCalls(int32_t accessTime) const {
    return Outputs() * (1U + static_cast<uint64_t>(accessTime)) + samples;
  }
};

struct OperationCalls {
  BusSteps steps;            // the whole operation, each write cycle ended by its first poll
  uint64_t sleepMs = 0;      // the rests after powering on and off
  uint64_t writeCycles = 0;  // acknowledge polls that may repeat while the memory writes
  BusSteps poll;             // one acknowledge poll
  BusSteps pollAnswer;       // from a poll's start to the memory taking the device byte
};

// Every byte acknowledged at once: the shortest sequence of a successful operation. A compare
// makes the calls of a read. Under the standard map, access time 0 (PortCalls adds the delays).
[[nodiscard]] OperationCalls ReadCalls(const MemoryType& type);
[[nodiscard]] OperationCalls PageProgramCalls(const MemoryType& type);
// Byte by byte where the type allows it, by pages where it does not, as the programming does.
[[nodiscard]] OperationCalls ByteProgramCalls(const MemoryType& type);

// What one call costs on a port, in seconds: a change of each physical output line and a status
// read. A break (TxD) often costs more than a modem line on USB adapters.
struct PortCallCosts {
  double txd = 0;
  double dtr = 0;
  double rts = 0;
  double statusRead = 0;
  // What each acknowledge poll adds: on a stream, where every call is a byte, the USB round trip
  // that waits for its answer; nothing on a serial port, whose calls answer at once.
  double perPoll = 0;
};

// The write cycle (tWR) the type's datasheets give at most, for estimates made before a memory
// has answered.
[[nodiscard]] constexpr double DatasheetWriteCycleSeconds(const MemoryType& type) {
  return static_cast<double>(type.writeCycleMs) / 1000.0;
}

// Seconds the operation takes under this line map: its port calls at their measured costs, its
// rests, and the polls repeated while each write cycle (writeCycleSeconds) runs.
[[nodiscard]] double EstimateSeconds(const OperationCalls& calls, const LineMap& map,
                                     const PortCallCosts& costs, double writeCycleSeconds);

}  // namespace keldar
