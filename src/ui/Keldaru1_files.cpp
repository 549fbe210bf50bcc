// Loading the buffer from a file and saving it.
#include "ui/Keldaru1.h"

namespace keldar::ui {

void TForm1::OuvrirFichier(QObject* Sender) {
  emit commandStarted(QStringLiteral("OuvrirFichier"), Sender);
}

void TForm1::SauverFichier(QObject* Sender) {
  emit commandStarted(QStringLiteral("SauverFichier"), Sender);
}

}  // namespace keldar::ui
