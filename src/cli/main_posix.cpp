// keldar-cli: scripted reading, programming, comparing and converting on the window's core.
#include <unistd.h>

#include <string>
#include <vector>

#include "cli/cli_main.h"

int main(int argc, char* argv[]) {
  return keldar::cli::CliMain(std::vector<std::string>(argv + 1, argv + argc),
                              isatty(STDERR_FILENO) == 1);
}
