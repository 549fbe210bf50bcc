// The serial backend on POSIX systems. The port is used only for its control lines: one ioctl per
// line change, one TIOCMGET per status read, and nothing configured (no termios call at all).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "hw/open_port.h"

namespace keldar {
namespace {

class PosixPort : public ControlPort {
 public:
  explicit PosixPort(int fd) : fd_(fd) {}
  ~PosixPort() override { ::close(fd_); }  // releases the lock and the exclusive mode
  PosixPort(const PosixPort&) = delete;
  PosixPort& operator=(const PosixPort&) = delete;

  bool EscapeCommFunction(int32_t code) override {
    switch (code) {
      case SETRTS:
        return ChangeModemLines(TIOCMBIS, TIOCM_RTS);
      case CLRRTS:
        return ChangeModemLines(TIOCMBIC, TIOCM_RTS);
      case SETDTR:
        return ChangeModemLines(TIOCMBIS, TIOCM_DTR);
      case CLRDTR:
        return ChangeModemLines(TIOCMBIC, TIOCM_DTR);
      case SETBREAK:
        return ::ioctl(fd_, TIOCSBRK) == 0;
      case CLRBREAK:
        return ::ioctl(fd_, TIOCCBRK) == 0;
      default:
        return false;
    }
  }

  bool GetCommModemStatus(uint32_t& status) override {
    int lines = 0;
    if (::ioctl(fd_, TIOCMGET, &lines) != 0) return false;
    status =
        ((lines & TIOCM_CTS) != 0 ? MS_CTS_ON : 0U) | ((lines & TIOCM_DSR) != 0 ? MS_DSR_ON : 0U) |
        ((lines & TIOCM_RNG) != 0 ? MS_RING_ON : 0U) | ((lines & TIOCM_CAR) != 0 ? MS_RLSD_ON : 0U);
    return true;
  }

  void Sleep(uint32_t milliseconds) override {
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
  }

 private:
  bool ChangeModemLines(unsigned long request, int lines) {
    return ::ioctl(fd_, request, &lines) == 0;
  }

  int fd_;
};

std::string Failure(const std::string& path, const char* call, int error) {
  if (error == EBUSY || error == EWOULDBLOCK) return path + ": in use by another program";
  return path + ": " + call + ": " + std::strerror(error);
}

}  // namespace

std::unique_ptr<ControlPort> OpenSerialDevice(const std::string& path, std::string& error) {
  // O_NONBLOCK: do not wait for DCD; O_NOCTTY: never become our controlling terminal.
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = Failure(path, "open", errno);  // EBUSY: another program set TIOCEXCL
    return nullptr;
  }
  // TIOCEXCL keeps other programs from opening the port, but root is not bound by it: the lock
  // stops a second copy run as root, and any program that locks ports the same way.
  const bool exclusive = ::ioctl(fd, TIOCEXCL) == 0;
  if (!exclusive || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = Failure(path, exclusive ? "flock" : "TIOCEXCL", errno);
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixPort>(fd);
}

std::string DefaultPortDevice(int portNumber) {
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

}  // namespace keldar
