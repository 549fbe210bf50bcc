#include "ui/application.h"

#include <exception>

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>

#include "ui/unexpected_error.h"
#include "ui/user_dialogs.h"
#include "ui/window_fonts.h"

namespace keldar::ui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  // The program speaks French whatever the desktop's language: Qt's texts too, and what Qt
  // writes through the locale (the file dialog's sizes, dates and file type names).
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  if (qtTexts_.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    installTranslator(&qtTexts_);
  }
  // Menus, message boxes and file dialogs in the windows' font.
  setFont(InterfaceFont(13));
}

void Application::ReportUnexpectedError(const std::exception_ptr& error) {
  if (dialogs_ != nullptr) {
    ShowUnexpectedError(*dialogs_, error);
  } else {
    QMessageBox::critical(nullptr, applicationName(), UnexpectedErrorText(error));
  }
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ReportUnexpectedError(std::current_exception());
    return false;
  }
}

}  // namespace keldar::ui
