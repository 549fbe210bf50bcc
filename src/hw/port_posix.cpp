// The serial backend on POSIX systems. The port is used only for its control lines: one ioctl per
// line change, one TIOCMGET per status read. Opening takes the port the way careful tools do
// (UUCP lock, exclusive mode, flock), refuses a port with no UART behind it, and sets CLOCAL,
// the one line setting the reader needs, putting the port's settings back at closing.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <optional>

#include "hw/lock_holder.h"
#include "hw/owning_group.h"
#include "hw/serial_port.h"
#include "hw/system_paths.h"
#include "hw/uucp_lock.h"

namespace keldar {
namespace {

class PosixPort : public ControlPort {
 public:
  PosixPort(int fd, UucpLock lock, std::optional<termios> restore)
      : fd_(fd), lock_(std::move(lock)), restore_(restore) {}
  ~PosixPort() override {
    // The port's settings outlive us: put back what the previous owner had.
    if (restore_) ::tcsetattr(fd_, TCSANOW, &*restore_);
    ::close(fd_);  // releases the flock and the exclusive mode; the lock file goes after
  }
  PosixPort(const PosixPort&) = delete;
  PosixPort& operator=(const PosixPort&) = delete;

  // TxD through the break state; DTR and RTS through the modem-control bits.
  bool SetLine(OutputLine line, bool asserted) override {
    switch (line) {
      case OutputLine::Txd:
        return ::ioctl(fd_, asserted ? TIOCSBRK : TIOCCBRK) == 0;
      case OutputLine::Dtr:
        return ChangeModemLines(asserted ? TIOCMBIS : TIOCMBIC, TIOCM_DTR);
      case OutputLine::Rts:
        return ChangeModemLines(asserted ? TIOCMBIS : TIOCMBIC, TIOCM_RTS);
    }
    return false;
  }

  bool ReadInputs(InputLevels& levels) override {
    int lines = 0;
    if (::ioctl(fd_, TIOCMGET, &lines) != 0) return false;
    levels = {};
    levels.Set(InputLine::Cts, (lines & TIOCM_CTS) != 0);
    levels.Set(InputLine::Dsr, (lines & TIOCM_DSR) != 0);
    levels.Set(InputLine::Ring, (lines & TIOCM_RNG) != 0);
    levels.Set(InputLine::Dcd, (lines & TIOCM_CAR) != 0);
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
  UucpLock lock_;
  std::optional<termios> restore_;
};

PortRefusal LockedBy(pid_t pid, const SystemPaths& paths) {
  PortRefusal refusal = Refusal(PortRefusalReason::Locked);
  refusal.pid = pid;
  refusal.program = ProgramName(pid, paths);
  return refusal;
}

PortRefusal OpenFailure(const std::string& path, int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO:
      return Refusal(PortRefusalReason::Missing, error);
    case EACCES:
    case EPERM: {
      PortRefusal refusal = Refusal(PortRefusalReason::Permission, error);
      // dialout, the serial ports' group on Debian and its kin, when it cannot be read.
      refusal.group = OwningGroup(path, "dialout");
      return refusal;
    }
    case EBUSY:  // another program set TIOCEXCL
      return Refusal(PortRefusalReason::Held, error);
    default:
      return Refusal(PortRefusalReason::Other, error);
  }
}

// With CLOCAL clear (stty -clocal, a getty, a modem program), a falling DCD hangs the port up:
// with DCD as the SDA input the first SDA fall would end the operation. Returns the settings to
// put back at closing, when they had to change.
std::optional<termios> SetClocal(int fd) {
  termios saved{};
  if (::tcgetattr(fd, &saved) != 0 || (saved.c_cflag & CLOCAL) != 0) return std::nullopt;
  termios local = saved;
  local.c_cflag |= CLOCAL;
  if (::tcsetattr(fd, TCSANOW, &local) != 0) return std::nullopt;
  return saved;
}

}  // namespace

PortOpening OpenSerialDevice(const std::string& path) {
  const SystemPaths paths = SystemPaths::FromEnvironment();
  const std::string lockName = UucpLock::FileName(path);
  // A port another program locked is never touched, not even opened.
  if (const pid_t holder = UucpLock::LiveHolder(paths.lockDirs, lockName); holder != 0) {
    return LockedBy(holder, paths);
  }
  // O_NONBLOCK: do not wait for DCD; O_NOCTTY: never become our controlling terminal.
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return OpenFailure(path, errno);
  // TIOCEXCL keeps other programs from opening the port, but root is not bound by it: the flock
  // stops a second copy run as root, and any program that locks ports the same way.
  if (::ioctl(fd, TIOCEXCL) != 0) {
    const int error = errno;  // ENOTTY: not a serial port at all
    ::close(fd);
    return Refusal(PortRefusalReason::Other, error);
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    ::close(fd);
    return Refusal(error == EWOULDBLOCK ? PortRefusalReason::Held : PortRefusalReason::Other,
                   error);
  }
  UucpLock lock;
  if (pid_t holder = 0; !lock.Acquire(paths.lockDirs, lockName, holder)) {
    ::close(fd);
    return LockedBy(holder, paths);
  }
  // Most PCs have /dev/ttyS1..3 with no UART behind them: they open, but every modem call then
  // fails with EIO. One status read tells them apart; nothing else is sent to such a port.
  int lines = 0;
  if (::ioctl(fd, TIOCMGET, &lines) != 0) {
    const int error = errno;
    ::close(fd);
    return Refusal(PortRefusalReason::NoUart, error);
  }
  return std::make_unique<PosixPort>(fd, std::move(lock), SetClocal(fd));
}

std::string DefaultPortDevice(int portNumber) {
  return "/dev/ttyS" + std::to_string(portNumber - 1);
}

}  // namespace keldar
