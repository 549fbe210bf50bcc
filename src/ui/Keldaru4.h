// The help text window, shown modally over the main window.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace keldar::ui {

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  TForm4();

  QPlainTextEdit* RichEdit1 = nullptr;
  QPushButton* BoutonRetour3 = nullptr;

 public slots:
  void BoutonRetour3Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace keldar::ui
