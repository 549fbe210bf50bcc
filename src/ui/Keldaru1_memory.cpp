// Read, program and compare between the buffer and the memory in the reader. Reachable only
// while a port is open: the port handling greys their menu and hides their buttons otherwise.
// The session's operation service does the work; the window shows its phases and its outcome.
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

#include "messages/operation_messages.h"
#include "session/operation_service.h"
#include "ui/Keldaru1.h"
#include "ui/grid/hex_grid_view.h"

namespace keldar::ui {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Shows an operation as it runs: each phase opens with its running text, and the bar is
// repainted at each point, since no events run while an operation blocks the window.
class WindowObserver final : public OperationObserver {
 public:
  WindowObserver(std::function<void(uint32_t, std::string_view)> open, QProgressBar& bar)
      : open_(std::move(open)), bar_(bar) {}
  void PhaseStarted(OperationPhase phase, uint32_t barMaximum) override {
    open_(barMaximum, messages::RunningText(phase));
  }
  void BarMoved(uint32_t value) override {
    bar_.setValue(static_cast<int>(value));
    bar_.repaint();
  }
  void BytesDone(uint32_t, uint32_t, std::optional<std::chrono::seconds>) override {}

 private:
  std::function<void(uint32_t, std::string_view)> open_;
  QProgressBar& bar_;
};

}  // namespace

void TForm1::OpenOperation(uint32_t maximum, std::string_view runningText) {
  ProgressBar->setValue(0);
  ProgressBar->setMaximum(static_cast<int>(maximum));
  ProgressBar->repaint();
  SetBusyStatus(Text(runningText));
}

void TForm1::ShowOperationDone(std::string_view doneText) {
  StaticTextInfo->setText(Text(doneText));
  StaticTextInfo->repaint();
}

void TForm1::CloseOperation() {
  ProgressBar->setValue(0);
  ClearBusyStatus();
  ProgressBar->repaint();
  StaticTextInfo->repaint();
  StringGrid1->setFocus();
}

OperationOutcome TForm1::RunOperation(ControlPort& open, const OperationRequest& request) {
  WindowObserver observer(
      [this](uint32_t maximum, std::string_view text) { OpenOperation(maximum, text); },
      *ProgressBar);
  stop_.Clear();
  const OperationOutcome outcome = OperationService().Run(open, request, observer, stop_);
  session_.ApplyOutcome(outcome);
  return outcome;
}

void TForm1::ShowOutcome(const OperationOutcome& outcome) {
  dialogs_->ShowMessage(Text(messages::OutcomeMessage(outcome)),
                        Text(messages::OutcomeTitle(outcome)), kMbOk);
}

void TForm1::LectureMemoire(QObject* Sender) {
  emit commandStarted(QStringLiteral("LectureMemoire"), Sender);
  ControlPort* const open = port();
  if (open == nullptr) return;
  BoutonLire->repaint();
  // The bytes reach the buffer only when the whole read succeeded.
  const OperationOutcome outcome = RunOperation(*open, session_.Request(OperationKind::Read));
  if (outcome.succeeded()) {
    RefreshGrid(buffer, outcome.capacity);
  } else {
    ShowOutcome(outcome);
  }
  CloseOperation();
}

void TForm1::ProgrammerMemoire(QObject* Sender) {
  emit commandStarted(QStringLiteral("ProgrammerMemoire"), Sender);
  const bool wholeMemory = Sender == BoutonProgMem || Sender == OptionProgramMem;
  const bool selectedByte = Sender == BoutonProgOctet || Sender == OptionProgramOctet;
  ControlPort* const open = port();
  // Any other source would program nothing and still report success.
  if (open == nullptr || (!wholeMemory && !selectedByte)) return;
  BoutonProgOctet->repaint();
  BoutonProgMem->repaint();
  const OperationOutcome outcome = RunOperation(
      *open,
      session_.Request(wholeMemory ? OperationKind::ProgramMemory : OperationKind::ProgramByte));
  // On failure the bar stays where the work stopped while the box is shown.
  if (outcome.succeeded()) {
    ProgressBar->setMaximum(static_cast<int>(outcome.capacity));
    ProgressBar->setValue(static_cast<int>(outcome.capacity));
    ProgressBar->repaint();
  }
  ShowOperationDone(messages::kProgramDone);
  ShowOutcome(outcome);
  CloseOperation();
}

void TForm1::Comparer(QObject* Sender) {
  emit commandStarted(QStringLiteral("Comparer"), Sender);
  ControlPort* const open = port();
  if (open == nullptr) return;
  const uint32_t capacity = currentMemory.capacity;
  BoutonComparer->repaint();
  std::unique_ptr<uint8_t[]> scratch =
      allocateScratch ? allocateScratch(capacity)
                      : std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[capacity]);
  if (!scratch) {
    dialogs_->Beep(kSimpleBeep);
    StringGrid1->setFocus();
    return;
  }
  OperationRequest request = session_.Request(OperationKind::Compare);
  request.scratch = std::span(scratch.get(), capacity);
  const OperationOutcome outcome = RunOperation(*open, request);
  ShowOperationDone(messages::kCompareDone);
  ShowOutcome(outcome);
  scratch.reset();
  CloseOperation();
}

}  // namespace keldar::ui
