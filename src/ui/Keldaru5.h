// The serial port test window, shown modally: drives the port's output lines by hand and reads
// its inputs.
#pragma once

#include <QDialog>

class QPushButton;

namespace keldar::ui {

class TForm1;

class TForm5 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(TForm1& mainWindow);

  QPushButton* BoutonTestPortP = nullptr;

 private:
  TForm1& mainWindow_;
};

}  // namespace keldar::ui
