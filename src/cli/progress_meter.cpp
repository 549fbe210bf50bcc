#include "cli/progress_meter.h"

#include <algorithm>
#include <cstdio>

namespace keldar::cli {

namespace {

constexpr int kBarWidth = 30;
// A terminal redrawn for every byte would cost more than the bus on a fast port.
constexpr std::chrono::milliseconds kRedraw{100};

const char* Label(OperationPhase phase) {
  switch (phase) {
    case OperationPhase::Reading:
      return "Lecture";
    case OperationPhase::Programming:
      return "Programmation";
    case OperationPhase::Verifying:
      return "Vérification";
    case OperationPhase::Comparing:
      return "Comparaison";
    case OperationPhase::Identifying:
      return "Identification";
  }
  return "";
}

}  // namespace

std::string ProgressLine(const std::string& label, uint32_t done, uint32_t total,
                         double elapsedSeconds, std::optional<std::chrono::seconds> left) {
  const double fraction = total == 0 ? 1.0 : std::min(1.0, double(done) / double(total));
  const int filled = static_cast<int>(fraction * kBarWidth);
  std::string line = label + " [" + std::string(static_cast<size_t>(filled), '#') +
                     std::string(static_cast<size_t>(kBarWidth - filled), '.') + "] ";
  char numbers[96];
  int length = std::snprintf(numbers, sizeof numbers, "%u/%u octets", done, total);
  if (elapsedSeconds > 0.05 && done > 0) {
    length += std::snprintf(numbers + length, sizeof numbers - static_cast<size_t>(length),
                            "  %.0f o/s", done / elapsedSeconds);
  }
  if (left) {
    const auto seconds = static_cast<long long>(left->count());
    std::snprintf(numbers + length, sizeof numbers - static_cast<size_t>(length),
                  "  reste %lld:%02lld", seconds / 60, seconds % 60);
  }
  return line + numbers;
}

void ProgressMeter::PhaseStarted(OperationPhase phase, uint32_t) {
  Finish();
  label_ = Label(phase);
  start_ = Clock::now();
  drawnAt_ = Clock::time_point{};
}

void ProgressMeter::BytesDone(uint32_t done, uint32_t total,
                              std::optional<std::chrono::seconds> left) {
  if (!enabled_) return;
  const Clock::time_point now = Clock::now();
  if (done < total && now - drawnAt_ < kRedraw) return;
  drawnAt_ = now;
  const std::chrono::duration<double> elapsed = now - start_;
  // Padding clears what a longer previous line left behind.
  out_ << '\r' << ProgressLine(label_, done, total, elapsed.count(), left) << "   " << std::flush;
  drawn_ = true;
}

void ProgressMeter::Finish() {
  if (drawn_) out_ << '\n' << std::flush;
  drawn_ = false;
}

}  // namespace keldar::cli
