// A port that logs every call (line change, status read, sleep) for tests that check exact
// call sequences. It forwards to an inner port when given one (a simulated reader), or answers
// status reads from a script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "hw/port.h"

namespace keldar::sim {

struct PortEvent {
  enum class Kind { Line, Read, Sleep };
  Kind kind;
  OutputLine line = OutputLine::Txd;  // Line: the output changed
  bool asserted = false;              // Line: its new level
  InputLevels inputs;                 // Read: what it returned
  uint32_t milliseconds = 0;          // Sleep
  bool operator==(const PortEvent&) const = default;
};

inline PortEvent LineEvent(OutputLine line, bool asserted) {
  return {PortEvent::Kind::Line, line, asserted, {}, 0};
}
inline PortEvent ReadEvent(InputLevels inputs) {
  return {PortEvent::Kind::Read, OutputLine::Txd, false, inputs, 0};
}
inline PortEvent SleepEvent(uint32_t milliseconds) {
  return {PortEvent::Kind::Sleep, OutputLine::Txd, false, {}, milliseconds};
}

class RecordingPort : public ControlPort {
 public:
  explicit RecordingPort(ControlPort* inner = nullptr) : inner_(inner) {}

  bool SetLine(OutputLine line, bool asserted) override;
  bool ReadInputs(InputLevels& levels) override;
  void Sleep(uint32_t milliseconds) override;

  // Without an inner port: status reads return these in turn, then `steady`.
  void ScriptInputs(std::vector<InputLevels> script) {
    script_.assign(script.begin(), script.end());
  }
  void SetSteadyInputs(InputLevels steady) { steady_ = steady; }
  // Every call from the n-th on (counting from 1, all kinds) fails; 0 never.
  void FailFromCall(uint64_t n) { failFrom_ = n; }

  const std::vector<PortEvent>& events() const { return events_; }
  // The line changes alone, in order.
  std::vector<PortEvent> LineChanges() const;
  size_t Count(PortEvent::Kind kind) const;
  uint64_t calls() const { return calls_; }
  void Clear() { events_.clear(); }

 private:
  bool Failing() const { return failFrom_ != 0 && calls_ >= failFrom_; }

  ControlPort* inner_;
  std::vector<PortEvent> events_;
  std::deque<InputLevels> script_;
  InputLevels steady_;
  uint64_t failFrom_ = 0;
  uint64_t calls_ = 0;
};

// A port that does nothing and answers every status read with `inputs`: for measuring our own
// cost per primitive.
class NullPort : public ControlPort {
 public:
  explicit NullPort(InputLevels inputs = {}) : inputs_(inputs) {}
  bool SetLine(OutputLine, bool) override { return true; }
  bool ReadInputs(InputLevels& levels) override {
    levels = inputs_;
    return true;
  }
  void Sleep(uint32_t) override {}

 private:
  InputLevels inputs_;
};

}  // namespace keldar::sim
