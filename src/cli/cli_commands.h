// The subcommands of keldar-cli, on the same core functions as the window.
#pragma once

#include <ostream>

#include "cli/cli_options.h"

namespace keldar::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // a failed operation, or a memory that differs
inline constexpr int kExitUsage = 2;

struct Console {
  std::ostream& out;  // the result line
  std::ostream& err;  // errors and the progress bar
  bool progress;      // a terminal is attached to err
};

[[nodiscard]] int RunCommand(const Options& options, Console& console);

}  // namespace keldar::cli
