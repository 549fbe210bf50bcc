// keldar-cli on any platform: main_posix.cpp and main_win32.cpp hand over the arguments as UTF-8
// text and say whether a terminal shows the progress bar.
#pragma once

#include <string>
#include <vector>

#include "session/stop_request.h"

namespace keldar::cli {

// args excludes the program name. Writes to the standard output and error streams; gives the
// exit code. An operation stops at its safe point once stop is requested (a signal), and the
// command then returns kExitInterrupted.
[[nodiscard]] int CliMain(const std::vector<std::string>& args, bool progress,
                          const StopRequest& stop);

}  // namespace keldar::cli
