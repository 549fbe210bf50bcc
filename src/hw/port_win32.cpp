// The serial backend on Windows: the port opened exclusively by name and checked with one status
// read, its lines switched with EscapeCommFunction and read with GetCommModemStatus, nothing
// configured.
#include "hw/serial_port.h"

// After port.h: windows.h defines SETRTS, MS_CTS_ON etc. as macros with the same values, so this
// file passes the escape codes and status bits through and never names them.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

namespace keldar {
namespace {

class Win32Port : public ControlPort {
 public:
  explicit Win32Port(HANDLE handle) : handle_(handle) {}
  ~Win32Port() override { ::CloseHandle(handle_); }
  Win32Port(const Win32Port&) = delete;
  Win32Port& operator=(const Win32Port&) = delete;

  bool EscapeCommFunction(int32_t code) override {
    return ::EscapeCommFunction(handle_, static_cast<DWORD>(code)) != FALSE;
  }

  bool GetCommModemStatus(uint32_t& status) override {
    DWORD lines = 0;
    if (::GetCommModemStatus(handle_, &lines) == FALSE) return false;
    status = lines;
    return true;
  }

  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<ControlPort> OpenSerialDevice(const std::string& path, std::string& error) {
  // Share mode 0: exclusive use; no overlapped I/O.
  const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    error = code == ERROR_ACCESS_DENIED
                ? path + ": in use by another program"
                : path + ": CreateFileA failed, error " + std::to_string(code);
    return nullptr;
  }
  // A port whose status cannot be read (a driver with no device behind it) is refused as a
  // missing one: nothing else is sent to it.
  DWORD lines = 0;
  if (::GetCommModemStatus(handle, &lines) == FALSE) {
    const DWORD code = ::GetLastError();
    ::CloseHandle(handle);
    error = path + ": GetCommModemStatus failed, error " + std::to_string(code);
    return nullptr;
  }
  return std::make_unique<Win32Port>(handle);
}

std::string DefaultPortDevice(int portNumber) {
  return "COM" + std::to_string(portNumber) + ":";
}

}  // namespace keldar
