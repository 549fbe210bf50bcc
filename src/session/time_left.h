// The time an operation still needs, from the rate its current phase has gone at so far. A
// phase after the current one (the read back after programming) is weighed by its port calls
// against the current phase's, since both run at the port's pace.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace keldar {

class TimeLeft {
 public:
  using Clock = std::chrono::steady_clock;

  // The port calls each phase of the operation makes, in order.
  explicit TimeLeft(std::vector<uint64_t> phaseCalls) : phaseCalls_(std::move(phaseCalls)) {}

  void StartPhase(size_t phase, Clock::time_point now);
  // Nothing until the phase has run long enough for its rate to mean something.
  [[nodiscard]] std::optional<std::chrono::seconds> Estimate(uint32_t done, uint32_t total,
                                                             Clock::time_point now) const;

 private:
  std::vector<uint64_t> phaseCalls_;
  size_t phase_ = 0;
  Clock::time_point phaseStart_{};
};

}  // namespace keldar
