// Keys as the editor sees them: the character a key press types, with Enter, Escape and Space
// as their control codes.
#pragma once

#include <QChar>
#include <QKeyEvent>

namespace keldar::ui {

inline constexpr char16_t kEnterKey = u'\r';
inline constexpr char16_t kEscapeKey = 27;
inline constexpr char16_t kSpaceKey = u' ';

// Null when the key types nothing (arrows, function keys, a lone modifier, a Ctrl chord).
inline QChar TypedCharacter(const QKeyEvent& event) {
  // A Ctrl chord types no character of its own (AltGr arrives as Ctrl+Alt on some platforms
  // and does type one).
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  if ((modifiers & Qt::MetaModifier) ||
      ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier))) {
    return QChar();
  }
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return QChar(kEnterKey);
    case Qt::Key_Escape:
      return QChar(kEscapeKey);
    case Qt::Key_Delete:  // types nothing, though some platforms give it the text DEL
      return QChar();
    default:
      break;
  }
  const QString text = event.text();
  return text.isEmpty() ? QChar() : text.front();
}

}  // namespace keldar::ui
