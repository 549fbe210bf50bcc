// Frames, placement and buttons shared by the secondary windows.
#pragma once

#include <QGuiApplication>
#include <QPushButton>
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

// A push button named and placed: the windows lay their controls out by hand.
inline QPushButton* AddButton(QWidget* parent, const char* name, const char* caption,
                              QRect geometry) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  return button;
}

}  // namespace keldar::ui
