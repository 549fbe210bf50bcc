// keldar-cli: scripted reading, programming, comparing and converting on the window's core.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_options.h"

int main(int argc, char* argv[]) {
  using namespace keldar::cli;
  const std::vector<std::string> args(argv + 1, argv + argc);
  Options options;
  const ParseResult parsed = ParseCommandLine(args, options);
  if (parsed.status == ParseStatus::Help) {
    std::cout << parsed.text;
    return kExitOk;
  }
  if (parsed.status == ParseStatus::UsageError) {
    std::cerr << parsed.text;
    return kExitUsage;
  }
  Console console{std::cout, std::cerr, isatty(STDERR_FILENO) == 1};
  return RunCommand(options, console);
}
