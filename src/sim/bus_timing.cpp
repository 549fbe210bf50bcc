#include "sim/bus_timing.h"

#include <numeric>

namespace keldar::sim {

namespace {

// The strictest figure of the AC characteristics tables of Microchip (24AA256/24LC256/24FC256,
// 24AA02/24LC02B/24FC02, 24C02C), Atmel (AT24C02A/04A/08A, AT24C256B), ST (M24C04, M24256) and
// Xicor (X24C02), in the order of TimingRule: tLOW, tHIGH, tSU:STA, tHD:STA, tSU:STO, tSU:DAT,
// tBUF, tAA.
// 100 kHz: tSU:STO 4.7 us (Xicor; Microchip and ST 4.0), tAA 4.5 us (Atmel 1.8 V; Microchip 3.5).
constexpr TimingLimits kStandard{4'700, 4'000, 4'700, 4'000, 4'700, 250, 4'700, 4'500};
// 400 kHz: tLOW and tBUF 1.3 us (Atmel 1.2).
constexpr TimingLimits kFast{1'300, 600, 600, 600, 600, 100, 1'300, 900};
// 1 MHz: tHIGH 500 ns (24FC256; AT24C256B 400, 24FC02 260), tSU:DAT 100 ns (24FC02 50),
// tAA 550 ns (AT24C256B; 24FC256 400).
constexpr TimingLimits kFastPlus{500, 500, 250, 250, 250, 100, 500, 550};

}  // namespace

const TimingLimits* LimitsFor(BusSpeed speed) {
  switch (speed) {
    case BusSpeed::Standard100k:
      return &kStandard;
    case BusSpeed::Fast400k:
      return &kFast;
    case BusSpeed::FastPlus1m:
      return &kFastPlus;
    case BusSpeed::Unchecked:
      break;
  }
  return nullptr;
}

uint64_t TimingViolations::total() const {
  return std::accumulate(counts.begin(), counts.end(), uint64_t{0});
}

uint64_t BusTimingCheck::accessTime() const {
  return limits_ == nullptr ? 0 : (*limits_)[static_cast<size_t>(TimingRule::DataValid)];
}

bool BusTimingCheck::Check(TimingRule rule, uint64_t from, uint64_t to) {
  const auto at = static_cast<size_t>(rule);
  if (limits_ == nullptr || to - from >= (*limits_)[at]) return true;
  ++violations_.counts[at];
  return false;
}

void BusTimingCheck::PowerUp(uint64_t now) {
  // The master raises both lines before the supply, so the bus comes up idle.
  sclHigh_ = true;
  sclRose_ = now;
  fell_ = false;
  moved_ = false;
  startPending_ = false;
  stopped_ = now;
  free_ = true;
  memoryDrives_ = false;
  sampledHigh_ = false;
}

bool BusTimingCheck::SclRose(uint64_t now) {
  if (fell_) Check(TimingRule::ClockLow, sclFell_, now);
  sclHigh_ = true;
  sclRose_ = now;
  sampledHigh_ = false;
  const bool steady = !moved_ || Check(TimingRule::DataSetup, sdaMoved_, now);
  moved_ = false;
  return steady;
}

void BusTimingCheck::SclFell(uint64_t now, bool memoryDrives) {
  Check(TimingRule::ClockHigh, sclRose_, now);
  if (startPending_) Check(TimingRule::StartHold, started_, now);
  // The master's sample is its last read before SCL falls again.
  if (memoryDrives_ && sampledHigh_) Check(TimingRule::DataValid, sclFell_, sampled_);
  startPending_ = false;
  sclHigh_ = false;
  sclFell_ = now;
  fell_ = true;
  memoryDrives_ = memoryDrives;
  sampledHigh_ = false;
}

void BusTimingCheck::SdaMoved(uint64_t now) {
  sdaMoved_ = now;
  moved_ = true;
}

void BusTimingCheck::Start(uint64_t now) {
  Check(TimingRule::StartSetup, sclRose_, now);
  if (free_) Check(TimingRule::BusFree, stopped_, now);
  free_ = false;
  started_ = now;
  startPending_ = true;
  memoryDrives_ = false;
}

void BusTimingCheck::Stop(uint64_t now) {
  Check(TimingRule::StopSetup, sclRose_, now);
  stopped_ = now;
  free_ = true;
  startPending_ = false;
  memoryDrives_ = false;
}

void BusTimingCheck::Sampled(uint64_t now) {
  if (!sclHigh_) return;
  sampled_ = now;
  sampledHigh_ = true;
}

}  // namespace keldar::sim
