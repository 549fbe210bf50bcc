// SIGTERM (a logout, a service manager), SIGINT and SIGHUP (the terminal the program was started
// from) end the program as closing its window does, on the window's thread: a running operation
// stops at its safe point first, then the settings are saved. The handler only writes a byte.
#pragma once

#include <functional>

#include <QObject>

namespace keldar {

class StopSignals : public QObject {
 public:
  // onSignal runs on this object's thread, once per signal received.
  explicit StopSignals(std::function<void()> onSignal, QObject* parent = nullptr);
  ~StopSignals() override;
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  std::function<void()> onSignal_;
};

}  // namespace keldar
