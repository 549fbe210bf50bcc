// The reader line configuration window, shown modally. It edits the main window's LineMap in
// place; its creation derives the map's line codes from the restored settings.
#pragma once

#include <QDialog>

class QPushButton;

namespace keldar::ui {

class TForm1;

class TForm6 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm6(TForm1& mainWindow);

  QPushButton* BoutonRetourConfig = nullptr;

 private:
  void FormCreate();

  TForm1& mainWindow_;
};

}  // namespace keldar::ui
