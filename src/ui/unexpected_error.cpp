#include "ui/unexpected_error.h"

#include <new>

#include <QCoreApplication>

#include "ui/user_dialogs.h"

namespace keldar::ui {

QString UnexpectedErrorText(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::bad_alloc&) {
    return QString::fromUtf8("Mémoire insuffisante : l'opération n'a pas pu aboutir.");
  } catch (const std::exception& caught) {
    return QString::fromUtf8("Erreur inattendue : ") + QString::fromLocal8Bit(caught.what());
  } catch (...) {
    return QString::fromUtf8("Erreur inattendue.");
  }
}

void ShowUnexpectedError(UserDialogs& dialogs, const std::exception_ptr& error) {
  dialogs.ShowMessage(UnexpectedErrorText(error), QCoreApplication::applicationName(),
                      kMbOk | kMbIconError);
}

}  // namespace keldar::ui
