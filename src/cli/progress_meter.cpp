#include "cli/progress_meter.h"

#include <algorithm>
#include <cstdio>

namespace keldar::cli {

namespace {
constexpr int kBarWidth = 30;
}

std::string ProgressLine(const std::string& label, uint32_t done, uint32_t total,
                         double elapsedSeconds) {
  const double fraction = total == 0 ? 1.0 : std::min(1.0, double(done) / double(total));
  const int filled = static_cast<int>(fraction * kBarWidth);
  std::string line = label + " [" + std::string(static_cast<size_t>(filled), '#') +
                     std::string(static_cast<size_t>(kBarWidth - filled), '.') + "] ";
  char numbers[96];
  if (elapsedSeconds > 0.05 && done > 0) {
    const double rate = done / elapsedSeconds;
    const auto left = static_cast<unsigned>((total - std::min(done, total)) / rate + 0.5);
    std::snprintf(numbers, sizeof numbers, "%u/%u octets  %.0f o/s  reste %u:%02u", done, total,
                  rate, left / 60, left % 60);
  } else {
    std::snprintf(numbers, sizeof numbers, "%u/%u octets", done, total);
  }
  return line + numbers;
}

ProgressMeter::ProgressMeter(std::ostream& out, bool enabled, std::string label, uint32_t total)
    : out_(out),
      enabled_(enabled),
      label_(std::move(label)),
      total_(total),
      start_(std::chrono::steady_clock::now()) {}

void ProgressMeter::Update(uint32_t done) {
  if (!enabled_) return;
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start_;
  // Padding clears what a longer previous line left behind.
  out_ << '\r' << ProgressLine(label_, done, total_, elapsed.count()) << "   " << std::flush;
  drawn_ = true;
}

void ProgressMeter::Finish() {
  if (drawn_) out_ << '\n' << std::flush;
  drawn_ = false;
}

}  // namespace keldar::cli
