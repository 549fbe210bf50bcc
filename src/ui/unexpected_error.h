// An error that no handler expected (a failed allocation, a fault in a library): the user is
// told in French, with the error's own text, and the program goes on.
#pragma once

#include <exception>

#include <QString>

namespace keldar::ui {

class UserDialogs;

// "Erreur inattendue : <text>", or the lack of memory said as such.
QString UnexpectedErrorText(const std::exception_ptr& error);
// That text in an error box titled with the program's name.
void ShowUnexpectedError(UserDialogs& dialogs, const std::exception_ptr& error);

}  // namespace keldar::ui
