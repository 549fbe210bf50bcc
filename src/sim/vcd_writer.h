// A Value Change Dump of the reader's bus as a logic analyser clipped onto the memory sees it:
// SCL, SDA and Valim, timestamps in nanoseconds, only changes written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace keldar::sim {

class VcdWriter {
 public:
  enum Signal : uint8_t { kScl = 0, kSda = 1, kValim = 2 };

  VcdWriter() = default;
  ~VcdWriter();
  VcdWriter(const VcdWriter&) = delete;
  VcdWriter& operator=(const VcdWriter&) = delete;

  // Creates the file and writes the header with the initial levels. False when it cannot.
  [[nodiscard]] bool Open(const std::string& path, bool scl, bool sda, bool valim);
  bool isOpen() const { return file_ != nullptr; }
  // Records level at time t if it differs from the signal's last level; times never go back.
  void Change(uint64_t t, Signal signal, bool level);
  void Close();

 private:
  std::FILE* file_ = nullptr;
  uint64_t lastTime_ = 0;
  bool levels_[3] = {false, false, false};
};

}  // namespace keldar::sim
