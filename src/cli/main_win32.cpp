// keldar-cli on Windows: the arguments taken as UTF-16 (wmain) so that any file name reaches the
// program, and the console told that the program's French text is UTF-8. Ctrl+C, Ctrl+Break and
// closing the console ask the running operation to stop at its next safe point.
#include "cli/cli_commands.h"
#include "cli/cli_main.h"
#include "messages/operation_messages.h"
#include "platform/utf16.h"
#include "session/stop_request.h"

// After the program's headers: windows.h defines macros that could collide with their names.
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The console's code page belongs to the console, not to us: put back as it was.
class Utf8Console {
 public:
  Utf8Console() : previous_(::GetConsoleOutputCP()) { ::SetConsoleOutputCP(CP_UTF8); }
  ~Utf8Console() {
    if (previous_ != 0) ::SetConsoleOutputCP(previous_);
  }
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  UINT previous_;
};

// The console's handler runs on a thread of its own: it touches the flag and the event only.
keldar::StopRequest stopRequest;
HANDLE finished = nullptr;  // set once main has closed the port and is about to return

// Windows ends the process a few seconds after a close event's handler is called: long enough
// for a page's write cycle on any port, not for a whole memory.
constexpr DWORD kCloseGraceMs = 4500;

void Say(std::string_view text) {
  DWORD written = 0;
  const HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
  ::WriteFile(err, "\n", 1, &written, nullptr);
  ::WriteFile(err, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::WriteFile(err, "\n", 1, &written, nullptr);
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) {
    return FALSE;
  }
  if (!stopRequest.Requested()) {
    stopRequest.Request();
    Say(keldar::messages::kStopping);
  } else {
    Say(keldar::messages::kStillStopping);
  }
  // Returning from a close event ends the process: first let main put the port back.
  if (event == CTRL_CLOSE_EVENT && finished != nullptr) {
    ::WaitForSingleObject(finished, kCloseGraceMs);
  }
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i)
    args.push_back(keldar::Utf8FromWide(argv[i]));
  finished = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  int code = 0;
  {
    const Utf8Console console;
    code = keldar::cli::CliMain(args, ::_isatty(::_fileno(stderr)) != 0, stopRequest);
  }
  if (finished != nullptr) ::SetEvent(finished);
  return code;
}
