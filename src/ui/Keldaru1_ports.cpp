// Opening, switching and releasing the serial port, and the two command states that follow it.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

#include "devices/device_sources.h"
#include "devices/wiring_limits.h"
#include "hw/line_driver.h"
#include "messages/adapter_advice.h"
#include "messages/port_messages.h"
#include "messages/port_texts.h"
#include "messages/system_errors.h"
#include "settings/port_devices.h"
#include "settings/settings_store.h"
#include "ui/Keldaru1.h"
#include "ui/Keldaru5.h"
#include "ui/Keldaru6.h"
#include "ui/grid/hex_grid_view.h"
#include "ui/port_chooser.h"
#include "ui/status_texts.h"

namespace keldar::ui {

void TForm1::SetPortCommandsAvailable(bool available) {
  // A disabled menu still fires its items' shortcuts: each command is disabled itself.
  MenuAction->menuAction()->setEnabled(available);
  for (QAction* command : MenuAction->actions())
    command->setEnabled(available);
  Testduportserie->setEnabled(available);
  OptionIdentifier->setEnabled(available);
  for (QToolButton* button : {BoutonLire, BoutonProgOctet, BoutonProgMem, BoutonComparer}) {
    button->setVisible(available);
  }
  EditMessPort->setVisible(!available);
}

void TForm1::CheckPortItem(int port) {
  QAction* const items[] = {OptionNoCOM, OptionCOM1, OptionCOM2, OptionCOM3, OptionCOM4};
  items[port]->setChecked(true);
}

void TForm1::ChangerPort(int port) {
  if (port < 0 || port > 4) return;
  if (portNumber != 0 && port == 0) {
    Timer1->stop();
    portHandle = {};  // released as it is: no power-off first
    CheckPortItem(0);
    EditMessPort->setText(kPortDeselected);
    SetPortCommandsAvailable(false);
    Timer1->start();
    portNumber = 0;
    portDevice_.clear();
  }
  if (port == 0) return;
  Timer1->stop();
  if (port == portNumber) return;
  if (portNumber != 0) portHandle = {};
  portDevice_.clear();

  // The reason of the last refusal stands until this attempt.
  EditMessPort->setToolTip(QString());
  ClearBusyStatus();
  ReaderOpening opening = openPort_ ? openPort_(port) : ReaderOpening();
  portHandle = std::move(opening.device);
  if (!portHandle.IsOpen()) {
    CheckPortItem(0);
    EditMessPort->setText(PortUnavailableText(port));
    const PortRefusal& refusal = opening.refusal;
    EditMessPort->setToolTip(
        QString::fromStdString(messages::Sentence(messages::PortRefusalText(refusal))));
    const std::string_view summary = messages::PortRefusalSummary(refusal.reason);
    SetBusyStatus(QString::fromUtf8(summary.data(), static_cast<qsizetype>(summary.size())));
    SetPortCommandsAvailable(false);
    Timer1->start();
    portNumber = 0;
    return;
  }
  portDevice_ = ResolvePortDevice(port, SettingsStore());
  // The reader starts unpowered, its bus lines low; an I2C adapter has no lines of ours.
  if (portHandle.port) LineDriver(lineMap, *portHandle.port).PowerOff();
  SetPortCommandsAvailable(true);
  portNumber = port;
  CheckPortItem(port);
  // At start-up the saved wiring is not read yet: SetWindows advises once it is.
  if (form6_ != nullptr) ShowWiringAdvice();
}

void TForm1::PortDevicesChanged() {
  if (portNumber == 0 || ResolvePortDevice(portNumber, SettingsStore()) == portDevice_) return;
  const int port = portNumber;
  portHandle = {};
  portNumber = 0;
  ChangerPort(port);
}

QString TForm1::WiringAdvice() const {
  if (portNumber == 0) return {};
  const std::optional<SerialDeviceInfo> device =
      IdentifyDevice(portDevice_, SystemPaths::FromEnvironment());
  if (!device) return {};
  return QString::fromStdString(messages::WiringLimitAdvice(WiringLimitOf(*device, lineMap)));
}

void TForm1::ShowWiringAdvice() {
  const QString advice = WiringAdvice();
  if (advice.isEmpty()) return;
  dialogs_->ShowMessage(QStringLiteral("COM%1 : %2\n\n%3")
                            .arg(portNumber)
                            .arg(QString::fromStdString(portDevice_), advice),
                        QStringLiteral(" Attention, adaptateur série !"),
                        kMbOk | kMbIconExclamation);
}

void TForm1::PortCOMactif(QObject* Sender) {
  // The click does not move the check mark; ChangerPort alone sets it.
  CheckPortItem(portNumber);
  int port = 0;
  if (Sender == OptionCOM1) port = 1;
  if (Sender == OptionCOM2) port = 2;
  if (Sender == OptionCOM3) port = 3;
  if (Sender == OptionCOM4) port = 4;
  ChangerPort(port);
  StringGrid1->setFocus();
}

void TForm1::Timer1Timer() {
  EditMessPort->setText(kPortPrompt);
  Timer1->stop();
}

void TForm1::TestduportserieClick(QObject* Sender) {
  emit commandStarted(QStringLiteral("TestduportserieClick"), Sender);
  if (session_.i2cAdapter() != nullptr) {
    dialogs_->ShowMessage(QString::fromUtf8(messages::kI2cPortTestNote),
                          QString::fromUtf8(" Test du port série :"), kMbOk | kMbIconInformation);
    return;
  }
  if (form5_ != nullptr) dialogs_->ShowModal(*form5_);
}

void TForm1::TypeLecteurClick(QObject* Sender) {
  emit commandStarted(QStringLiteral("TypeLecteurClick"), Sender);
  if (form6_ != nullptr) dialogs_->ShowModal(*form6_);
}

void TForm1::ChoisirPeripheriquesClick(QObject* Sender) {
  emit commandStarted(QStringLiteral("ChoisirPeripheriquesClick"), Sender);
  // Made afresh at each opening: the machine's devices as they are now.
  PortChooser chooser(*this);
  dialogs_->ShowModal(chooser);
  StringGrid1->setFocus();
}

}  // namespace keldar::ui
