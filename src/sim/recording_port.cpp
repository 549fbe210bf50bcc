#include "sim/recording_port.h"

#include <algorithm>

namespace keldar::sim {

bool RecordingPort::EscapeCommFunction(int32_t code) {
  ++calls_;
  events_.push_back({PortEvent::Kind::Escape, code, 0, 0});
  if (Failing()) return false;
  return inner_ == nullptr || inner_->EscapeCommFunction(code);
}

bool RecordingPort::GetCommModemStatus(uint32_t& status) {
  ++calls_;
  if (Failing()) {
    events_.push_back({PortEvent::Kind::Status, 0, status, 0});
    return false;
  }
  bool ok = true;
  if (inner_ != nullptr) {
    ok = inner_->GetCommModemStatus(status);
  } else if (!script_.empty()) {
    status = script_.front();
    script_.pop_front();
  } else {
    status = steadyStatus_;
  }
  events_.push_back({PortEvent::Kind::Status, 0, status, 0});
  return ok;
}

void RecordingPort::Sleep(uint32_t milliseconds) {
  ++calls_;
  events_.push_back({PortEvent::Kind::Sleep, 0, 0, milliseconds});
  if (inner_ != nullptr) inner_->Sleep(milliseconds);
}

std::vector<int32_t> RecordingPort::EscapeCodes() const {
  std::vector<int32_t> codes;
  for (const PortEvent& e : events_) {
    if (e.kind == PortEvent::Kind::Escape) codes.push_back(e.code);
  }
  return codes;
}

size_t RecordingPort::Count(PortEvent::Kind kind) const {
  return static_cast<size_t>(std::count_if(events_.begin(), events_.end(),
                                           [kind](const PortEvent& e) { return e.kind == kind; }));
}

}  // namespace keldar::sim
