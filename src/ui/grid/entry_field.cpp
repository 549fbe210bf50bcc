#include "ui/grid/entry_field.h"

#include <QKeyEvent>

#include "ui/grid/key_characters.h"

namespace keldar::ui {

EntryField::EntryField(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  setDragEnabled(false);
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
  if (enter_) enter_();
}

void EntryField::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
}

}  // namespace keldar::ui
