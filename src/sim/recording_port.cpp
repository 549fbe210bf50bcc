#include "sim/recording_port.h"

#include <algorithm>

namespace keldar::sim {

bool RecordingPort::SetLine(OutputLine line, bool asserted) {
  ++calls_;
  events_.push_back(LineEvent(line, asserted));
  if (Failing()) return false;
  return inner_ == nullptr || inner_->SetLine(line, asserted);
}

bool RecordingPort::ReadInputs(InputLevels& levels) {
  ++calls_;
  if (Failing()) {
    events_.push_back(ReadEvent(levels));
    return false;
  }
  bool ok = true;
  if (inner_ != nullptr) {
    ok = inner_->ReadInputs(levels);
  } else if (!script_.empty()) {
    levels = script_.front();
    script_.pop_front();
  } else {
    levels = steady_;
  }
  events_.push_back(ReadEvent(levels));
  return ok;
}

void RecordingPort::Sleep(uint32_t milliseconds) {
  ++calls_;
  events_.push_back(SleepEvent(milliseconds));
  if (inner_ != nullptr) inner_->Sleep(milliseconds);
}

std::vector<PortEvent> RecordingPort::LineChanges() const {
  std::vector<PortEvent> changes;
  for (const PortEvent& e : events_) {
    if (e.kind == PortEvent::Kind::Line) changes.push_back(e);
  }
  return changes;
}

size_t RecordingPort::Count(PortEvent::Kind kind) const {
  return static_cast<size_t>(std::count_if(events_.begin(), events_.end(),
                                           [kind](const PortEvent& e) { return e.kind == kind; }));
}

}  // namespace keldar::sim
