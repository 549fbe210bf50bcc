// The serial port test window, shown modally: sets and clears the open port's three output lines
// by hand and shows its four inputs. It works on the physical lines: the line map (arrangement,
// complements, access time) plays no part here.
#pragma once

#include <QDialog>

#include "session/session.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace keldar::ui {

class TForm5 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(Session& session);

  QGroupBox* GroupBox2 = nullptr;
  QCheckBox* CC_TXD = nullptr;
  QCheckBox* CC_DTR = nullptr;
  QCheckBox* CC_RTS = nullptr;
  QLabel* StaticText8 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLabel* txt_CTS = nullptr;
  QLabel* txt_DSR = nullptr;
  QLabel* txt_RI = nullptr;
  QLabel* txt_DCD = nullptr;
  QPushButton* BoutonLireEntrees = nullptr;
  QPushButton* BoutonTestPortP = nullptr;

 public slots:
  void CC_Click(QObject* Sender);
  void BoutonLireEntreesClick();
  void BoutonRetourTest();

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormShow();
  // One status read, then the four read-outs from that one word.
  void ShowInputStates();

  Session& session_;
};

}  // namespace keldar::ui
