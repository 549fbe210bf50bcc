// The wiring diagrams window: modeless; the main window hides while it is shown.
#pragma once

#include <QWidget>

class QPushButton;

namespace keldar::ui {

class TForm2 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm2(QWidget& mainWindow);

  QPushButton* BoutonRetour = nullptr;

 public slots:
  void BoutonRetourProg();

 private:
  QWidget& mainWindow_;
};

}  // namespace keldar::ui
