// The about window: modeless; it takes the main window's place on screen until its return
// button.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace keldar::ui {

class TForm3 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm3(QWidget& mainWindow);

  QLabel* StaticText1 = nullptr;  // the program's name
  QLabel* Image2 = nullptr;       // a 24LC16B
  QLabel* Image3 = nullptr;       // the reader in its DB9 hood
  QLabel* Image1 = nullptr;       // a 24LC256
  QLabel* StaticText2 = nullptr;  // version, author, date
  QLabel* StaticText3 = nullptr;  // terms of use
  QLabel* StaticText6 = nullptr;  // conditions of distribution
  QLineEdit* Edit1 = nullptr;     // contact
  QPushButton* BoutonRetour2 = nullptr;

 public slots:
  void BoutonRetour2Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* NewText(const char* name, const QString& text, QRect geometry, int pixels);
  QLabel* NewPicture(const char* name, const QString& path, QRect geometry, const QString& hint);

  QWidget& mainWindow_;
};

}  // namespace keldar::ui
