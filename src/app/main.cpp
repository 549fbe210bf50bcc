// keldar: the EEPROM programmer's main program. It takes no arguments.
#include <exception>

#include <QMessageBox>

#include "ui/Keldaru1.h"
#include "ui/application.h"
#include "ui/program.h"
#include "ui/unexpected_error.h"

int main(int argc, char* argv[]) {
  keldar::ui::Application app(argc, argv);
  // The installed menu entry (keldar.desktop): Wayland desktops match the window to it by name.
  QGuiApplication::setDesktopFileName(QStringLiteral("keldar"));
  try {
    keldar::ui::Program program;
    return app.exec();
  } catch (...) {
    // An error that escapes the windows' creation ends the program after its message.
    QMessageBox::critical(nullptr, keldar::ui::kApplicationTitle,
                          keldar::ui::UnexpectedErrorText(std::current_exception()));
    return 1;
  }
}
