// A one-line progress bar on standard error while a terminal is attached: the phase, the bytes
// done, the rate and the time left the operation service measures. Silent otherwise.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "session/operation_service.h"

namespace keldar::cli {

class ProgressMeter final : public OperationObserver {
 public:
  ProgressMeter(std::ostream& out, bool enabled) : out_(out), enabled_(enabled) {}

  void PhaseStarted(OperationPhase phase, uint32_t barMaximum) override;
  void BarMoved(uint32_t) override {}
  void BytesDone(uint32_t done, uint32_t total, std::optional<std::chrono::seconds> left) override;
  // Ends the line (when anything was drawn).
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;

  std::ostream& out_;
  bool enabled_;
  bool drawn_ = false;
  std::string label_;
  Clock::time_point start_{};
  Clock::time_point drawnAt_{};
};

// The text of one state of the bar, without the carriage return; elapsed in seconds.
[[nodiscard]] std::string ProgressLine(const std::string& label, uint32_t done, uint32_t total,
                                       double elapsedSeconds,
                                       std::optional<std::chrono::seconds> left);

}  // namespace keldar::cli
