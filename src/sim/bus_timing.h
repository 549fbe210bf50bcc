// The bus timing a memory's datasheet asks for, checked at its pins: every phase of SCL and SDA
// on the simulated clock is compared with the minimum of the memory's speed class, whatever
// produced the edges. Each phase too short is counted by kind; the reader makes the memory
// misbehave where a real part would (data sampled before it is valid, a bit latched before it
// settled).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "sim/sim_config.h"

namespace keldar::sim {

enum class TimingRule : uint8_t {
  ClockLow,    // tLOW: SCL low between two clock pulses
  ClockHigh,   // tHIGH: SCL high
  StartSetup,  // tSU:STA: SCL high before SDA falls for a (repeated) start
  StartHold,   // tHD:STA: from the start to the fall of SCL
  StopSetup,   // tSU:STO: SCL high before SDA rises for a stop
  DataSetup,   // tSU:DAT: SDA steady before SCL rises
  BusFree,     // tBUF: from a stop to the next start
  DataValid,   // tAA: from the fall of SCL to the master's sample of a bit the memory drives
};
inline constexpr size_t kTimingRuleCount = 8;

// Nanoseconds per rule: the minimum duration of each phase, and for DataValid the longest time
// the memory may take to drive a new bit.
using TimingLimits = std::array<uint64_t, kTimingRuleCount>;

// The limits of a speed class; nullptr for BusSpeed::Unchecked.
[[nodiscard]] const TimingLimits* LimitsFor(BusSpeed speed);

struct TimingViolations {
  std::array<uint64_t, kTimingRuleCount> counts{};
  [[nodiscard]] uint64_t of(TimingRule rule) const { return counts[static_cast<size_t>(rule)]; }
  [[nodiscard]] uint64_t total() const;
};

class BusTimingCheck {
 public:
  explicit BusTimingCheck(BusSpeed speed) : limits_(LimitsFor(speed)) {}

  bool checked() const { return limits_ != nullptr; }
  // The time the memory takes to drive a new bit after SCL falls (tAA); 0 when unchecked.
  uint64_t accessTime() const;
  const TimingViolations& violations() const { return violations_; }

  // Events at the pins while the memory is powered; now is the simulated time in nanoseconds.
  // Power-up leaves the bus idle: no phase is measured across it.
  void PowerUp(uint64_t now);
  // Returns false when SDA moved less than tSU:DAT before: the memory latches its old level.
  [[nodiscard]] bool SclRose(uint64_t now);
  // memoryDrives: the memory drives SDA from this fall on (a data bit or its acknowledge).
  void SclFell(uint64_t now, bool memoryDrives);
  void SdaMoved(uint64_t now);  // the master moved SDA while SCL was low
  void Start(uint64_t now);
  void Stop(uint64_t now);
  void Sampled(uint64_t now);  // a read of SDA: the last one while SCL is high is the sample

 private:
  // Counts a violation when the phase from..to is shorter than the rule allows; true when not.
  bool Check(TimingRule rule, uint64_t from, uint64_t to);

  const TimingLimits* limits_;
  TimingViolations violations_;
  bool sclHigh_ = true;
  uint64_t sclRose_ = 0;
  uint64_t sclFell_ = 0;
  bool fell_ = false;  // a fall seen since power-up, so that a low phase can be measured
  uint64_t sdaMoved_ = 0;
  bool moved_ = false;
  uint64_t started_ = 0;
  bool startPending_ = false;  // a start whose hold ends at the next fall of SCL
  uint64_t stopped_ = 0;       // the bus is free from here (a stop or the power-up)
  bool free_ = true;
  bool memoryDrives_ = false;
  uint64_t sampled_ = 0;
  bool sampledHigh_ = false;  // a read made while SCL was high since it last rose
};

}  // namespace keldar::sim
