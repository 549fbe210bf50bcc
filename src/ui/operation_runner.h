// Runs one operation of the session's service on a worker thread while the window's event loop
// goes on: the window repaints, moves and answers the window manager, and the user can stop.
// The caller still waits for the end (the way a modal dialog does), so that a command handler
// keeps its order: open, run, show the outcome, close. What the worker reports reaches the
// display on the window's thread, the bytes and the time left a few times a second at most.
#pragma once

#include <exception>
#include <functional>

#include <QObject>

#include "i2c/reader_device.h"
#include "session/operation_service.h"
#include "session/stop_request.h"

namespace keldar::ui {

class OperationRunner : public QObject {
  Q_OBJECT

 public:
  explicit OperationRunner(QObject* parent = nullptr) : QObject(parent) {}

  // Runs the request on the open device from a worker thread; display is called on this object's
  // thread. Returns once the worker has ended; an exception it threw is thrown again here.
  [[nodiscard]] OperationOutcome Run(const ReaderDevice& device, const OperationRequest& request,
                                     OperationObserver& display);

  // Any other work that waits on a port (a measure): run the same way, on a worker thread, the
  // caller waiting in a nested event loop. An exception it threw is thrown again here.
  void RunJob(const std::function<void()>& job);

  [[nodiscard]] bool running() const { return running_; }
  // The operation stops at its next safe point.
  void RequestStop();
  [[nodiscard]] bool stopRequested() const { return stop_.Requested(); }

 signals:
  void runningChanged(bool running);
  void stopRequestedChanged();
  // The worker has ended (queued from it, after everything it reported).
  void workerEnded();

 private:
  bool running_ = false;
  StopRequest stop_;
};

}  // namespace keldar::ui
