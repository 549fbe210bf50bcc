// keldar-cli: scripted reading, programming, comparing and converting on the window's core.
// SIGINT, SIGTERM and SIGHUP ask the running operation to stop at its next safe point; main then
// returns normally, so that the port is closed, its settings restored and its lock file removed.
#include <signal.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_main.h"
#include "messages/operation_messages.h"
#include "session/stop_request.h"

namespace {

// What the handler may touch: a lock-free flag and the first signal's number.
keldar::StopRequest stopRequest;
volatile sig_atomic_t firstSignal = 0;

void Say(std::string_view text) {
  // write() is async-signal-safe; a failed write leaves nothing to do.
  const std::string_view newline = "\n";
  (void)!::write(STDERR_FILENO, newline.data(), newline.size());
  (void)!::write(STDERR_FILENO, text.data(), text.size());
  (void)!::write(STDERR_FILENO, newline.data(), newline.size());
}

void OnStopSignal(int signal) {
  if (firstSignal == 0) {
    firstSignal = signal;
    stopRequest.Request();
    Say(keldar::messages::kStopping);
  } else {
    Say(keldar::messages::kStillStopping);
  }
}

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // the port's calls carry on; the operation looks at the flag
  for (const int signal : {SIGINT, SIGTERM, SIGHUP})
    sigaction(signal, &action, nullptr);
}

}  // namespace

int main(int argc, char* argv[]) {
  CatchStopSignals();
  const int code = keldar::cli::CliMain(std::vector<std::string>(argv + 1, argv + argc),
                                        isatty(STDERR_FILENO) == 1, stopRequest);
  // The shell tells an interrupted command by 128 and the signal's number.
  if (code == keldar::cli::kExitInterrupted && firstSignal != 0) return 128 + firstSignal;
  return code;
}
