// A serial port on a POSIX system, used only for its control lines: one ioctl per line change,
// one TIOCMGET per status read, and nothing configured (no termios call at all).
#pragma once

#include <memory>
#include <string>

#include "hw/port.h"

namespace keldar {

class PosixPort : public ControlPort {
 public:
  // open(O_RDWR | O_NOCTTY | O_NONBLOCK), then TIOCEXCL and a non-blocking flock so that no other
  // program can drive the reader meanwhile. nullptr and an error text on any failure.
  [[nodiscard]] static std::unique_ptr<PosixPort> Open(const std::string& path,
                                                       std::string& error);
  ~PosixPort() override;
  PosixPort(const PosixPort&) = delete;
  PosixPort& operator=(const PosixPort&) = delete;

  bool EscapeCommFunction(int32_t code) override;
  bool GetCommModemStatus(uint32_t& status) override;
  void Sleep(uint32_t milliseconds) override;

 private:
  explicit PosixPort(int fd) : fd_(fd) {}
  // TIOCMBIS or TIOCMBIC on TIOCM_RTS or TIOCM_DTR: one ioctl.
  bool ChangeModemLines(unsigned long request, int lines);

  int fd_;  // closing it releases the lock and the exclusive mode
};

}  // namespace keldar
