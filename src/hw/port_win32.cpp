// The serial backend on Windows: the port opened exclusively by name and checked with one status
// read, its lines switched with EscapeCommFunction and read with GetCommModemStatus, nothing
// configured.
#include "hw/serial_port.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string_view>

#include "platform/errno_win32.h"
#include "platform/utf16.h"

namespace keldar {
namespace {

class Win32Port : public ControlPort {
 public:
  explicit Win32Port(HANDLE handle) : handle_(handle) {}
  ~Win32Port() override { ::CloseHandle(handle_); }
  Win32Port(const Win32Port&) = delete;
  Win32Port& operator=(const Win32Port&) = delete;

  // TxD through the break state; the escape codes and status bits are windows.h's own.
  bool SetLine(OutputLine line, bool asserted) override {
    DWORD code = 0;
    switch (line) {
      case OutputLine::Txd:
        code = asserted ? SETBREAK : CLRBREAK;
        break;
      case OutputLine::Dtr:
        code = asserted ? SETDTR : CLRDTR;
        break;
      case OutputLine::Rts:
        code = asserted ? SETRTS : CLRRTS;
        break;
    }
    return ::EscapeCommFunction(handle_, code) != FALSE;
  }

  bool ReadInputs(InputLevels& levels) override {
    DWORD lines = 0;
    if (::GetCommModemStatus(handle_, &lines) == FALSE) return false;
    levels = {};
    levels.Set(InputLine::Cts, (lines & MS_CTS_ON) != 0);
    levels.Set(InputLine::Dsr, (lines & MS_DSR_ON) != 0);
    levels.Set(InputLine::Ring, (lines & MS_RING_ON) != 0);
    levels.Set(InputLine::Dcd, (lines & MS_RLSD_ON) != 0);
    return true;
  }

  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }

 private:
  HANDLE handle_;
};

// "COM12", "com3:": the device namespace's name, the one form that reaches COM10 and above.
// Anything else (\\.\CNCA0, a path) is opened as given.
std::wstring CreateFileName(std::string_view name) {
  if (name.ends_with(':')) name.remove_suffix(1);
  const bool comName = name.size() > 3 && (name[0] == 'C' || name[0] == 'c') &&
                       (name[1] == 'O' || name[1] == 'o') && (name[2] == 'M' || name[2] == 'm') &&
                       name.find_first_not_of("0123456789", 3) == std::string_view::npos;
  return comName ? L"\\\\.\\" + WideFromUtf8(name) : WideFromUtf8(name);
}

// Why CreateFileW refused the port. A COM port that another program holds answers "access
// denied" (a file, "sharing violation"): on a port it never means a permission.
PortRefusal OpenFailure(DWORD code) {
  switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return Refusal(PortRefusalReason::Held);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_DEVICE_NOT_CONNECTED:
      return Refusal(PortRefusalReason::Missing, ErrnoFromWindows(code));
    default: {
      PortRefusal refusal = Refusal(PortRefusalReason::Other, ErrnoFromWindows(code));
      refusal.systemCode = code;
      return refusal;
    }
  }
}

}  // namespace

PortOpening OpenSerialDevice(const std::string& path) {
  // Share mode 0: exclusive use; no overlapped I/O.
  const HANDLE handle = ::CreateFileW(CreateFileName(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return OpenFailure(::GetLastError());
  // A port whose status cannot be read (a driver with no device behind it) is refused: nothing
  // else is sent to it.
  DWORD lines = 0;
  if (::GetCommModemStatus(handle, &lines) == FALSE) {
    const DWORD code = ::GetLastError();
    ::CloseHandle(handle);
    PortRefusal refusal = Refusal(PortRefusalReason::NoUart, ErrnoFromWindows(code));
    refusal.systemCode = code;
    return refusal;
  }
  return std::make_unique<Win32Port>(handle);
}

std::string DefaultPortDevice(int portNumber) {
  return "COM" + std::to_string(portNumber) + ":";
}

}  // namespace keldar
