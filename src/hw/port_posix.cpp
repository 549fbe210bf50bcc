#include "hw/port_posix.h"

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

std::string Describe(const std::string& path, const char* what, int error) {
  return path + ": " + what + ": " + std::strerror(error);
}

}  // namespace

std::unique_ptr<PosixPort> PosixPort::Open(const std::string& path, std::string& error) {
  // O_NONBLOCK: do not wait for DCD; O_NOCTTY: never become our controlling terminal.
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = errno == EBUSY ? path + ": in use by another program" : Describe(path, "open", errno);
    return nullptr;
  }
  // TIOCEXCL keeps other programs from opening the port; root is not bound by it, flock is what
  // stops a second copy run as root, or any program that locks ports the same way.
  if (::ioctl(fd, TIOCEXCL) != 0) {
    error = Describe(path, "TIOCEXCL", errno);
    ::close(fd);
    return nullptr;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = errno == EWOULDBLOCK ? path + ": in use by another program"
                                 : Describe(path, "flock", errno);
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<PosixPort>(new PosixPort(fd));
}

PosixPort::~PosixPort() { ::close(fd_); }

bool PosixPort::EscapeCommFunction(int32_t code) {
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

bool PosixPort::ChangeModemLines(unsigned long request, int lines) {
  return ::ioctl(fd_, request, &lines) == 0;
}

bool PosixPort::GetCommModemStatus(uint32_t& status) {
  int bits = 0;
  if (::ioctl(fd_, TIOCMGET, &bits) != 0) return false;
  status = ((bits & TIOCM_CTS) != 0 ? MS_CTS_ON : 0U) | ((bits & TIOCM_DSR) != 0 ? MS_DSR_ON : 0U) |
           ((bits & TIOCM_RNG) != 0 ? MS_RING_ON : 0U) |
           ((bits & TIOCM_CAR) != 0 ? MS_RLSD_ON : 0U);
  return true;
}

void PosixPort::Sleep(uint32_t milliseconds) {
  timespec remaining{static_cast<time_t>(milliseconds / 1000),
                     static_cast<long>(milliseconds % 1000) * 1000000L};
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

std::unique_ptr<ControlPort> OpenSerialDevice(const std::string& path, std::string& error) {
  return PosixPort::Open(path, error);
}

std::string DefaultPortDevice(int portNumber) {
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

}  // namespace keldar
