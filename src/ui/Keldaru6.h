// The reader line configuration window, shown modally. It edits the main window's LineMap in
// place, every change at once and with no Cancel; its creation derives the map's line codes and
// input mask from the restored settings.
#pragma once

#include <QDialog>

#include "session/session.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;

namespace keldar::ui {

class TForm1;

class TForm6 : public QDialog {
  Q_OBJECT

 public:
  TForm6(TForm1& mainWindow, Session& session);

  QPushButton* BoutonRetourConfig = nullptr;
  QPushButton* BoutonInitConfig = nullptr;
  QGroupBox* RadioGroup1 = nullptr;  // items: the six output arrangements
  QCheckBox* CBcompVALIMout = nullptr;
  QCheckBox* CBcompSCLout = nullptr;
  QCheckBox* CBcompSDAout = nullptr;
  QGroupBox* RadioGroup2 = nullptr;  // items: CTS, DSR, RING, DCD
  QCheckBox* CBcompSDAin = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QSlider* TrackBar1 = nullptr;
  QLabel* StaticTextTA = nullptr;
  QPushButton* BoutonInfoTA = nullptr;
  QPushButton* BoutonConfigISP = nullptr;
  // Under the controls, while the open port's adapter cannot carry the wiring chosen, or while
  // an I2C adapter is open, to which none of them applies.
  QLabel* StaticTextConseil = nullptr;

  // The checked item of a radio group, -1 when none.
  [[nodiscard]] int ItemIndex(const QGroupBox* group) const;

 public slots:
  void RadioGroup1Click();
  void RadioGroup2Click();
  void CBcompOutClick(QObject* Sender);
  void TrackBar1Change();
  void BoutonInfoTAClick();
  void BoutonInitConfigClick();
  void BoutonConfigISPClick();
  void BoutonRetourConfigClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void FormCreate();
  // Selects an item without running the group's click handler.
  void SetItemIndex(QGroupBox* group, int index);
  // The controls take the map's arrangement, input and complement flags.
  void ShowLineMap();
  // The reader's lines settle to their rest levels under the map, when a port is open.
  void PowerOffIfOpen();
  // Shows or hides the adapter's advice for the wiring in force, the window growing to hold it.
  void ShowWiringAdvice();

  TForm1& mainWindow_;
  Session& session_;
  QButtonGroup* outputItems_ = nullptr;
  QButtonGroup* inputItems_ = nullptr;
  // Until construction ends, setting the check boxes leaves the map alone.
  bool initialised = false;
};

}  // namespace keldar::ui
