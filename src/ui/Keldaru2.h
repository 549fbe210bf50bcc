// The wiring diagrams window: the standard reader, and the in-situ module with its advice. It is
// modeless and takes the main window's place on screen until its return button.
#pragma once

#include <QImage>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace keldar::ui {

class TForm1;

class TForm2 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm2(TForm1& mainWindow);

  QPushButton* BoutonRetour = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;  // "&Programmateur standard"
  QLabel* Image1 = nullptr;
  QPushButton* BoutonCopierPP1 = nullptr;
  QWidget* TabSheet2 = nullptr;  // "&Schéma pour programmation In Situ"
  QTabWidget* PageControl2 = nullptr;
  QWidget* TabSheet3 = nullptr;  // "Câblage électrique"
  QLabel* Image2 = nullptr;
  QPushButton* BoutonCopierPP2 = nullptr;
  QWidget* TabSheet4 = nullptr;  // "Conseils importants, et restrictions d'utilisation"
  QPlainTextEdit* MemoInSitu = nullptr;

 public slots:
  void FormShow();
  void BoutonRetourProg();
  void BoutonCopierPPClick(QObject* Sender);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildStandardTab();
  void BuildInSituTabs();

  TForm1& mainWindow_;
  // The diagrams as the clipboard receives them: one bit per pixel, at the pictures' sizes.
  QImage standardDiagram_;
  QImage inSituDiagram_;
};

}  // namespace keldar::ui
