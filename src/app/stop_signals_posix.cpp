#include "app/stop_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

namespace keldar {
namespace {

// The write end of the pair, for the handler: a signal handler can reach nothing else.
int signalWriteEnd = -1;

void OnSignal(int signal) {
  const char byte = static_cast<char>(signal);
  (void)!::write(signalWriteEnd, &byte, 1);
}

}  // namespace

StopSignals::StopSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  int ends[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
  ::fcntl(ends[1], F_SETFL, O_NONBLOCK);
  signalWriteEnd = ends[1];
  auto* notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this, readEnd = ends[0]] {
    char byte = 0;
    if (::read(readEnd, &byte, 1) == 1 && onSignal_) onSignal_();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP})
    ::sigaction(signal, &action, nullptr);
}

StopSignals::~StopSignals() {
  // Back to the default: a signal after this point ends the process at once.
  for (const int signal : {SIGTERM, SIGINT, SIGHUP})
    ::signal(signal, SIG_DFL);
}

}  // namespace keldar
