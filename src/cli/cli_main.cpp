#include "cli/cli_main.h"

#include <iostream>

#include "cli/cli_commands.h"
#include "cli/cli_options.h"

namespace keldar::cli {

int CliMain(const std::vector<std::string>& args, bool progress, const StopRequest& stop) {
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
  Console console{std::cout, std::cerr, progress, stop};
  return RunCommand(options, console);
}

}  // namespace keldar::cli
