// keldar: the EEPROM programmer's main program. It takes no arguments.
#include <exception>

#include "app/stop_signals.h"
#include "ui/Keldaru1.h"
#include "ui/application.h"
#include "ui/program.h"

int main(int argc, char* argv[]) {
  keldar::ui::Application app(argc, argv);
  // The installed menu entry (keldar.desktop): Wayland desktops match the window to it by name.
  QGuiApplication::setDesktopFileName(QStringLiteral("keldar"));
  try {
    keldar::ui::Program program;
    const keldar::StopSignals stopSignals([&program] { program.form1().CloseWithoutAsking(); });
    return app.exec();
  } catch (...) {
    // An error that escapes the windows' creation ends the program after its message.
    app.ReportUnexpectedError(std::current_exception());
    return 1;
  }
}
