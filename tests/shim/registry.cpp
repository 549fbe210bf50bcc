#include "registry.h"

#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "device_list.h"

namespace keldar::shim {
namespace {

// The shim's own files and placeholders go straight to the kernel: no interposed entry point,
// no sanitizer interceptor, no recursion.
int RawOpen(const char* path, int flags) {
  return static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, flags, 0644));
}
void RawClose(int fd) {
  ::syscall(SYS_close, fd);
}
void RawWriteFile(const char* path, int flags, std::string_view data) {
  const int fd = RawOpen(path, O_WRONLY | O_CREAT | O_CLOEXEC | flags);
  if (fd < 0) return;
  while (!data.empty()) {
    const long written = ::syscall(SYS_write, fd, data.data(), data.size());
    if (written <= 0) break;
    data.remove_prefix(static_cast<size_t>(written));
  }
  RawClose(fd);
}

// pace=real: the wall time the calling thread's last call into a reader is due at. The reader
// is called under the registry's lock; the thread waits for it once the lock is released.
thread_local std::chrono::steady_clock::time_point pacedUntil{};

// A signal the calling thread raises once the lock is released: its handler may call into us.
thread_local int signalToRaise = 0;

// Declared before the lock in an entry point: what waits for the lock's release.
class AfterUnlock {
 public:
  AfterUnlock() = default;
  AfterUnlock(const AfterUnlock&) = delete;
  AfterUnlock& operator=(const AfterUnlock&) = delete;
  ~AfterUnlock() {
    if (const int signal = std::exchange(signalToRaise, 0); signal != 0) ::raise(signal);
    const auto due = std::exchange(pacedUntil, {});
    if (due == std::chrono::steady_clock::time_point{}) return;
    // Straight to the kernel: the program's own sleeps are what the shim's nanosleep counts.
    const auto since = due.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    const timespec at{static_cast<time_t>(seconds.count()),
                      static_cast<long>((since - seconds).count())};
    while (::syscall(SYS_clock_nanosleep, CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) != 0 &&
           errno == EINTR) {
    }
  }
};

uint64_t EnvNumber(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? 0 : std::strtoull(value, nullptr, 10);
}

// A serial driver's settings on first use: the kernel's standard ones, CLOCAL included.
termios DefaultSettings() {
  termios settings{};
  settings.c_iflag = ICRNL | IXON;
  settings.c_oflag = OPOST | ONLCR;
  settings.c_cflag = B9600 | CS8 | CREAD | HUPCL | CLOCAL;
  settings.c_lflag = ISIG | ICANON | ECHO | ECHOE | ECHOK | ECHOCTL | ECHOKE | IEXTEN;
  ::cfsetispeed(&settings, B9600);
  ::cfsetospeed(&settings, B9600);
  return settings;
}

// The kernel's struct termios, which ioctl(TCGETS) and friends pass, is the head of glibc's: the
// four flag words, the line discipline and 19 control characters.
constexpr size_t kKernelTermiosSize = offsetof(termios, c_cc) + 19;

std::string InputLines(int lines) {
  std::string text;
  for (const auto& [bit, name] : {std::pair{TIOCM_CTS, " CTS"}, std::pair{TIOCM_DSR, " DSR"},
                                  std::pair{TIOCM_RNG, " RING"}, std::pair{TIOCM_CAR, " DCD"}}) {
    if ((lines & bit) != 0) text += name;
  }
  return text.empty() ? " -" : text;
}

}  // namespace

Registry& Registry::Get() {
  static Registry* const registry = new Registry;
  return *registry;
}

Registry::Device& Registry::DeviceAt(std::string_view path) {
  for (auto& device : devices_) {
    if (device->path == path) return *device;
  }
  devices_.push_back(std::make_unique<Device>());
  devices_.back()->path = path;
  devices_.back()->settings = DefaultSettings();
  return *devices_.back();
}

int Registry::Open(std::string_view path, std::string_view spec, int flags) {
  const std::lock_guard lock(mutex_);
  UpdateOutputPaths();
  const DeviceSpec split = SplitDeviceSpec(spec);
  if (split.openErrno != 0) return Refuse(path, split.openErrno, "errno " + std::string(spec));
  Device& device = DeviceAt(path);
  // Root is not bound by TIOCEXCL; only the lock keeps a second opening out then.
  if (device.exclusive && EnvNumber("KELDAR_SHIM_AS_ROOT") == 0) {
    return Refuse(path, EBUSY, "held in exclusive mode");
  }
  device.phantom = split.reader == "phantom";
  if (IsI2cNode(path)) {
    if (device.i2c == nullptr) {
      std::string error;
      std::unique_ptr<sim::SimulatedI2cBus> bus = sim::OpenSimulatedI2cBus(split.reader, error);
      if (bus == nullptr) return Refuse(path, ENXIO, error);
      device.i2c = std::make_unique<sim::SimulatedI2cAdapter>(std::move(bus), split.i2c);
      device.i2cOpened = std::chrono::steady_clock::now();
    }
  } else if (device.reader == nullptr && !device.phantom) {
    std::string error;
    device.reader = sim::OpenSimulatedPort(split.reader, error);
    if (device.reader == nullptr) return Refuse(path, ENXIO, error);
    device.reader->SetPacer([](std::chrono::steady_clock::time_point due) { pacedUntil = due; });
  }
  const int fd = RawOpen("/dev/null", O_RDWR | (flags & O_CLOEXEC));
  if (fd < 0) {
    const int error = errno;
    if (device.openings == 0) {
      device.reader.reset();
      device.i2c.reset();
    }
    errno = error;
    return -1;
  }
  ++device.openings;
  openings_.emplace(fd, Opening{&device,
                                ::pthread_self(),
                                0,
                                EnvNumber("KELDAR_SHIM_FAIL_AFTER"),
                                EnvNumber("KELDAR_SHIM_SIGNAL_AT"),
                                0,
                                false,
                                {}});
  openCount_.fetch_add(1, std::memory_order_release);
  Count(kOpen);
  Trace("open " + std::string(path));
  return fd;
}

int Registry::Refuse(std::string_view path, int error, std::string_view why) {
  Count(kRefused);
  Trace("refused " + std::string(path) + ": " + std::string(why));
  WriteLog();
  FlushTrace();
  errno = error;
  return -1;
}

std::optional<int> Registry::Close(int fd) {
  if (!Active()) return std::nullopt;
  const std::lock_guard lock(mutex_);
  const auto it = openings_.find(fd);
  if (it == openings_.end()) return std::nullopt;
  Device& device = *it->second.device;
  ReleaseLock(it->second, fd);
  if (--device.openings == 0) {
    device.exclusive = false;
    device.reader.reset();  // the reader saves its image
    device.i2c.reset();     // and so does the memory on an adapter's bus
  }
  openings_.erase(it);
  openCount_.fetch_sub(1, std::memory_order_release);
  Count(kClose);
  Trace("close " + device.path);
  WriteLog();
  FlushTrace();
  RawClose(fd);
  return 0;
}

std::optional<int> Registry::Ioctl(int fd, unsigned long request, void* argument) {
  if (!Active()) return std::nullopt;
  const AfterUnlock after;
  const std::lock_guard lock(mutex_);
  const auto it = openings_.find(fd);
  if (it == openings_.end()) return std::nullopt;
  Opening& opening = it->second;
  Count(kIoctl);
  ++opening.ioctls;
  // A program may open the port on one thread and drive it from another (an operation's
  // worker): the sleeps of either are the reader's time.
  const pthread_t self = ::pthread_self();
  if (std::none_of(opening.users.begin(), opening.users.end(),
                   [self](pthread_t user) { return ::pthread_equal(user, self) != 0; })) {
    opening.users.push_back(self);
  }
  if (opening.ioctls == opening.signalAt) {
    const uint64_t signal = EnvNumber("KELDAR_SHIM_SIGNAL");
    signalToRaise = signal != 0 ? static_cast<int>(signal) : SIGINT;
  }
  if (opening.device->i2c != nullptr) return I2cIoctl(opening, request, argument);
  switch (request) {
    case TIOCEXCL:
    case TIOCNXCL: {
      const bool set = request == TIOCEXCL;
      Count(set ? kTiocexcl : kTiocnxcl);
      if (Failing(opening)) return Fail(set ? "TIOCEXCL" : "TIOCNXCL");
      opening.device->exclusive = set;
      Trace(set ? "TIOCEXCL" : "TIOCNXCL");
      return 0;
    }
    case TIOCMBIS:
    case TIOCMBIC:
    case TIOCSBRK:
    case TIOCCBRK:
      return LineChange(opening, request, static_cast<const int*>(argument));
    case TIOCMGET:
      return ModemStatus(opening, static_cast<int*>(argument));
    case TCGETS: {
      termios settings{};
      const int result = ReadSettings(opening, settings);
      if (result == 0) std::memcpy(argument, &settings, kKernelTermiosSize);
      return result;
    }
    case TCSETS:
    case TCSETSW:
    case TCSETSF: {
      termios settings = opening.device->settings;
      std::memcpy(&settings, argument, kKernelTermiosSize);
      return WriteSettings(opening, settings);
    }
    default:
      Count(kIoctlOther);
      Trace("ioctl " + std::to_string(request) + " ENOTTY");
      errno = ENOTTY;
      return -1;
  }
}

int Registry::I2cIoctl(Opening& opening, unsigned long request, void* argument) {
  Device& device = *opening.device;
  switch (request) {
    case I2C_FUNCS:
      Count(kI2cFuncs);
      if (Failing(opening) || argument == nullptr) return Fail("I2C_FUNCS");
      *static_cast<unsigned long*>(argument) = device.i2c->Functions();
      Trace("I2C_FUNCS");
      return 0;
    case I2C_RDWR:
      Count(kI2cRdwr);
      if (Failing(opening)) return Fail("I2C_RDWR");
      return I2cTransfer(device, argument);
    case I2C_SMBUS:
      // What i2c-core's SMBus emulation answers a transfer it has no way to carry.
      Count(kI2cSmbus);
      Trace("I2C_SMBUS EOPNOTSUPP");
      errno = EOPNOTSUPP;
      return -1;
    default:  // i2c-dev answers ENOTTY to the serial ioctls and to anything it does not know
      Count(kIoctlOther);
      Trace("ioctl " + std::to_string(request) + " ENOTTY");
      errno = ENOTTY;
      return -1;
  }
}

// The kernel's answer is the simulated adapter's; success is the count of messages carried out.
int Registry::I2cTransfer(Device& device, const void* argument) {
  // The memory's time passes at least as the program's does: a write cycle ends for a program
  // that waited for it, however little of its waiting went through a sleep.
  sim::SimulatedI2cBus& bus = device.i2c->bus();
  const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(
      std::chrono::steady_clock::now() - device.i2cOpened);
  const auto real = static_cast<uint64_t>(elapsed.count());
  if (real > bus.clock()) bus.Advance(real - bus.clock());
  const auto* data = static_cast<const i2c_rdwr_ioctl_data*>(argument);
  std::string call = "I2C_RDWR";
  std::vector<I2cMessage> messages;
  if (data != nullptr && data->msgs != nullptr) {
    for (size_t i = 0; i < data->nmsgs; ++i) {
      const i2c_msg& raw = data->msgs[i];
      const bool read = (raw.flags & I2C_M_RD) != 0;
      char text[24];
      std::snprintf(text, sizeof text, " %c%02X:%u", read ? 'R' : 'W', raw.addr, raw.len);
      call += text;
      messages.push_back({static_cast<uint8_t>(raw.addr), read, std::span(raw.buf, raw.len)});
    }
  }
  if (const int error = device.i2c->Transfer(messages); error != 0) {
    Count(kI2cRdwrFailed);
    Trace(call + " " + ErrnoName(error));
    errno = error;
    return -1;
  }
  Trace(call);
  return static_cast<int>(messages.size());
}

bool Registry::Failing(const Opening& opening) const {
  return opening.hungUp || (opening.failFrom != 0 && opening.ioctls >= opening.failFrom);
}

int Registry::Fail(std::string_view call) {
  Count(kIoctlFailed);
  Trace(std::string(call) + " EIO");
  errno = EIO;
  return -1;
}

int Registry::LineChange(Opening& opening, unsigned long request, const int* lines) {
  std::string call;
  OutputLine changed[2] = {OutputLine::Txd, OutputLine::Txd};
  size_t count = 0;
  bool set = false;
  if (request == TIOCSBRK || request == TIOCCBRK) {
    set = request == TIOCSBRK;
    Count(set ? kTiocsbrk : kTioccbrk);
    call = set ? "TIOCSBRK" : "TIOCCBRK";
    changed[count++] = OutputLine::Txd;
  } else {
    set = request == TIOCMBIS;
    Count(set ? kTiocmbis : kTiocmbic);
    call = set ? "TIOCMBIS" : "TIOCMBIC";
    if (lines == nullptr) return Fail(call);
    if ((*lines & TIOCM_RTS) != 0) {
      call += " RTS";
      changed[count++] = OutputLine::Rts;
    }
    if ((*lines & TIOCM_DTR) != 0) {
      call += " DTR";
      changed[count++] = OutputLine::Dtr;
    }
  }
  Device& device = *opening.device;
  if (Failing(opening)) return Fail(call);
  if (device.phantom) {
    // The serial core answers break requests on a port with no UART without doing anything.
    if (request == TIOCSBRK || request == TIOCCBRK) {
      Trace(call);
      return 0;
    }
    return Fail(call);
  }
  const bool dcd = Carrier(device);
  bool ok = true;
  for (size_t i = 0; i < count; ++i)
    ok = device.reader->SetLine(changed[i], set) && ok;
  if (!ok) return Fail(call);
  Trace(call);
  WatchCarrier(device, dcd);
  return 0;
}

bool Registry::Carrier(const Device& device) {
  return device.reader != nullptr && device.reader->Inputs()[InputLine::Dcd];
}

void Registry::WatchCarrier(Device& device, bool dcdBefore) {
  if (!dcdBefore || Carrier(device) || (device.settings.c_cflag & CLOCAL) != 0) return;
  for (auto& [fd, opening] : openings_) {
    if (opening.device == &device) opening.hungUp = true;
  }
  Count(kHangup);
  Trace("hangup " + device.path);
}

int Registry::ReadSettings(Opening& opening, termios& settings) {
  Count(kTcgets);
  if (Failing(opening) || opening.device->phantom) return Fail("TCGETS");
  settings = opening.device->settings;
  Trace("TCGETS");
  return 0;
}

int Registry::WriteSettings(Opening& opening, const termios& settings) {
  Count(kTcsets);
  if (Failing(opening) || opening.device->phantom) return Fail("TCSETS");
  opening.device->settings = settings;
  Trace((settings.c_cflag & CLOCAL) != 0 ? "TCSETS clocal" : "TCSETS -clocal");
  return 0;
}

std::optional<int> Registry::GetAttr(int fd, termios* settings) {
  termios read{};
  const std::optional<int> result = Ioctl(fd, TCGETS, &read);
  if (result == 0 && settings != nullptr) *settings = read;
  return result;
}

std::optional<int> Registry::SetAttr(int fd, int when, const termios* settings) {
  // glibc itself refuses these with EINVAL before reaching the kernel.
  if (settings == nullptr || (when != TCSANOW && when != TCSADRAIN && when != TCSAFLUSH)) {
    return std::nullopt;
  }
  termios copy = *settings;
  return Ioctl(fd, TCSETS, &copy);
}

int Registry::ModemStatus(Opening& opening, int* lines) {
  Count(kTiocmget);
  InputLevels inputs;
  if (lines == nullptr || Failing(opening) || opening.device->phantom ||
      !opening.device->reader->ReadInputs(inputs)) {
    return Fail("TIOCMGET");
  }
  const sim::SimulatedReader& reader = *opening.device->reader;
  *lines = (inputs[InputLine::Cts] ? TIOCM_CTS : 0) | (inputs[InputLine::Dsr] ? TIOCM_DSR : 0) |
           (inputs[InputLine::Ring] ? TIOCM_RNG : 0) | (inputs[InputLine::Dcd] ? TIOCM_CAR : 0) |
           (reader.dtr() ? TIOCM_DTR : 0) | (reader.rts() ? TIOCM_RTS : 0);
  if (!tracePath_.empty()) Trace("TIOCMGET" + InputLines(*lines));
  return 0;
}

std::optional<int> Registry::Flock(int fd, int operation) {
  if (!Active()) return std::nullopt;
  const std::lock_guard lock(mutex_);
  const auto it = openings_.find(fd);
  if (it == openings_.end()) return std::nullopt;
  Opening& opening = it->second;
  Device& device = *opening.device;
  Count(kFlock);
  const int kind = operation & (LOCK_SH | LOCK_EX | LOCK_UN);
  if (kind == LOCK_UN) {
    ReleaseLock(opening, fd);
    Trace("flock LOCK_UN");
    return 0;
  }
  if (kind != LOCK_SH && kind != LOCK_EX) {
    errno = EINVAL;
    return -1;
  }
  const bool otherExclusive = device.exclusiveLockFd >= 0 && device.exclusiveLockFd != fd;
  const int otherShared = device.sharedLocks - (opening.lock == LOCK_SH ? 1 : 0);
  // A blocking request would wait for ever inside one process: it is refused as well.
  if (otherExclusive || (kind == LOCK_EX && otherShared > 0)) {
    Count(kFlockRefused);
    Trace("flock EWOULDBLOCK");
    errno = EWOULDBLOCK;
    return -1;
  }
  ReleaseLock(opening, fd);
  if (kind == LOCK_EX) {
    device.exclusiveLockFd = fd;
  } else {
    ++device.sharedLocks;
  }
  opening.lock = kind;
  Trace(kind == LOCK_EX ? "flock LOCK_EX" : "flock LOCK_SH");
  return 0;
}

void Registry::ReleaseLock(Opening& opening, int fd) {
  if (opening.lock == LOCK_EX && opening.device->exclusiveLockFd == fd) {
    opening.device->exclusiveLockFd = -1;
  }
  if (opening.lock == LOCK_SH) --opening.device->sharedLocks;
  opening.lock = 0;
}

bool Registry::CountOther(int fd, const char* call) {
  if (!Active()) return false;
  const std::lock_guard lock(mutex_);
  if (!openings_.contains(fd)) return false;
  Count(kOther);
  Trace(call);
  return true;
}

void Registry::Slept(const timespec& duration) {
  if (!Active()) return;
  const std::lock_guard lock(mutex_);
  const pthread_t self = ::pthread_self();
  bool holder = false;
  for (const auto& [fd, opening] : openings_) {
    holder = holder || ::pthread_equal(opening.thread, self) != 0 ||
             std::any_of(opening.users.begin(), opening.users.end(),
                         [self](pthread_t user) { return ::pthread_equal(user, self) != 0; });
  }
  if (!holder) return;
  const auto milliseconds =
      static_cast<uint32_t>(duration.tv_sec * 1000 + duration.tv_nsec / 1000000);
  for (auto& device : devices_) {
    if (device->i2c != nullptr) {
      device->i2c->bus().Advance(static_cast<uint64_t>(duration.tv_sec) * 1'000'000'000U +
                                 static_cast<uint64_t>(duration.tv_nsec));
    }
    if (device->reader == nullptr) continue;
    const bool dcd = Carrier(*device);
    device->reader->Sleep(milliseconds);
    WatchCarrier(*device, dcd);
  }
  Count(kSleep);
  Trace("sleep " + std::to_string(milliseconds));
}

void Registry::Finish() {
  const std::lock_guard lock(mutex_);
  for (auto& device : devices_) {
    device->reader.reset();
    device->i2c.reset();
  }
  WriteLog();
  FlushTrace();
}

void Registry::UpdateOutputPaths() {
  const char* logPath = std::getenv("KELDAR_SHIM_LOG");
  if (logPath_ != (logPath == nullptr ? "" : logPath)) {
    logPath_ = logPath == nullptr ? "" : logPath;
    counters_.fill(0);
  }
  const char* tracePath = std::getenv("KELDAR_SHIM_TRACE");
  if (tracePath_ != (tracePath == nullptr ? "" : tracePath)) {
    FlushTrace();
    tracePath_ = tracePath == nullptr ? "" : tracePath;
  }
}

void Registry::Trace(std::string_view line) {
  if (tracePath_.empty()) return;
  trace_.append(line);
  trace_.push_back('\n');
  if (trace_.size() >= 65536) FlushTrace();
}

void Registry::FlushTrace() {
  if (trace_.empty() || tracePath_.empty()) return;
  RawWriteFile(tracePath_.c_str(), O_APPEND, trace_);
  trace_.clear();
}

void Registry::WriteLog() {
  if (logPath_.empty()) return;
  std::string text;
  for (size_t i = 0; i < kCounterCount; ++i) {
    text += kCounterNames[i];
    text += ' ';
    text += std::to_string(counters_[i]);
    text += '\n';
  }
  RawWriteFile(logPath_.c_str(), O_TRUNC, text);
}

}  // namespace keldar::shim
