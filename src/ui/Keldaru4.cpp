#include "ui/Keldaru4.h"

#include <QPushButton>

#include "ui/window_frames.h"

namespace keldar::ui {

TForm4::TForm4()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QString::fromUtf8(" Informations sur le programme..."));
  setFixedSize(627, 425);
  BoutonRetour3 = new QPushButton(QStringLiteral("Retour au programme"), this);
  BoutonRetour3->setObjectName(QStringLiteral("BoutonRetour3"));
  BoutonRetour3->setGeometry(0, 401, 625, 25);
  BoutonRetour3->setDefault(true);
  // Escape closes a dialog: the button is its cancel button as well.
  connect(BoutonRetour3, &QPushButton::clicked, this, &QDialog::accept);
  CentreOnScreen(*this);
}

}  // namespace keldar::ui
