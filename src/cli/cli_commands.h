// The subcommands of keldar-cli, on the same core functions as the window.
#pragma once

#include <ostream>

#include "cli/cli_options.h"
#include "session/stop_request.h"

namespace keldar::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // a failed operation, or a memory that differs
inline constexpr int kExitUsage = 2;
// Stopped by the user (Ctrl+C); the signal's own code (128 + its number) where there is one.
inline constexpr int kExitInterrupted = 130;

struct Console {
  std::ostream& out;        // the result line
  std::ostream& err;        // errors and the progress bar
  bool progress;            // a terminal is attached to err
  const StopRequest& stop;  // set by a signal: the running operation stops at its safe point
};

[[nodiscard]] int RunCommand(const Options& options, Console& console);

}  // namespace keldar::cli
