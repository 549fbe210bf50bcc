// The port chooser on a fixture machine (sysfs and /dev trees): what it lists, an assignment and
// the opening that uses it, the environment's override, a device that appears, a measure; and
// the advice the windows give when the open port's adapter cannot carry the wiring.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "fixtures/machine_tree.h"
#include "program_fixture.h"
#include "settings/port_devices.h"
#include "sim/sim_config.h"
#include "ui/Keldaru6.h"
#include "ui/port_chooser.h"
#include "ui/status_texts.h"

namespace keldar::ui::testing {
namespace {

class PortChooserTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    for (const char* name : {"KELDAR_DEV_ROOT", "KELDAR_SYSFS_ROOT", "KELDAR_COM1", "KELDAR_COM2",
                             "KELDAR_COM3", "KELDAR_COM4"})
      saved_.emplace_back(name, qgetenv(name));
    qputenv("KELDAR_DEV_ROOT", QFile::encodeName(machine.dev.c_str()));
    qputenv("KELDAR_SYSFS_ROOT", QFile::encodeName(machine.sys.c_str()));
    Name(1, "sim:24C02");
    Name(2, ftdi);
    Name(3, "");  // unset: the Ports group, then the default, name it
    Name(4, "/nonexistent/keldar-com4");
    machine.Native();
    machine.Usb("ttyUSB0", "1-1", "0403:6001", "FTDI", "FT232R USB UART", "ftdi_sio");
    machine.Usb("ttyUSB1", "1-2", "1a86:7523", "QinHeng", "USB Serial", "ch341-uart");
  }
  void TearDown() override {
    ProgramTest::TearDown();
    for (const auto& [name, value] : saved_)
      qputenv(name, value);
  }
  static void Name(int port, const std::string& device) {
    qputenv(("KELDAR_COM" + std::to_string(port)).c_str(), device.c_str());
  }
  std::string Dev(const std::string& name) const { return (machine.dev / name).string(); }
  // Ports whose device string is not "sim:" are refused: nothing real is ever opened.
  void StartRecordingOpenings() {
    Start([this](int number) -> std::unique_ptr<ControlPort> {
      const std::string device = ResolvePortDevice(number, SettingsStore());
      opened.push_back(device);
      if (!sim::IsSimDevice(device)) return nullptr;
      return std::make_unique<sim::RecordingPort>();
    });
  }
  static std::vector<std::string> Column(const QTreeWidget& list, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < list.topLevelItemCount(); ++row)
      texts.push_back(list.topLevelItem(row)->text(column).toStdString());
    return texts;
  }
  static void Choose(PortChooser& chooser, const std::string& device, int port) {
    chooser.ComboPort->setCurrentIndex(port - 1);
    chooser.EditPeripherique->setText(QString::fromStdString(device));
    chooser.BoutonAffecter->click();
  }

  QTemporaryDir folder;
  keldar::testing::MachineTree machine{folder.path().toStdString() + "/sys",
                                       folder.path().toStdString() + "/dev"};
  const std::string ftdi = Dev("serial/by-id/usb-FTDI_SN1-1-if00-port0");
  const std::string ch341 = Dev("serial/by-id/usb-QinHeng_SN1-2-if00-port0");
  std::vector<std::string> opened;
  std::vector<std::pair<const char*, QByteArray>> saved_;
};

TEST_F(PortChooserTest, ListsEachPortsDeviceAndOriginThenTheMachinesDevices) {
  Store("Ports/COM3", QString::fromStdString(Dev("ttyS0")));
  Start();
  dialogs->AcceptNextModal();
  Trigger("ChoixPeripheriques");
  EXPECT_EQ(dialogs->prompts().back().text, QStringLiteral("FormPeripheriques"));

  const PortChooser chooser(*form);
  EXPECT_EQ(
      Column(*chooser.ListePorts, 1),
      (std::vector<std::string>{"sim:24C02", ftdi, Dev("ttyS0"), "/nonexistent/keldar-com4"}));
  EXPECT_EQ(Column(*chooser.ListePorts, 2),
            (std::vector<std::string>{"variable KELDAR_COM1", "variable KELDAR_COM2",
                                      "réglage Ports/COM3", "variable KELDAR_COM4"}));
  EXPECT_EQ(Column(*chooser.ListePorts, 3),
            (std::vector<std::string>{"lecteur simulé", "USB", "natif", "introuvable"}));
  // By-id names first, then the ports no such name leads to, then the cables as "ftdi:".
  EXPECT_EQ(
      Column(*chooser.ListePeripheriques, 0),
      (std::vector<std::string>{ftdi, ch341, Dev("ttyS0"), Dev("ttyS1"), "ftdi:0403:6001:SN1-1"}));
}

// The I2C adapters after the serial devices, each by its own name, and why it is refused.
TEST_F(PortChooserTest, ListsTheI2cAdaptersByNameOrWhyTheyAreRefused) {
  machine.I2cMachine();
  Start();
  const PortChooser chooser(*form);
  const int first = chooser.ListePeripheriques->topLevelItemCount() - 5;
  ASSERT_GE(first, 0);
  std::vector<std::string> rows;
  for (int row = first; row < first + 5; ++row) {
    const QTreeWidgetItem& item = *chooser.ListePeripheriques->topLevelItem(row);
    rows.push_back((item.text(0) + " | " + item.text(1) + " | " + item.text(3)).toStdString());
  }
  const std::string i2c = "i2c:" + Dev("i2c-");
  EXPECT_EQ(rows,
            (std::vector<std::string>{
                i2c + "0  « SMBus I801 adapter at efa0 » | I2C | Bus SMBus refusé",
                i2c + "1  « i915 gmbus dpb » | I2C | Bus graphique refusé",
                i2c + "2  « AUX A/DDI A/PHY A » | I2C | Bus graphique refusé",
                i2c + "7  « MCP2221 usb-i2c bridge » | I2C | ",
                i2c + "8  « i2c-tiny-usb at bus 001 device 005 » | I2C | Module i2c-dev absent"}));
}

TEST_F(PortChooserTest, AConfirmedAssignmentIsSavedAndNamesTheNextOpeningAndMovesTheOpenPort) {
  Name(2, "");
  StartRecordingOpenings();
  {
    PortChooser cancelled(*form);
    Choose(cancelled, "sim:24C02", 2);
    cancelled.BoutonAnnuler->click();
  }
  EXPECT_EQ(Stored("Ports/COM2"), std::nullopt);

  PortChooser chooser(*form);
  Choose(chooser, "sim:24C02", 2);
  chooser.BoutonValider->click();
  EXPECT_EQ(Stored("Ports/COM2"), QStringLiteral("sim:24C02"));
  Trigger("OptionCOM2");
  EXPECT_EQ(form->portNumber, 2);

  // The open port moves to its new device, chosen in the list: here one that is refused.
  PortChooser again(*form);
  again.ListePeripheriques->setCurrentItem(again.ListePeripheriques->topLevelItem(0));
  again.BoutonAffecter->click();  // to COM2, the open port
  again.BoutonValider->click();
  EXPECT_EQ(opened, (std::vector<std::string>{"sim:24C02", ftdi}));
  EXPECT_EQ(form->portNumber, 0);
  EXPECT_EQ(form->EditMessPort->text(), PortUnavailableText(2));
}

TEST_F(PortChooserTest, TheEnvironmentStillWinsAndTheWindowSaysSo) {
  Start();
  PortChooser chooser(*form);
  Choose(chooser, "sim:24C16", 1);
  EXPECT_EQ(chooser.ListePorts->topLevelItem(0)->text(1), QStringLiteral("sim:24C02"));
  EXPECT_EQ(chooser.ListePorts->topLevelItem(0)->text(2),
            QStringLiteral("variable KELDAR_COM1, à valider"));
  EXPECT_TRUE(chooser.StaticTextEnvironnement->text().contains(QStringLiteral("KELDAR_COM1")));
  Choose(chooser, "sim:24C16", 3);
  EXPECT_EQ(chooser.ListePorts->topLevelItem(2)->text(1), QStringLiteral("sim:24C16"));
  EXPECT_TRUE(chooser.StaticTextEnvironnement->text().isEmpty());
}

TEST_F(PortChooserTest, ADeviceThatAppearsIsListedOnceTheMachineSettles) {
  Start();
  const PortChooser chooser(*form);
  machine.Usb("ttyACM0", "1-3", "2341:0043", "Arduino", "Uno", "cdc_acm");
  const QString arduino = QString::fromStdString(Dev("serial/by-id/usb-Arduino_SN1-3-if00-port0"));
  EXPECT_TRUE(QTest::qWaitFor(
      [&] { return chooser.ListePeripheriques->findItems(arduino, Qt::MatchExactly).size() == 1; },
      10 * PortChooser::kSettleMilliseconds));
}

TEST_F(PortChooserTest, MeasuresThroughTheOpenPortWithTheReaderUnpowered) {
  Start();
  Trigger("OptionCOM1");
  sim::RecordingPort* held = ports.lastOpened;
  ASSERT_NE(held, nullptr);
  held->Clear();
  PortChooser chooser(*form);
  ASSERT_EQ(chooser.EditPeripherique->text(), QStringLiteral("sim:24C02"));  // the open port's
  chooser.BoutonMesurer->click();
  EXPECT_EQ(ports.events, (std::vector<std::string>{"open 1"}));
  EXPECT_GT(held->Count(sim::PortEvent::Kind::Read), 0U);
  const std::vector<sim::PortEvent> changes = held->LineChanges();
  EXPECT_EQ(std::count(changes.begin(), changes.end(), On(OutputLine::Txd)), 0)
      << "Valim was raised";
  EXPECT_TRUE(chooser.StaticTextMesure->text().contains(QStringLiteral("24C16 : lecture ")))
      << chooser.StaticTextMesure->text().toStdString();

  chooser.EditPeripherique->setText(QStringLiteral("/nonexistent/keldar-x"));
  chooser.BoutonMesurer->click();
  EXPECT_EQ(chooser.StaticTextMesure->text(),
            QString::fromUtf8("Le port /nonexistent/keldar-x est indisponible ! (introuvable : "
                              "l'adaptateur est-il branché ?)"));
}

// A CH340 cannot hold TxD in break: with Valim on TxD the window says so once when the port
// opens, and the reader window while the wiring stays so.
TEST_F(PortChooserTest, ACh341WithValimOnTxdIsAdvisedOnceAndInTheReaderWindow) {
  Name(1, ch341);
  Start();
  dialogs->AnswerNextMessage(kIdOk);
  Trigger("OptionCOM1");
  Trigger("OptionCOM1");
  ASSERT_EQ(dialogs->prompts().size(), 1U);
  const Prompt& advice = dialogs->prompts().front();
  EXPECT_EQ(advice.caption, QStringLiteral(" Attention, adaptateur série !"));
  EXPECT_TRUE(advice.text.contains(QStringLiteral("ne peut donc pas porter Valim")));

  TForm6& config = program->form6();
  config.show();
  EXPECT_TRUE(config.StaticTextConseil->isVisible());
  EXPECT_TRUE(advice.text.endsWith(config.StaticTextConseil->text()));
  config.findChild<QRadioButton*>(QStringLiteral("RadioGroup1_2"))->click();  // Valim = RTS
  EXPECT_FALSE(config.StaticTextConseil->isVisible());
}

}  // namespace
}  // namespace keldar::ui::testing
