// Ports for the main window's tests: an opener that hands out recording ports for the numbers
// marked available, and a journal of every opening and closing in order.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "sim/recording_port.h"
#include "ui/port_opener.h"

namespace keldar::ui::testing {

// A line change as the recording port logs it.
inline sim::PortEvent On(OutputLine line) {
  return sim::LineEvent(line, true);
}
inline sim::PortEvent Off(OutputLine line) {
  return sim::LineEvent(line, false);
}

struct PortJournal {
  std::vector<std::string> events;           // "open 1", "close 1", "refused 3"
  sim::RecordingPort* lastOpened = nullptr;  // valid while that port is open
  std::array<bool, 5> available{false, true, true, false, true};
};

class JournalPort : public sim::RecordingPort {
 public:
  JournalPort(PortJournal& journal, int number) : journal_(journal), number_(number) {}
  ~JournalPort() override {
    journal_.events.push_back("close " + std::to_string(number_));
    if (journal_.lastOpened == this) journal_.lastOpened = nullptr;
  }

 private:
  PortJournal& journal_;
  int number_;
};

inline PortOpener JournalOpener(PortJournal& journal) {
  return [&journal](int number) -> std::unique_ptr<ControlPort> {
    if (number < 1 || number > 4 || !journal.available[static_cast<size_t>(number)]) {
      journal.events.push_back("refused " + std::to_string(number));
      return nullptr;
    }
    journal.events.push_back("open " + std::to_string(number));
    auto port = std::make_unique<JournalPort>(journal, number);
    journal.lastOpened = port.get();
    return port;
  };
}

}  // namespace keldar::ui::testing
