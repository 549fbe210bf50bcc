// Read, program and compare between the buffer and the memory in the reader. Reachable only
// while a port is open: the port handling greys their menu and hides their buttons otherwise.
// The session's operation service does the work on a worker thread; the window stays alive,
// shows the phases, the bar and the time left, offers the stop, and reports the outcome. The
// identification of the memory runs the same way and offers to select the type it found.
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include "messages/identify_messages.h"
#include "messages/operation_messages.h"
#include "session/operation_service.h"
#include "ui/Keldaru1.h"
#include "ui/grid/entry_field.h"
#include "ui/grid/hex_grid_view.h"
#include "ui/status_texts.h"

namespace keldar::ui {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The progress bar's width while the time left is shown beside it.
constexpr int kBarWidthWithTimeLeft = 418;

// Shows an operation as it runs, on the window's thread: each phase opens with its running
// text, the bar moves at its points, the time left is shown once it can be told.
class WindowObserver final : public OperationObserver {
 public:
  WindowObserver(std::function<void(uint32_t, std::string_view)> open, QProgressBar& bar,
                 QLabel& timeLeft, QPushButton& stop)
      : open_(std::move(open)), bar_(bar), timeLeft_(timeLeft), stop_(stop) {}
  void PhaseStarted(OperationPhase phase, uint32_t barMaximum) override {
    open_(barMaximum, messages::RunningText(phase));
    timeLeft_.clear();
    programming_ = phase == OperationPhase::Programming;
    if (stop_.text() != kStopCaption) stop_.setText(programming_ ? kStopAfterWrite : kStopping);
  }
  void BarMoved(uint32_t value) override { bar_.setValue(static_cast<int>(value)); }
  void BytesDone(uint32_t, uint32_t, std::optional<std::chrono::seconds> left) override {
    if (left) timeLeft_.setText(TimeLeftText(*left));
  }
  [[nodiscard]] bool programming() const { return programming_; }

 private:
  std::function<void(uint32_t, std::string_view)> open_;
  QProgressBar& bar_;
  QLabel& timeLeft_;
  QPushButton& stop_;
  bool programming_ = false;
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

bool TForm1::OperationRunning() const {
  return runner_ != nullptr && runner_->running();
}

std::vector<QObject*> TForm1::SessionCommands() const {
  // Everything that could change the buffer, the port, the memory type, the wiring or the
  // settings; Quitter, the close box and the information windows stay.
  std::vector<QObject*> commands;
  for (QMenu* menu :
       {MenuFichier, MenuAction, MenuBuffer, MenuMemoire, MenuAdresseBase, MenuPortSerie}) {
    for (QAction* action : menu->actions()) {
      if (action != OptionQuitter && !action->isSeparator()) commands.push_back(action);
    }
  }
  commands.push_back(MenuPurgerRegistre);
  for (QWidget* widget : std::initializer_list<QWidget*>{
           BoutonOuvrir, BoutonSauver, BoutonLire, BoutonProgOctet, BoutonProgMem, BoutonComparer,
           BoutonBuffer1, BoutonBuffer2, BoutonBuffer3, BoutonBuffer4, BoutonBuffer5, BoutonBuffer6,
           BoutonBuffer7, BoutonBuffer8, ComboBox, Edit1, Edit2}) {
    commands.push_back(widget);
  }
  return commands;
}

void TForm1::ShowOperationRunning(bool running) {
  const auto setEnabled = [](QObject* command, bool enabled) {
    if (auto* action = qobject_cast<QAction*>(command)) action->setEnabled(enabled);
    if (auto* widget = qobject_cast<QWidget*>(command)) widget->setEnabled(enabled);
  };
  if (!running) {
    for (const auto& [command, enabled] : disabledByOperation_)
      setEnabled(command.data(), enabled);
    disabledByOperation_.clear();
    BoutonArreter->hide();
    StaticTextReste->hide();
    ProgressBar->resize(idleBarWidth_, ProgressBar->height());
    return;
  }
  disabledByOperation_.clear();
  for (QObject* command : SessionCommands()) {
    const auto* action = qobject_cast<QAction*>(command);
    const auto* widget = qobject_cast<QWidget*>(command);
    disabledByOperation_.emplace_back(command, action ? action->isEnabled() : widget->isEnabled());
    setEnabled(command, false);
  }
  BoutonArreter->setText(kStopCaption);
  BoutonArreter->setEnabled(true);
  BoutonArreter->show();
  BoutonArreter->raise();
  idleBarWidth_ = ProgressBar->width();
  ProgressBar->resize(kBarWidthWithTimeLeft, ProgressBar->height());
  StaticTextReste->clear();
  StaticTextReste->show();
}

void TForm1::StopOperation() {
  if (!OperationRunning() || runner_->stopRequested()) return;
  runner_->RequestStop();
}

bool TForm1::RunOperation(const OperationRequest& request, OperationOutcome& outcome) {
  WindowObserver observer(
      [this](uint32_t maximum, std::string_view text) { OpenOperation(maximum, text); },
      *ProgressBar, *StaticTextReste, *BoutonArreter);
  const QMetaObject::Connection stopping =
      connect(runner_, &OperationRunner::stopRequestedChanged, this, [this, &observer] {
        BoutonArreter->setText(observer.programming() ? kStopAfterWrite : kStopping);
        BoutonArreter->setEnabled(false);
      });
  ShowOperationRunning(true);
  struct Restore {
    TForm1& form;
    QMetaObject::Connection connection;
    ~Restore() {
      disconnect(connection);
      form.ShowOperationRunning(false);
    }
  } restore{*this, stopping};
  outcome = runner_->Run(portHandle, request, observer);
  session_.ApplyOutcome(outcome);
  if (!closeAfterOperation_) return true;
  // The user asked to quit meanwhile: no report, the window closes once the handler is over.
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  return false;
}

void TForm1::ShowOutcome(const OperationOutcome& outcome) {
  dialogs_->ShowMessage(Text(messages::OutcomeMessage(outcome)),
                        Text(messages::OutcomeTitle(outcome)), kMbOk);
}

void TForm1::LectureMemoire(QObject* Sender) {
  emit commandStarted(QStringLiteral("LectureMemoire"), Sender);
  if (!session_.deviceOpen() || OperationRunning()) return;
  BoutonLire->repaint();
  OperationOutcome outcome;
  // The bytes reach the buffer only when the whole read succeeded.
  if (RunOperation(session_.Request(OperationKind::Read), outcome)) {
    if (outcome.succeeded()) {
      RefreshGrid(buffer, outcome.capacity);
      if (const std::string note = messages::RepetitionNote(outcome); !note.empty()) {
        dialogs_->ShowMessage(Text(note), Text(messages::kReadTitle), kMbOk | kMbIconInformation);
      }
    } else {
      ShowOutcome(outcome);
    }
  }
  CloseOperation();
}

void TForm1::ProgrammerMemoire(QObject* Sender) {
  emit commandStarted(QStringLiteral("ProgrammerMemoire"), Sender);
  const bool wholeMemory = Sender == BoutonProgMem || Sender == OptionProgramMem;
  const bool selectedByte = Sender == BoutonProgOctet || Sender == OptionProgramOctet;
  // Any other source would program nothing and still report success.
  if (!session_.deviceOpen() || OperationRunning() || (!wholeMemory && !selectedByte)) return;
  BoutonProgOctet->repaint();
  BoutonProgMem->repaint();
  OperationOutcome outcome;
  if (RunOperation(
          session_.Request(wholeMemory ? OperationKind::ProgramMemory : OperationKind::ProgramByte),
          outcome)) {
    // On failure the bar stays where the work stopped while the box is shown.
    if (outcome.succeeded()) {
      ProgressBar->setMaximum(static_cast<int>(outcome.capacity));
      ProgressBar->setValue(static_cast<int>(outcome.capacity));
      ProgressBar->repaint();
    }
    ShowOperationDone(messages::kProgramDone);
    ShowOutcome(outcome);
  }
  CloseOperation();
}

void TForm1::Comparer(QObject* Sender) {
  emit commandStarted(QStringLiteral("Comparer"), Sender);
  if (!session_.deviceOpen() || OperationRunning()) return;
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
  OperationOutcome outcome;
  if (RunOperation(request, outcome)) {
    ShowOperationDone(messages::kCompareDone);
    ShowOutcome(outcome);
  }
  scratch.reset();
  CloseOperation();
}

void TForm1::IdentifierMemoire(QObject* Sender) {
  emit commandStarted(QStringLiteral("IdentifierMemoire"), Sender);
  if (!session_.deviceOpen() || OperationRunning()) return;
  OperationOutcome outcome;
  if (!RunOperation(session_.Request(OperationKind::Identify), outcome)) {
    CloseOperation();
    return;
  }
  const QString report = Text(messages::OutcomeMessage(outcome));
  const QString title = Text(messages::kIdentifyTitle);
  bool select = false;
  if (outcome.succeeded()) {
    const QString question = Text(messages::SelectTypeQuestion(outcome.identify.types.front()));
    select = dialogs_->ShowMessage(report + QStringLiteral("\n\n") + question, title,
                                   kMbYesNo | kMbIconQuestion) == kIdYes;
  } else {
    dialogs_->ShowMessage(report, title, kMbOk | kMbIconInformation);
  }
  CloseOperation();
  // As the memory menu selects it.
  if (select) memoryTypeItems[static_cast<size_t>(outcome.identify.types.front())]->trigger();
}

}  // namespace keldar::ui
