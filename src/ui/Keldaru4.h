// The help text window, shown modally.
#pragma once

#include <QDialog>

class QPushButton;

namespace keldar::ui {

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  TForm4();

  QPushButton* BoutonRetour3 = nullptr;
};

}  // namespace keldar::ui
