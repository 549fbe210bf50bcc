// The hexadecimal/character grid editor: refresh, cursor moves, byte entry, character sets.
#include <algorithm>

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>

#include "ui/Keldaru1.h"
#include "ui/grid/byte_texts.h"
#include "ui/grid/entry_field.h"
#include "ui/grid/grid_geometry.h"
#include "ui/grid/grid_keys.h"
#include "ui/grid/hex_grid_model.h"
#include "ui/grid/hex_grid_view.h"
#include "ui/status_texts.h"

namespace keldar::ui {
namespace {

using G = GridGeometry;

const QColor kNavy(0, 0, 128);
// Progress points of a refresh.
constexpr uint32_t kRefreshSteps = 64;

}  // namespace

void TForm1::SetBusyStatus(const QString& text) {
  QPalette palette = StaticTextInfo->palette();
  palette.setColor(QPalette::Window, kNavy);
  StaticTextInfo->setPalette(palette);
  StaticTextInfo->setText(text);
  StaticTextInfo->repaint();
}

void TForm1::ClearBusyStatus() {
  QPalette palette = StaticTextInfo->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Button));
  StaticTextInfo->setPalette(palette);
  StaticTextInfo->clear();
}

void TForm1::RefreshGrid(const Buffer& source, uint32_t count) {
  StringGrid1->SetBusy(true);
  SetBusyStatus(kRefreshRunning);

  const int column = StringGrid1->currentColumn();
  const int row = StringGrid1->currentRow();
  model_->Show(source, count);
  // The reset forgets the cursor: it goes back where it was, or, when its line no longer
  // exists, moves to the last line in the same column as a cursor move does.
  const int lastRow = G::RowCount(count) - 1;
  if (G::IsDataCell(column, row) && row <= lastRow) {
    StringGrid1->RestoreCurrentCell(column, row);
  } else if (lastRow >= G::kFirstDataRow) {
    const int newColumn = G::IsDataColumn(column) ? column : G::kFirstHexColumn;
    StringGrid1->SetCurrentCell(newColumn, std::min(std::max(row, 1), lastRow));
  }

  // The cells are read from the buffer as they are painted; only the progress points remain of
  // the per-byte loop. They pass in a blink now that nothing is written per cell: drawing each
  // of them would cost more than the refresh itself.
  ProgressBar->setUpdatesEnabled(false);
  ProgressBar->setValue(0);
  ProgressBar->setMaximum(static_cast<int>(count));
  const uint32_t step = count >= kRefreshSteps ? count / kRefreshSteps : 1;
  for (uint32_t i = step - 1; i < count; i += step) {
    ProgressBar->setValue(static_cast<int>(i));
  }
  ProgressBar->setValue(0);
  ProgressBar->setUpdatesEnabled(true);

  entry_.Load(currentMemory.cursorAddress);
  ShowEntry();
  LayOutAddressFields(G::WideAddresses(count));

  StringGrid1->SetBusy(false);
  ClearBusyStatus();
}

bool TForm1::StringGrid1SelectCell(int column, int row) {
  if (!G::IsDataColumn(column) || row < G::kFirstDataRow) return false;
  editorState.hexSide = G::IsHexColumn(column);
  editorState.cursorColumn = G::OffsetOf(column);
  editorState.cursorRow = G::LineOfRow(row);
  currentMemory.cursorAddress = G::AddressOf(column, row);
  StaticText2->setText(AddressText(currentMemory.cursorAddress));
  entry_.Load(currentMemory.cursorAddress);
  ShowEntry();
  return true;
}

void TForm1::ShowEntry() {
  Edit1->setText(entry_.Edit1Text());
  Edit2->setText(entry_.Edit2Text(editorState.charsetAnsi));
  StaticText1->setText(entry_.StaticText1Text());
}

void TForm1::PutCaretsAtEnd() {
  Edit1->setCursorPosition(static_cast<int>(Edit1->text().size()));
  Edit2->setCursorPosition(static_cast<int>(Edit2->text().size()));
}

void TForm1::StringGrid1KeyPress(QChar key) {
  if (OperationRunning()) return;  // the buffer is the operation's until it ends
  switch (GridKeyPress(key)) {
    case GridKeyAction::OpenEntry:
      if (editorState.hexSide) {
        Edit1->setFocus();
        Edit1->setCursorPosition(2);
      } else {
        Edit2->setFocus();
        Edit2->setCursorPosition(1);
      }
      break;
    case GridKeyAction::ToggleSide: {
      const int column = StringGrid1->currentColumn();
      if (G::IsDataColumn(column)) {
        StringGrid1->SetCurrentCell(G::PartnerColumn(column), StringGrid1->currentRow());
      }
      break;
    }
    case GridKeyAction::None:
      break;
  }
}

void TForm1::StringGrid1DblClick() {
  if (G::IsDataCell(StringGrid1->currentColumn(), StringGrid1->currentRow())) {
    StringGrid1KeyPress(QChar(kEnterKey));
  }
}

void TForm1::EditKeyPress(QChar key) {
  if (OperationRunning()) return;
  const EntryAction action = entry_.KeyPress(key, editorState.hexSide, editorState.charsetAnsi,
                                             currentMemory.cursorAddress);
  ApplyEntryAction(action);
}

void TForm1::ApplyEntryAction(EntryAction action) {
  switch (action) {
    case EntryAction::Ignored:
      return;
    case EntryAction::Typed:
      ShowEntry();
      PutCaretsAtEnd();
      return;
    case EntryAction::Stored:
      model_->ByteChanged(currentMemory.cursorAddress);
      ShowEntry();
      PutCaretsAtEnd();
      StringGrid1->setFocus();
      return;
    case EntryAction::Restored:
      ShowEntry();
      StringGrid1->setFocus();
      return;
  }
}

void TForm1::Edit1Enter() {
  editorState.hexSide = true;
}

void TForm1::Edit2Enter() {
  editorState.hexSide = false;
}

void TForm1::Edit1KeyUp() {
  Edit1->setCursorPosition(2);
}

void TForm1::Edit2KeyUp() {
  Edit2->setCursorPosition(1);
}

void TForm1::CommandeBoutonRadioDosWin(QObject* Sender) {
  const bool oem = Sender == BoutonRadioDos || Sender == OptionCaracDos;
  const bool ansi = Sender == BoutonRadioWin || Sender == OptionCaracWin;
  if (!oem && !ansi) return;
  // The same codes drawn in the other set; OEM glyphs are shown without bold.
  QFont font = StringGrid1->font();
  font.setBold(ansi);
  StringGrid1->setFont(font);
  (ansi ? OptionCaracWin : OptionCaracDos)->setChecked(true);
  BoutonRadioWin->setChecked(ansi);
  BoutonRadioDos->setChecked(oem);
  editorState.charsetAnsi = ansi;
  model_->SetCharsetAnsi(ansi);
  Edit2->setText(entry_.Edit2Text(ansi));
}

}  // namespace keldar::ui
