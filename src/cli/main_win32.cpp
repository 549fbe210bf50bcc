// keldar-cli on Windows: the arguments taken as UTF-16 (wmain) so that any file name reaches the
// program, and the console told that the program's French text is UTF-8.
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_main.h"
#include "platform/utf16.h"

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

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i)
    args.push_back(keldar::Utf8FromWide(argv[i]));
  const Utf8Console console;
  return keldar::cli::CliMain(args, ::_isatty(::_fileno(stderr)) != 0);
}
