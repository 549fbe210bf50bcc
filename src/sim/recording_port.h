// A port that logs every call (escape code, status read, sleep) for tests that check exact
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
  enum class Kind { Escape, Status, Sleep };
  Kind kind;
  int32_t code = 0;           // Escape: the escape code
  uint32_t status = 0;        // Status: what the read returned
  uint32_t milliseconds = 0;  // Sleep
  bool operator==(const PortEvent&) const = default;
};

class RecordingPort : public ControlPort {
 public:
  explicit RecordingPort(ControlPort* inner = nullptr) : inner_(inner) {}

  bool EscapeCommFunction(int32_t code) override;
  bool GetCommModemStatus(uint32_t& status) override;
  void Sleep(uint32_t milliseconds) override;

  // Without an inner port: status reads return these words in turn, then `steadyStatus`.
  void ScriptStatus(std::vector<uint32_t> words) { script_.assign(words.begin(), words.end()); }
  void SetSteadyStatus(uint32_t word) { steadyStatus_ = word; }
  // Every call from the n-th on (counting from 1, all kinds) fails; 0 never.
  void FailFromCall(uint64_t n) { failFrom_ = n; }

  const std::vector<PortEvent>& events() const { return events_; }
  std::vector<int32_t> EscapeCodes() const;
  size_t Count(PortEvent::Kind kind) const;
  uint64_t calls() const { return calls_; }
  void Clear() { events_.clear(); }

 private:
  bool Failing() const { return failFrom_ != 0 && calls_ >= failFrom_; }

  ControlPort* inner_;
  std::vector<PortEvent> events_;
  std::deque<uint32_t> script_;
  uint32_t steadyStatus_ = 0;
  uint64_t failFrom_ = 0;
  uint64_t calls_ = 0;
};

// A port that does nothing and answers every status read with `status`: for measuring our own
// cost per primitive.
class NullPort : public ControlPort {
 public:
  explicit NullPort(uint32_t status = 0) : status_(status) {}
  bool EscapeCommFunction(int32_t) override { return true; }
  bool GetCommModemStatus(uint32_t& status) override {
    status = status_;
    return true;
  }
  void Sleep(uint32_t) override {}

 private:
  uint32_t status_;
};

}  // namespace keldar::sim
