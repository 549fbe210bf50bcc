#include "ui/operation_runner.h"

#include <chrono>
#include <memory>
#include <optional>

#include <QEventLoop>
#include <QMetaObject>
#include <QThread>

namespace keldar::ui {
namespace {

using Clock = std::chrono::steady_clock;

// The worker's observer: hands each report to the display on the runner's thread. The bar's
// points are few (64 at most, or one per page); bytes come after every one, and only a few a
// second are worth a repaint.
class Forwarder final : public OperationObserver {
 public:
  Forwarder(QObject& target, OperationObserver& display) : target_(target), display_(display) {}

  void PhaseStarted(OperationPhase phase, uint32_t barMaximum) override {
    Post([this, phase, barMaximum] { display_.PhaseStarted(phase, barMaximum); });
    shownAt_ = Clock::time_point{};
  }
  void BarMoved(uint32_t value) override {
    Post([this, value] { display_.BarMoved(value); });
  }
  void BytesDone(uint32_t done, uint32_t total, std::optional<std::chrono::seconds> left) override {
    constexpr std::chrono::milliseconds kShown{250};
    const Clock::time_point now = Clock::now();
    if (done < total && now - shownAt_ < kShown) return;
    shownAt_ = now;
    Post([this, done, total, left] { display_.BytesDone(done, total, left); });
  }

 private:
  template <typename F>
  void Post(F&& call) {
    QMetaObject::invokeMethod(&target_, std::forward<F>(call), Qt::QueuedConnection);
  }

  QObject& target_;
  OperationObserver& display_;
  Clock::time_point shownAt_{};
};

}  // namespace

OperationOutcome OperationRunner::Run(const ReaderDevice& device, const OperationRequest& request,
                                      OperationObserver& display) {
  stop_.Clear();
  OperationOutcome outcome;
  Forwarder forwarder(*this, display);
  RunJob([&] { outcome = OperationService().Run(device, request, forwarder, stop_); });
  return outcome;
}

void OperationRunner::RunJob(const std::function<void()>& job) {
  running_ = true;
  emit runningChanged(true);

  std::exception_ptr failure;
  bool ended = false;
  QEventLoop loop;
  const QMetaObject::Connection quit = connect(this, &OperationRunner::workerEnded, &loop, [&] {
    ended = true;
    loop.quit();
  });
  std::unique_ptr<QThread> worker(QThread::create([&] {
    try {
      job();
    } catch (...) {
      failure = std::current_exception();
    }
    // Queued after every report the worker made.
    QMetaObject::invokeMethod(
        this, [this] { emit workerEnded(); }, Qt::QueuedConnection);
  }));
  worker->setObjectName(QStringLiteral("operation"));
  worker->start();
  // A nested loop, as a modal dialog's: the window lives on while the caller waits. The end may
  // be handled by a loop nested deeper still (a question box): then ours returns after it.
  while (!ended)
    loop.exec();
  worker->wait();
  disconnect(quit);

  running_ = false;
  emit runningChanged(false);
  if (failure) std::rethrow_exception(failure);
}

void OperationRunner::RequestStop() {
  if (!running_ || stop_.Requested()) return;
  stop_.Request();
  emit stopRequestedChanged();
}

}  // namespace keldar::ui
