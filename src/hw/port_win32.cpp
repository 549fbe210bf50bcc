// The serial backend on Windows: the port opened exclusively by name and checked with one status
// read, its lines switched with EscapeCommFunction and read with GetCommModemStatus, nothing
// configured.
#include "hw/serial_port.h"

// After port.h: windows.h defines SETRTS, MS_CTS_ON etc. as macros with the same values, so this
// file passes the escape codes and status bits through and never names them.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cwctype>
#include <string_view>

#include "platform/utf16.h"

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

// "COM12", "com3:": the device namespace's name, the one form that reaches COM10 and above.
// Anything else (\\.\CNCA0, a path) is opened as given.
std::wstring CreateFileName(std::string_view name) {
  if (name.ends_with(':')) name.remove_suffix(1);
  const bool comName = name.size() > 3 && (name[0] == 'C' || name[0] == 'c') &&
                       (name[1] == 'O' || name[1] == 'o') && (name[2] == 'M' || name[2] == 'm') &&
                       name.find_first_not_of("0123456789", 3) == std::string_view::npos;
  return comName ? L"\\\\.\\" + WideFromUtf8(name) : WideFromUtf8(name);
}

// The system's own text for an error, in the user's language.
std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text, length);
  ::LocalFree(text);
  while (!message.empty() && std::iswspace(message.back()))
    message.pop_back();
  return (message.empty() ? "" : Utf8FromWide(message) + " ") + "(" + std::to_string(code) + ")";
}

}  // namespace

std::unique_ptr<ControlPort> OpenSerialDevice(const std::string& path, std::string& error) {
  // Share mode 0: exclusive use; no overlapped I/O.
  const HANDLE handle = ::CreateFileW(CreateFileName(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    // A port held by another program answers "access denied"; a file, "sharing violation".
    error = code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION
                ? path + ": in use by another program"
                : path + ": CreateFileW: " + SystemMessage(code);
    return nullptr;
  }
  // A port whose status cannot be read (a driver with no device behind it) is refused as a
  // missing one: nothing else is sent to it.
  DWORD lines = 0;
  if (::GetCommModemStatus(handle, &lines) == FALSE) {
    const DWORD code = ::GetLastError();
    ::CloseHandle(handle);
    error = path + ": GetCommModemStatus: " + SystemMessage(code);
    return nullptr;
  }
  return std::make_unique<Win32Port>(handle);
}

std::string DefaultPortDevice(int portNumber) {
  return "COM" + std::to_string(portNumber) + ":";
}

}  // namespace keldar
