// The program's application object. Qt's own texts (standard buttons, file dialogs) are in
// French and what Qt draws itself follows the windows' font policy; an error that no handler
// caught is shown in a message box, and the program goes on.
#pragma once

#include <exception>

#include <QApplication>

#include "ui/qt_french.h"

namespace keldar::ui {

class UserDialogs;

class Application : public QApplication {
  Q_OBJECT

 public:
  Application(int& argc, char** argv);

  // Where a caught error is shown; nullptr: a message box of the application's own.
  void SetDialogs(UserDialogs* dialogs) { dialogs_ = dialogs; }
  // Whether Qt's French translation was found and installed.
  [[nodiscard]] bool QtTextsInFrench() const { return !qtTexts_.isEmpty(); }

  // An error that no handler caught, shown where SetDialogs says.
  void ReportUnexpectedError(const std::exception_ptr& error);

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  QtFrench qtTexts_;
  UserDialogs* dialogs_ = nullptr;
};

}  // namespace keldar::ui
