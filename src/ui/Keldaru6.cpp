#include "ui/Keldaru6.h"

#include <QPushButton>

#include "hw/line_driver.h"
#include "ui/Keldaru1.h"
#include "ui/window_frames.h"

namespace keldar::ui {

TForm6::TForm6(TForm1& mainWindow)
    : QDialog(nullptr, kCloseOnlyDialogFlags), mainWindow_(mainWindow) {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QString::fromUtf8(" Configuration du lecteur sur le port série :"));
  setFixedSize(420, 440);
  BoutonRetourConfig = new QPushButton(QStringLiteral("&Retour au programme"), this);
  BoutonRetourConfig->setObjectName(QStringLiteral("BoutonRetourConfig"));
  BoutonRetourConfig->setGeometry(130, 405, 160, 25);
  connect(BoutonRetourConfig, &QPushButton::clicked, this, &QDialog::accept);
  CentreOnScreen(*this);
  FormCreate();
}

void TForm6::FormCreate() {
  // The settings restored the indices and flags; the codes and mask follow from them now, and
  // a port reopened under the default map rests again under the restored one.
  LineMap& map = mainWindow_.lineMap;
  if (!map.SetOutputArrangement(map.outputArrangement)) map.SetOutputArrangement(0);
  if (!map.SetSdaInput(map.sdaInput)) map.SetSdaInput(0);
  if (ControlPort* port = mainWindow_.port()) {
    LineDriver lines(map, *port);
    lines.PowerOff();
  }
}

}  // namespace keldar::ui
