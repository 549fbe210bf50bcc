// Read, program and compare between the buffer and the memory in the reader. Reachable only
// while a port is open: the port handling greys their menu and hides their buttons otherwise.
// Each runs to its end on the user-interface thread, repainting what it changes itself.
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

#include "hw/line_driver.h"
#include "i2c/operations.h"
#include "messages/operation_messages.h"
#include "ui/Keldaru1.h"
#include "ui/grid/hex_grid_view.h"

namespace keldar::ui {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The bar is repainted at each point: no events run while an operation blocks the window.
ProgressCallback MoveBar(QProgressBar* bar) {
  return [bar](uint32_t value) {
    bar->setValue(static_cast<int>(value));
    bar->repaint();
  };
}

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

void TForm1::LectureMemoire(QObject* Sender) {
  emit commandStarted(QStringLiteral("LectureMemoire"), Sender);
  ControlPort* const open = port();
  if (open == nullptr) return;
  const uint32_t capacity = currentMemory.capacity;
  BoutonLire->repaint();
  OpenOperation(capacity - 1, messages::kReadRunning);

  LineDriver lines(lineMap, *open);
  // The bytes reach the buffer only when the whole read succeeded.
  const ReadOutcome outcome = ReadMemory(lines, currentMemory, buffer, MoveBar(ProgressBar));
  if (outcome.succeeded()) {
    RefreshGrid(buffer, capacity);
  } else {
    dialogs_->ShowMessage(Text(messages::kReadFailed), Text(messages::kReadFailedTitle), kMbOk);
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
  const uint32_t capacity = currentMemory.capacity;
  BoutonProgOctet->repaint();
  BoutonProgMem->repaint();
  OpenOperation(capacity, messages::kProgramRunning);

  LineDriver lines(lineMap, *open);
  const ProgramOutcome outcome =
      wholeMemory ? ProgramMemory(lines, currentMemory, buffer, MoveBar(ProgressBar))
                  : ProgramSelectedByte(lines, currentMemory, buffer);
  std::string message(messages::ProgramMessage(outcome));
  bool succeeded = outcome.succeeded();
  if (wholeMemory && succeeded) {
    // What the memory acknowledged is not yet what it holds (write protection, a smaller page
    // than its type's): the success is what reads back.
    OpenOperation(capacity - 1, messages::kVerifyRunning);
    std::vector<uint8_t> scratch(capacity);
    const CompareOutcome verify =
        CompareMemory(lines, currentMemory, buffer, scratch, MoveBar(ProgressBar));
    message = messages::VerifyMessage(verify, capacity);
    succeeded = verify.same();
    if (succeeded) ProgressBar->setMaximum(static_cast<int>(capacity));
  }
  // On failure the bar stays where the work stopped while the box is shown.
  if (succeeded) MoveBar(ProgressBar)(capacity);
  ShowOperationDone(messages::kProgramDone);
  dialogs_->ShowMessage(
      Text(message),
      Text(selectedByte ? messages::kProgramByteTitle : messages::kProgramMemoryTitle), kMbOk);
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
  OpenOperation(capacity - 1, messages::kCompareRunning);

  LineDriver lines(lineMap, *open);
  const CompareOutcome outcome = CompareMemory(
      lines, currentMemory, buffer, std::span(scratch.get(), capacity), MoveBar(ProgressBar));
  ShowOperationDone(messages::kCompareDone);
  dialogs_->ShowMessage(Text(messages::CompareMessage(outcome, capacity)),
                        Text(messages::kCompareTitle), kMbOk);
  scratch.reset();
  CloseOperation();
}

}  // namespace keldar::ui
