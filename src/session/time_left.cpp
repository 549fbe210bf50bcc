#include "session/time_left.h"

#include <cmath>

namespace keldar {
namespace {

// Below this the first bytes, slowed by the power-on rest and the address phase, would give a
// rate far too low.
constexpr std::chrono::milliseconds kSettle{1000};

}  // namespace

void TimeLeft::StartPhase(size_t phase, Clock::time_point now) {
  phase_ = phase;
  phaseStart_ = now;
}

std::optional<std::chrono::seconds> TimeLeft::Estimate(uint32_t done, uint32_t total,
                                                       Clock::time_point now) const {
  const auto elapsed = now - phaseStart_;
  if (done == 0 || total == 0 || elapsed < kSettle || phase_ >= phaseCalls_.size()) {
    return std::nullopt;
  }
  const double fraction = static_cast<double>(done) / total;
  const double seconds = std::chrono::duration<double>(elapsed).count();
  const double phaseSeconds = seconds / fraction;
  double later = 0;
  for (size_t p = phase_ + 1; p < phaseCalls_.size(); ++p)
    later += static_cast<double>(phaseCalls_[p]);
  const double current = static_cast<double>(phaseCalls_[phase_]);
  const double left =
      phaseSeconds * (1.0 - fraction) + (current > 0 ? phaseSeconds * later / current : 0.0);
  return std::chrono::seconds(std::llround(std::max(left, 0.0)));
}

}  // namespace keldar
