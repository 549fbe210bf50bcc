#include "data/file_system.h"

#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <string>

#include "platform/errno_win32.h"
#include "platform/utf16.h"

namespace keldar {

std::filesystem::path PathFromUtf8(std::string_view text) {
  return WideFromUtf8(text);
}

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return ::_wfopen(path.c_str(), wideMode.c_str());
}

// msvcrt's fopen knows no "x": the file is created by the system, then handed to stdio.
std::FILE* CreateNewFile(const std::filesystem::path& path) {
  const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = ErrnoFromWindows(::GetLastError());
    return nullptr;
  }
  const int descriptor =
      ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (descriptor == -1) {
    ::CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = ::_fdopen(descriptor, "wb");
  if (file == nullptr) ::_close(descriptor);  // closes the handle too
  return file;
}

// Not ReplaceFileW: when it cannot rename the replacement it may leave the target deleted.
bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
      FALSE) {
    return true;
  }
  errno = ErrnoFromWindows(::GetLastError());
  return false;
}

}  // namespace keldar
