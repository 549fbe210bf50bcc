// keldar-cli ports: the machine's serial devices and what each can do, without opening any; with
// --probe, one port opened as the window opens it and measured.
#pragma once

#include "cli/cli_commands.h"
#include "cli/cli_options.h"

namespace keldar::cli {

[[nodiscard]] int Ports(const Options& options, Console& console);

}  // namespace keldar::cli
