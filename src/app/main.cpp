// keldar: the EEPROM programmer's main program. It takes no arguments.
#include <exception>

#include "ui/application.h"
#include "ui/program.h"

int main(int argc, char* argv[]) {
  keldar::ui::Application app(argc, argv);
  // The installed menu entry (keldar.desktop): Wayland desktops match the window to it by name.
  QGuiApplication::setDesktopFileName(QStringLiteral("keldar"));
  try {
    keldar::ui::Program program;
    return app.exec();
  } catch (...) {
    // An error that escapes the windows' creation ends the program after its message.
    app.ReportUnexpectedError(std::current_exception());
    return 1;
  }
}
