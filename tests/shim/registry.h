// The shim's state: which device paths exist, which placeholder descriptors stand for open
// devices, the simulated reader behind each device, and the call counters.
#pragma once

#include <pthread.h>
#include <termios.h>
#include <time.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device_list.h"
#include "sim/i2c_adapter.h"
#include "sim/sim_port.h"

namespace keldar::shim {

enum Counter : size_t {
  kOpen,     // successful openings of a shim device
  kRefused,  // openings refused: held in exclusive mode (EBUSY) or a refused sim spec (ENXIO)
  kClose,
  kFlock,
  kFlockRefused,
  kIoctl,  // every ioctl on a shim descriptor, those below included
  kTiocexcl,
  kTiocnxcl,
  kTiocmbis,
  kTiocmbic,
  kTiocsbrk,
  kTioccbrk,
  kTiocmget,
  kTcgets,         // tcgetattr, or ioctl TCGETS
  kTcsets,         // tcsetattr, or ioctl TCSETS, TCSETSW, TCSETSF
  kIoctlOther,     // any other request: answered ENOTTY
  kIoctlFailed,    // answered EIO: failure on demand, no UART, a hung-up port, the reader's failure
  kHangup,         // DCD fell while CLOCAL was clear: the port's openings are hung up
  kSleep,          // relative sleeps of a thread that holds a shim device open
  kOther,          // read, write on a shim descriptor: the backend makes none
  kI2cFuncs,       // I2C_FUNCS on an I2C adapter
  kI2cRdwr,        // I2C_RDWR, refused or not
  kI2cRdwrFailed,  // I2C_RDWR answered with an errno
  kI2cSmbus,       // I2C_SMBUS: refused, keldar never sends one
  kCounterCount
};

inline constexpr std::array<const char*, kCounterCount> kCounterNames{
    "open",     "refused",  "close",     "flock",       "flock_refused",   "ioctl",
    "TIOCEXCL", "TIOCNXCL", "TIOCMBIS",  "TIOCMBIC",    "TIOCSBRK",        "TIOCCBRK",
    "TIOCMGET", "TCGETS",   "TCSETS",    "ioctl_other", "ioctl_failed",    "hangup",
    "sleep",    "other",    "I2C_FUNCS", "I2C_RDWR",    "I2C_RDWR_failed", "I2C_SMBUS"};

class Registry {
 public:
  // Made on first use and never destroyed: calls may arrive during the program's own exit.
  static Registry& Get();

  // True while some shim descriptor is open: the fast test every intercepted call makes first.
  bool Active() const { return openCount_.load(std::memory_order_acquire) > 0; }

  // Opens the device at path with the sim spec. The descriptor or -1 with errno.
  int Open(std::string_view path, std::string_view spec, int flags);
  // Each: nothing when fd is not a shim descriptor, else the call's result (errno set).
  std::optional<int> Close(int fd);
  std::optional<int> Ioctl(int fd, unsigned long request, void* argument);
  std::optional<int> Flock(int fd, int operation);
  // tcgetattr and tcsetattr: glibc calls the kernel directly, so they are answered here.
  std::optional<int> GetAttr(int fd, termios* settings);
  std::optional<int> SetAttr(int fd, int when, const termios* settings);
  bool CountOther(int fd, const char* call);
  // A relative sleep of the calling thread: the readers' clocks advance with it.
  void Slept(const timespec& duration);
  // At exit: writes the log and releases every device, so images are saved.
  void Finish();

 private:
  struct Device {
    std::string path;
    std::unique_ptr<sim::SimulatedReader> reader;  // from the first opening to the last close
    bool phantom = false;  // no UART behind it: modem and termios calls fail, breaks do nothing
    // Like the kernel's, the line settings outlive each opening: CLOCAL set at first.
    termios settings{};
    int openings = 0;
    bool exclusive = false;    // TIOCEXCL: further openings get EBUSY
    int exclusiveLockFd = -1;  // flock LOCK_EX holder
    int sharedLocks = 0;
    // An I2C adapter (a node named i2c-N): the memory on its bus instead of a reader.
    std::unique_ptr<sim::SimulatedI2cAdapter> i2c;
    std::chrono::steady_clock::time_point i2cOpened;  // the memory's time 0
  };
  struct Opening {
    Device* device;
    pthread_t thread;  // the opener; users_ adds the threads that drive it (a worker)
    uint64_t ioctls = 0;
    uint64_t failFrom = 0;  // KELDAR_SHIM_FAIL_AFTER at opening: every ioctl from this one fails
    uint64_t signalAt = 0;  // KELDAR_SHIM_SIGNAL_AT: this ioctl raises KELDAR_SHIM_SIGNAL
    int lock = 0;           // LOCK_SH or LOCK_EX held through this descriptor
    bool hungUp = false;    // every later ioctl fails with EIO, until a new opening
    std::vector<pthread_t> users;  // every thread that made an ioctl on it
  };

  Registry() = default;
  Device& DeviceAt(std::string_view path);
  int Refuse(std::string_view path, int error, std::string_view why);
  bool Failing(const Opening& opening) const;
  int Fail(std::string_view call);
  int LineChange(Opening& opening, unsigned long request, const int* lines);
  // The ioctls of an I2C adapter's node, as i2c-dev and i2c-core answer them.
  int I2cIoctl(Opening& opening, unsigned long request, void* argument);
  int I2cTransfer(Device& device, const void* argument);
  int ModemStatus(Opening& opening, int* lines);
  int ReadSettings(Opening& opening, termios& settings);
  int WriteSettings(Opening& opening, const termios& settings);
  // With CLOCAL clear, a falling DCD hangs up every opening of the device, as the serial drivers
  // do; dcdBefore is DCD before the reader's lines changed.
  void WatchCarrier(Device& device, bool dcdBefore);
  static bool Carrier(const Device& device);
  void ReleaseLock(Opening& opening, int fd);
  void Count(Counter counter) { ++counters_[counter]; }
  void UpdateOutputPaths();
  void Trace(std::string_view line);
  void WriteLog();
  void FlushTrace();

  std::mutex mutex_;
  std::atomic<int> openCount_{0};
  std::vector<std::unique_ptr<Device>> devices_;
  std::map<int, Opening> openings_;
  std::array<uint64_t, kCounterCount> counters_{};
  // KELDAR_SHIM_LOG and KELDAR_SHIM_TRACE as the last opening saw them; "" none. A log file holds
  // the counts of the calls made while it was named: a new name starts the counts afresh.
  std::string logPath_;
  std::string tracePath_;
  std::string trace_;
};

}  // namespace keldar::shim
