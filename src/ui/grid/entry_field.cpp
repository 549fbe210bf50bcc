#include "ui/grid/entry_field.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>

#include "ui/grid/key_characters.h"

namespace keldar::ui {

EntryField::EntryField(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  setDragEnabled(false);
  // A moved caret shows at once, whatever the blink.
  connect(this, &QLineEdit::cursorPositionChanged, this, [this] {
    if (hasFocus()) ShowCaret();
  });
}

void EntryField::keyPressEvent(QKeyEvent* event) {
  const QChar key = TypedCharacter(*event);
  if (!key.isNull()) {
    if (keyPress_) keyPress_(key);
    event->accept();
    return;
  }
  // Caret keys move the caret of the read-only field; nothing else (clipboard chords
  // included) does anything here.
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
      if (!(event->modifiers() & Qt::ControlModifier)) {
        QLineEdit::keyPressEvent(event);
        return;
      }
      break;
    default:
      break;
  }
  event->ignore();
}

void EntryField::keyReleaseEvent(QKeyEvent* event) {
  QLineEdit::keyReleaseEvent(event);
  if (!event->isAutoRepeat() && keyUp_) keyUp_();
}

void EntryField::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  ShowCaret();
  if (enter_) enter_();
}

void EntryField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  blink_.stop();
  caretOn_ = false;
  update();
}

void EntryField::ShowCaret() {
  caretOn_ = true;
  // A flash time of 0 means a caret that does not blink.
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  if (flash > 0) blink_.start(flash / 2, this);
  update();
}

void EntryField::timerEvent(QTimerEvent* event) {
  if (event->timerId() != blink_.timerId()) {
    QLineEdit::timerEvent(event);
    return;
  }
  caretOn_ = !caretOn_;
  update();
}

void EntryField::paintEvent(QPaintEvent* event) {
  // A read-only line edit draws no caret: it is drawn here where an editable one has it.
  QLineEdit::paintEvent(event);
  if (!caretOn_ || !hasFocus()) return;
  const QRect around = cursorRect();
  const int width = style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this);
  QPainter painter(this);
  painter.fillRect(around.left() + around.width() / 2, around.top(), width, around.height(),
                   palette().text());
}

void EntryField::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
}

}  // namespace keldar::ui
