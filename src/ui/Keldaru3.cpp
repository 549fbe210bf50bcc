#include "ui/Keldaru3.h"

#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>

#include "ui/window_frames.h"

namespace keldar::ui {

TForm3::TForm3(QWidget& mainWindow) : QWidget(nullptr, kBareWindowFlags), mainWindow_(mainWindow) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QString::fromUtf8(" A propos du programmateur..."));
  setFixedSize(521, 401);
  setAttribute(Qt::WA_QuitOnClose, false);
  setAutoFillBackground(true);
  QPalette teal = palette();
  teal.setColor(QPalette::Window, QColor(0, 128, 128));
  setPalette(teal);
  BoutonRetour2 = new QPushButton(QStringLiteral("Retour au programme"), this);
  BoutonRetour2->setObjectName(QStringLiteral("BoutonRetour2"));
  BoutonRetour2->setGeometry(168, 363, 185, 25);
  BoutonRetour2->setDefault(true);
  connect(BoutonRetour2, &QPushButton::clicked, this, &TForm3::BoutonRetour2Click);
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, BoutonRetour2,
          &QPushButton::click);
  CentreOnScreen(*this);
}

void TForm3::BoutonRetour2Click() {
  hide();
  mainWindow_.show();
}

}  // namespace keldar::ui
