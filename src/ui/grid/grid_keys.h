// What a key does while the grid has the focus. Characters go to the grid's key-press
// handling; the arrow and page keys move the cursor as in any grid, each move subject to the
// cell-selection rule; every other key (clipboard chords included) does nothing.
#pragma once

#include <QChar>
#include <QKeyEvent>

#include "ui/grid/key_characters.h"

namespace keldar::ui {

enum class GridKeyAction {
  None,
  OpenEntry,  // Enter: the entry field of the active side takes the focus
  ToggleSide  // Space: the other cell of the same byte becomes current
};

inline GridKeyAction GridKeyPress(QChar key) {
  if (key.unicode() == kEnterKey) return GridKeyAction::OpenEntry;
  if (key.unicode() == kSpaceKey) return GridKeyAction::ToggleSide;
  return GridKeyAction::None;
}

inline bool IsGridNavigationKey(const QKeyEvent& event) {
  if (event.modifiers() & (Qt::AltModifier | Qt::MetaModifier)) return false;
  switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      return true;
    default:
      return false;
  }
}

}  // namespace keldar::ui
