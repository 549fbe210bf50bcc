#include "ui/Keldaru2.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

#include "ui/window_frames.h"

namespace keldar::ui {

TForm2::TForm2(QWidget& mainWindow) : QWidget(nullptr, kBareWindowFlags), mainWindow_(mainWindow) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QString::fromUtf8(" Schéma électrique du programmateur d'EEPROMs I2C série :"));
  setFixedSize(538, 417);
  setAttribute(Qt::WA_QuitOnClose, false);
  BoutonRetour = new QPushButton(QStringLiteral("&Retour au programme"), this);
  BoutonRetour->setObjectName(QStringLiteral("BoutonRetour"));
  BoutonRetour->setGeometry(394, 3, 140, 21);
  connect(BoutonRetour, &QPushButton::clicked, this, &TForm2::BoutonRetourProg);
  // The window's cancel button: Escape presses it.
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, BoutonRetour,
          &QPushButton::click);
  CentreOnScreen(*this);
}

void TForm2::BoutonRetourProg() {
  hide();
  mainWindow_.show();
}

}  // namespace keldar::ui
