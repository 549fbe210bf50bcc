// The interposed C library entry points. Each asks the registry first and hands everything that
// is not a shim device to the next definition (the C library, or a sanitizer's interceptor).
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "device_list.h"
#include "registry.h"

namespace {

using keldar::shim::Registry;

// The next definition of a symbol, looked up once. dlsym allocates at most, it never opens.
template <typename Function>
Function* Next(const char* name) {
  return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}
#define KELDAR_NEXT(name) static auto* const next = Next<decltype(::name)>(#name)

std::optional<std::string_view> ShimDevice(const char* path) {
  const char* list = std::getenv("KELDAR_SHIM_DEVICES");
  if (list == nullptr || path == nullptr) return std::nullopt;
  return keldar::shim::FindDeviceSpec(list, path);
}

bool TakesMode(int flags) {
  return (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
}

mode_t ModeArgument(int flags, va_list arguments) {
  return TakesMode(flags) ? static_cast<mode_t>(va_arg(arguments, int)) : 0;
}

// A character device of the group its device string names, if any; else the real stat answers.
template <typename Stat>
bool DeviceStat(const char* path, Stat* info) {
  const auto spec = ShimDevice(path);
  if (!spec || info == nullptr) return false;
  const int group = keldar::shim::SplitDeviceSpec(*spec).group;
  if (group < 0) return false;
  *info = Stat{};
  info->st_mode = S_IFCHR | 0660;
  info->st_gid = static_cast<gid_t>(group);
  info->st_rdev = makedev(188, 0);
  return true;
}

// A file whose spec has errno=NAME cannot be opened; with ENOSPC it opens for writing on a
// device that is always full. Nothing: the real fopen answers.
std::optional<FILE*> FileOpening(const char* path, const char* mode,
                                 FILE* (*next)(const char*, const char*)) {
  const auto spec = ShimDevice(path);
  if (!spec || mode == nullptr) return std::nullopt;
  const int error = keldar::shim::SplitDeviceSpec(*spec).openErrno;
  if (error == 0) return std::nullopt;
  if (error == ENOSPC && mode[0] == 'r') return std::nullopt;
  if (error == ENOSPC) return next("/dev/full", "wb");
  errno = error;
  return nullptr;
}

}  // namespace

extern "C" {

// The fortified variants glibc's headers may call instead of open and openat.
int __open_2(const char* path, int flags);
int __open64_2(const char* path, int flags);
int __openat_2(int directory, const char* path, int flags);
int __openat64_2(int directory, const char* path, int flags);

// Lets a test check that it runs under the shim before it touches a device path.
#define KELDAR_EXPORT __attribute__((visibility("default")))
KELDAR_EXPORT extern const int keldar_shim_present;
const int keldar_shim_present = 1;

KELDAR_EXPORT int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  if (const auto spec = ShimDevice(path)) return Registry::Get().Open(path, *spec, flags);
  KELDAR_NEXT(open);
  return next(path, flags, mode);
}

KELDAR_EXPORT int open64(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  if (const auto spec = ShimDevice(path)) return Registry::Get().Open(path, *spec, flags);
  KELDAR_NEXT(open64);
  return next(path, flags, mode);
}

// Device paths are absolute, so the directory never matters for them.
KELDAR_EXPORT int openat(int directory, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  if (const auto spec = ShimDevice(path)) return Registry::Get().Open(path, *spec, flags);
  KELDAR_NEXT(openat);
  return next(directory, path, flags, mode);
}

KELDAR_EXPORT int openat64(int directory, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeArgument(flags, arguments);
  va_end(arguments);
  if (const auto spec = ShimDevice(path)) return Registry::Get().Open(path, *spec, flags);
  KELDAR_NEXT(openat64);
  return next(directory, path, flags, mode);
}

KELDAR_EXPORT int __open_2(const char* path, int flags) {
  if (const auto spec = ShimDevice(path)) return Registry::Get().Open(path, *spec, flags);
  KELDAR_NEXT(__open_2);
  return next(path, flags);
}

KELDAR_EXPORT int __open64_2(const char* path, int flags) {
  if (const auto spec = ShimDevice(path)) return Registry::Get().Open(path, *spec, flags);
  KELDAR_NEXT(__open64_2);
  return next(path, flags);
}

KELDAR_EXPORT int __openat_2(int directory, const char* path, int flags) {
  if (const auto spec = ShimDevice(path)) return Registry::Get().Open(path, *spec, flags);
  KELDAR_NEXT(__openat_2);
  return next(directory, path, flags);
}

KELDAR_EXPORT int __openat64_2(int directory, const char* path, int flags) {
  if (const auto spec = ShimDevice(path)) return Registry::Get().Open(path, *spec, flags);
  KELDAR_NEXT(__openat64_2);
  return next(directory, path, flags);
}

KELDAR_EXPORT int close(int fd) {
  if (const auto result = Registry::Get().Close(fd)) return *result;
  KELDAR_NEXT(close);
  return next(fd);
}

KELDAR_EXPORT int ioctl(int fd, unsigned long request, ...) noexcept {
  va_list arguments;
  va_start(arguments, request);
  void* const argument = va_arg(arguments, void*);
  va_end(arguments);
  if (const auto result = Registry::Get().Ioctl(fd, request, argument)) return *result;
  KELDAR_NEXT(ioctl);
  return next(fd, request, argument);
}

KELDAR_EXPORT int flock(int fd, int operation) noexcept {
  if (const auto result = Registry::Get().Flock(fd, operation)) return *result;
  KELDAR_NEXT(flock);
  return next(fd, operation);
}

KELDAR_EXPORT int stat(const char* __restrict path, struct stat* __restrict info) noexcept {
  if (DeviceStat(path, info)) return 0;
  KELDAR_NEXT(stat);
  return next(path, info);
}

KELDAR_EXPORT int stat64(const char* __restrict path, struct stat64* __restrict info) noexcept {
  if (DeviceStat(path, info)) return 0;
  KELDAR_NEXT(stat64);
  return next(path, info);
}

KELDAR_EXPORT FILE* fopen(const char* __restrict path, const char* __restrict mode) {
  KELDAR_NEXT(fopen);
  if (const auto file = FileOpening(path, mode, next)) return *file;
  return next(path, mode);
}

KELDAR_EXPORT FILE* fopen64(const char* __restrict path, const char* __restrict mode) {
  KELDAR_NEXT(fopen64);
  if (const auto file = FileOpening(path, mode, next)) return *file;
  return next(path, mode);
}

// The backend never transfers data: these only count.
KELDAR_EXPORT ssize_t read(int fd, void* data, size_t size) {
  Registry::Get().CountOther(fd, "read");
  KELDAR_NEXT(read);
  return next(fd, data, size);
}

KELDAR_EXPORT ssize_t write(int fd, const void* data, size_t size) {
  Registry::Get().CountOther(fd, "write");
  KELDAR_NEXT(write);
  return next(fd, data, size);
}

// glibc's tcgetattr and tcsetattr reach the kernel without going through ioctl().
KELDAR_EXPORT int tcgetattr(int fd, termios* settings) noexcept {
  if (const auto result = Registry::Get().GetAttr(fd, settings)) return *result;
  KELDAR_NEXT(tcgetattr);
  return next(fd, settings);
}

KELDAR_EXPORT int tcsetattr(int fd, int when, const termios* settings) noexcept {
  if (const auto result = Registry::Get().SetAttr(fd, when, settings)) return *result;
  KELDAR_NEXT(tcsetattr);
  return next(fd, when, settings);
}

KELDAR_EXPORT int nanosleep(const timespec* duration, timespec* remaining) {
  if (duration != nullptr) Registry::Get().Slept(*duration);
  KELDAR_NEXT(nanosleep);
  return next(duration, remaining);
}

KELDAR_EXPORT int clock_nanosleep(clockid_t clock, int flags, const timespec* duration,
                                  timespec* remaining) {
  if (duration != nullptr && (flags & TIMER_ABSTIME) == 0) Registry::Get().Slept(*duration);
  KELDAR_NEXT(clock_nanosleep);
  return next(clock, flags, duration, remaining);
}

}  // extern "C"

// After the program's own destructors: open readers save their images, the log is written.
__attribute__((destructor)) static void FinishShim() {
  Registry::Get().Finish();
}
