// The port chooser, shown modally from the "Port série" menu: the device each of COM1..COM4
// names and where it comes from, the machine's serial devices and FTDI cables with what each can
// do (read from /dev and sysfs, nothing opened), the assignment of a device to a port, written to
// the Ports group when the window is confirmed, and the measure of a device's port calls. The
// list follows the devices that come and go while the window is open.
#pragma once

#include <array>
#include <string>

#include <QDialog>

#include "hw/system_paths.h"

class QComboBox;
class QFileSystemWatcher;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace keldar::ui {

class TForm1;

class PortChooser : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kPorts = 4;  // COM1..COM4
  // Quiet time after the last change under /dev before the list is read again: udev adds the
  // by-id links after the node, and the node's group and mode after that.
  static constexpr int kSettleMilliseconds = 1000;

  explicit PortChooser(TForm1& mainWindow);

  QGroupBox* GroupePorts = nullptr;
  QTreeWidget* ListePorts = nullptr;  // COM1..COM4: port, device, origin, kind
  QGroupBox* GroupePeripheriques = nullptr;
  QTreeWidget* ListePeripheriques = nullptr;   // device, kind, driver, who holds it
  QPlainTextEdit* TexteDescription = nullptr;  // the selected device and its advice
  QLineEdit* EditPeripherique = nullptr;
  QComboBox* ComboPort = nullptr;
  QPushButton* BoutonAffecter = nullptr;
  QPushButton* BoutonDefaut = nullptr;
  QLabel* StaticTextEnvironnement = nullptr;  // when KELDAR_COMn overrides the chosen port
  QGroupBox* GroupeMesure = nullptr;
  QPushButton* BoutonMesurer = nullptr;
  QLabel* StaticTextMesure = nullptr;
  QPushButton* BoutonValider = nullptr;
  QPushButton* BoutonAnnuler = nullptr;
  QTimer* TimerActualiser = nullptr;

 public slots:
  // Reads the devices and the ports' devices again.
  void Actualiser();
  // The device field becomes the chosen port's assignment; empty gives the port its default.
  void AffecterClick();
  void DefautClick();
  // Measures the device of the field; through the open port when it is the program's.
  void MesurerClick();
  // Writes the assignments that changed, moves the open port to its new device, and closes.
  void ValiderClick();

 private:
  void BuildControls();
  void ShowPorts();
  void ShowDevices();
  void PortSelected(QTreeWidgetItem* item);
  void DeviceSelected(QTreeWidgetItem* item);
  void ShowEnvironmentNote();
  void WatchDeviceFolders();

  TForm1& mainWindow_;
  SystemPaths paths_;
  std::array<std::string, kPorts> stored_;    // the Ports group as the window found it
  std::array<std::string, kPorts> assigned_;  // as the user has it; "" for the default
  QFileSystemWatcher* watcher_ = nullptr;
};

}  // namespace keldar::ui
