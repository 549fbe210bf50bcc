// The about window: modeless; the main window hides while it is shown.
#pragma once

#include <QWidget>

class QPushButton;

namespace keldar::ui {

class TForm3 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm3(QWidget& mainWindow);

  QPushButton* BoutonRetour2 = nullptr;

 public slots:
  void BoutonRetour2Click();

 private:
  QWidget& mainWindow_;
};

}  // namespace keldar::ui
