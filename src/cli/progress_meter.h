// A one-line progress bar on standard error while a terminal is attached: the operation, the
// bytes done, the rate and the time left. Silent otherwise.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>

namespace keldar::cli {

class ProgressMeter {
 public:
  ProgressMeter(std::ostream& out, bool enabled, std::string label, uint32_t total);
  void Update(uint32_t done);
  // Ends the line (when anything was drawn).
  void Finish();

 private:
  std::ostream& out_;
  bool enabled_;
  bool drawn_ = false;
  std::string label_;
  uint32_t total_;
  std::chrono::steady_clock::time_point start_;
};

// The text of one state of the bar, without the carriage return; elapsed in seconds.
[[nodiscard]] std::string ProgressLine(const std::string& label, uint32_t done, uint32_t total,
                                       double elapsedSeconds);

}  // namespace keldar::cli
