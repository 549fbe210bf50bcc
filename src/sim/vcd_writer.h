// A Value Change Dump of the reader's bus as a logic analyser clipped onto the memory sees it:
// SCL, SDA and Valim, one line per change. Times are given in nanoseconds and written in a unit
// (a power of ten, 1 ns to 1 us) chosen coarse enough that whole-memory traces stay small for
// PulseView, yet fine enough that two port calls never share a tick.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace keldar::sim {

class VcdWriter {
 public:
  enum Signal : uint8_t { kScl = 0, kSda = 1, kValim = 2 };

  VcdWriter() = default;
  ~VcdWriter();
  VcdWriter(const VcdWriter&) = delete;
  VcdWriter& operator=(const VcdWriter&) = delete;

  // The unit for port calls that take callCostNs each: at most half a call.
  static uint64_t UnitFor(uint64_t callCostNs);

  // Creates the file and writes the header with the initial levels. False when it cannot.
  [[nodiscard]] bool Open(const std::string& path, uint64_t unitNs, bool scl, bool sda, bool valim);
  bool isOpen() const { return file_ != nullptr; }
  // Records level at time t if it differs from the signal's last level; times never go back.
  void Change(uint64_t t, Signal signal, bool level);
  // Writes the end time and closes the file.
  void Close(uint64_t t);

 private:
  std::FILE* file_ = nullptr;
  uint64_t unitNs_ = 1;
  uint64_t lastTick_ = 0;
  bool levels_[3] = {false, false, false};
};

}  // namespace keldar::sim
