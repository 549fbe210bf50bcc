// Frames and placement shared by the secondary windows.
#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace keldar::ui {

// No system menu and no title-bar buttons: the window's own button is the way back.
inline constexpr Qt::WindowFlags kBareWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
// A close box alone (the system menu keeps Move and Close).
inline constexpr Qt::WindowFlags kCloseOnlyDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint;

inline void CentreOnScreen(QWidget& window) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
  }
}

}  // namespace keldar::ui
