#include "ui/Keldaru5.h"

#include <QPushButton>

#include "ui/Keldaru1.h"
#include "ui/window_frames.h"

namespace keldar::ui {

TForm5::TForm5(TForm1& mainWindow)
    : QDialog(nullptr, kCloseOnlyDialogFlags), mainWindow_(mainWindow) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QString::fromUtf8(" Test du port série :"));
  setFixedSize(380, 220);
  BoutonTestPortP = new QPushButton(QStringLiteral("&Retour au programme"), this);
  BoutonTestPortP->setObjectName(QStringLiteral("BoutonTestPortP"));
  BoutonTestPortP->setGeometry(110, 185, 160, 25);
  connect(BoutonTestPortP, &QPushButton::clicked, this, &QDialog::accept);
  CentreOnScreen(*this);
}

}  // namespace keldar::ui
