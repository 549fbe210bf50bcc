// keldar: the EEPROM programmer's main program. It takes no arguments.
#include <exception>

#include <QApplication>
#include <QMessageBox>

#include "ui/program.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // The installed menu entry (keldar.desktop): Wayland desktops match the window to it by name.
  QGuiApplication::setDesktopFileName(QStringLiteral("keldar"));
  try {
    keldar::ui::Program program;
    return app.exec();
  } catch (const std::exception& error) {
    // An error that escapes the windows' creation or the message loop ends the program after
    // its message.
    QMessageBox::critical(nullptr, QString(), QString::fromLocal8Bit(error.what()));
    return 1;
  }
}
