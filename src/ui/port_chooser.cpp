#include "ui/port_chooser.h"

#include <optional>
#include <string_view>

#include <QComboBox>
#include <QDir>
#include <QFileSystemWatcher>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>

#include "devices/device_sources.h"
#include "devices/i2c_access.h"
#include "devices/port_probe.h"
#include "hw/i2c_dev_device.h"
#include "messages/adapter_advice.h"
#include "messages/port_messages.h"
#include "messages/port_texts.h"
#include "settings/port_devices.h"
#include "settings/settings_store.h"
#include "ui/Keldaru1.h"
#include "ui/window_fonts.h"
#include "ui/window_frames.h"

namespace keldar::ui {
namespace {

constexpr QSize kWindowSize(860, 656);

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The Ports group as the user has it in the window, for the resolution the program makes.
class PendingPorts final : public SettingsReader {
 public:
  explicit PendingPorts(const std::array<std::string, PortChooser::kPorts>& devices)
      : devices_(devices) {}
  [[nodiscard]] bool Exists() const override { return true; }
  [[nodiscard]] std::optional<int> ReadInteger(std::string_view) const override { return {}; }
  [[nodiscard]] std::optional<std::string> ReadString(std::string_view name) const override {
    for (int port = 1; port <= PortChooser::kPorts; ++port) {
      if (name == PortDeviceKey(port)) return devices_[static_cast<size_t>(port - 1)];
    }
    return std::nullopt;
  }

 private:
  const std::array<std::string, PortChooser::kPorts>& devices_;
};

// An I2C adapter by its node and, since its number may change from one start to the next, by
// the name its driver gives it.
QString DeviceText(const std::string& device, const std::optional<SerialDeviceInfo>& info) {
  QString text = QString::fromStdString(device);
  if (info && info->i2c && !info->i2c->name.empty())
    text += QStringLiteral("  « %1 »").arg(QString::fromStdString(info->i2c->name));
  return text;
}

QString KindText(const std::optional<SerialDeviceInfo>& device) {
  if (!device) return QStringLiteral("lecteur simulé");
  if (!device->exists) return QStringLiteral("introuvable");
  if (device->bitBang) return QStringLiteral("câble FTDI");
  if (device->i2c) return QStringLiteral("I2C");
  switch (device->bus) {
    case SerialBus::Native:
      return QStringLiteral("natif");
    case SerialBus::Usb:
      return QStringLiteral("USB");
    case SerialBus::Unknown:
      break;
  }
  return QStringLiteral("inconnu");
}

// What the machine says of the device, who holds it, and what its user must know.
QString DescriptionText(const std::string& name, const std::optional<SerialDeviceInfo>& device) {
  QStringList lines{Text(name)};
  if (!device) return (lines << QStringLiteral("lecteur simulé")).join(QLatin1Char('\n'));
  lines << Text(messages::DeviceDescription(*device));
  if (const std::string use = messages::InUseText(*device); !use.empty()) lines << Text(use);
  for (const std::string& advice : messages::AdapterAdvice(*device))
    lines << Text(advice);
  return lines.join(QLatin1Char('\n'));
}

// Two strings naming one device: the same string, or links to the same tty used the same way.
bool SameDevice(const std::string& a, const std::string& b, const SystemPaths& paths) {
  if (a == b) return true;
  const std::optional<SerialDeviceInfo> first = IdentifyDevice(a, paths);
  const std::optional<SerialDeviceInfo> second = IdentifyDevice(b, paths);
  return first && second && first->exists && second->exists && first->bitBang == second->bitBang &&
         first->kernelName == second->kernelName;
}

QString CostText(const CallTally& tally) {
  return tally.calls == 0 ? QStringLiteral("non mesuré")
                          : Text(messages::CallCostText(tally.Mean()));
}

QString MeasurementText(const DeviceMeasurement& measurement, const std::string& device,
                        const MemoryType& type) {
  switch (measurement.outcome) {
    case MeasureOutcome::Unavailable:
      return QStringLiteral("Le port %1 est indisponible ! (%2)")
          .arg(Text(device), Text(messages::PortRefusalText(measurement.refusal)));
    case MeasureOutcome::PortFailed:
      return Text(messages::PortStoppedText(device));
    case MeasureOutcome::Measured:
      break;
  }
  const PortProbe& probe = measurement.probe;
  const QString costs =
      QStringLiteral("Coût moyen d'un appel : lecture d'état %1, TxD %2, DTR %3, RTS %4.")
          .arg(CostText(probe.status), CostText(probe.txd), CostText(probe.dtr),
               CostText(probe.rts));
  const QString stream =
      probe.streams ? Text(messages::StreamRateText(probe.streamRate, probe.askedStreamRate)) +
                          QLatin1Char('\n')
                    : QString();
  const OperationTimes& times = measurement.times;
  return costs + QLatin1Char('\n') + stream +
         QStringLiteral("%1 : lecture %2, programmation en mode page %3, comparaison %4.")
             .arg(Text(type.name), Text(messages::DurationText(times.read)),
                  Text(messages::DurationText(times.pageProgram)),
                  Text(messages::DurationText(times.compare)));
}

QTreeWidget* AddList(QWidget* parent, const char* name, QRect geometry,
                     std::initializer_list<std::pair<const char*, int>> columns) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setGeometry(geometry);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setTextElideMode(Qt::ElideMiddle);
  QStringList titles;
  for (const auto& column : columns)
    titles << QString::fromUtf8(column.first);
  list->setHeaderLabels(titles);
  int at = 0;
  for (const auto& column : columns)
    list->setColumnWidth(at++, column.second);
  list->header()->setStretchLastSection(true);
  return list;
}

QGroupBox* AddGroup(QWidget* parent, const char* name, const char* title, QRect geometry) {
  auto* group = new QGroupBox(QString::fromUtf8(title), parent);
  group->setObjectName(QString::fromLatin1(name));
  group->setGeometry(geometry);
  return group;
}

}  // namespace

PortChooser::PortChooser(TForm1& mainWindow)
    : QDialog(&mainWindow, kCloseOnlyDialogFlags),
      mainWindow_(mainWindow),
      paths_(SystemPaths::FromEnvironment()) {
  setObjectName(QStringLiteral("FormPeripheriques"));
  setWindowTitle(QStringLiteral(" Périphériques des ports série :"));
  setFont(InterfaceFont(13));
  setFixedSize(kWindowSize);
  const SettingsStore store;
  for (int port = 1; port <= kPorts; ++port) {
    stored_[static_cast<size_t>(port - 1)] = store.ReadString(PortDeviceKey(port)).value_or("");
  }
  assigned_ = stored_;
  BuildControls();
  FitTextsToControls(*this);
  CentreOnScreen(*this);

  watcher_ = new QFileSystemWatcher(this);
  TimerActualiser = new QTimer(this);
  TimerActualiser->setObjectName(QStringLiteral("TimerActualiser"));
  TimerActualiser->setSingleShot(true);
  TimerActualiser->setInterval(kSettleMilliseconds);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, TimerActualiser,
          qOverload<>(&QTimer::start));
  connect(TimerActualiser, &QTimer::timeout, this, &PortChooser::Actualiser);
  Actualiser();

  // The open port first, its device in the field.
  const int open = mainWindow_.session().portNumber;
  ComboPort->setCurrentIndex(open != 0 ? open - 1 : 0);
  PortSelected(ListePorts->currentItem());
}

void PortChooser::BuildControls() {
  GroupePorts = AddGroup(this, "GroupePorts", " Ports du programme : ", QRect(8, 6, 844, 126));
  ListePorts = AddList(GroupePorts, "ListePorts", QRect(8, 20, 828, 98),
                       {{"Port", 50}, {"Périphérique", 440}, {"Origine", 236}, {"Type", 80}});
  GroupePeripheriques = AddGroup(this, "GroupePeripheriques",
                                 " Périphériques de cette machine : ", QRect(8, 138, 844, 180));
  ListePeripheriques =
      AddList(GroupePeripheriques, "ListePeripheriques", QRect(8, 20, 828, 152),
              {{"Périphérique", 470}, {"Type", 84}, {"Pilote", 96}, {"État", 150}});
  TexteDescription = new QPlainTextEdit(this);
  TexteDescription->setObjectName(QStringLiteral("TexteDescription"));
  TexteDescription->setGeometry(8, 324, 844, 136);
  TexteDescription->setReadOnly(true);

  auto* label = new QLabel(QStringLiteral("&Périphérique :"), this);
  label->setObjectName(QStringLiteral("StaticTextPeripherique"));
  label->setGeometry(8, 470, 96, 22);
  EditPeripherique = new QLineEdit(this);
  EditPeripherique->setObjectName(QStringLiteral("EditPeripherique"));
  EditPeripherique->setGeometry(106, 470, 440, 22);
  EditPeripherique->setToolTip(QStringLiteral(
      "Un périphérique de la liste, ou tout autre nom : /dev/..., ftdi:..., sim:..."));
  label->setBuddy(EditPeripherique);
  ComboPort = new QComboBox(this);
  ComboPort->setObjectName(QStringLiteral("ComboPort"));
  ComboPort->setGeometry(554, 470, 80, 22);
  for (int port = 1; port <= kPorts; ++port)
    ComboPort->addItem(QStringLiteral("COM%1").arg(port));
  BoutonAffecter = AddButton(this, "BoutonAffecter", "&Affecter", QRect(642, 469, 100, 25));
  BoutonAffecter->setToolTip(QStringLiteral("Le port choisi nommera ce périphérique"));
  BoutonDefaut = AddButton(this, "BoutonDefaut", "Par &défaut", QRect(752, 469, 100, 25));
  BoutonDefaut->setToolTip(QStringLiteral("Le port choisi reprend son périphérique par défaut"));
  StaticTextEnvironnement = new QLabel(this);
  StaticTextEnvironnement->setObjectName(QStringLiteral("StaticTextEnvironnement"));
  StaticTextEnvironnement->setGeometry(106, 498, 746, 18);
  QPalette maroon = StaticTextEnvironnement->palette();
  maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
  StaticTextEnvironnement->setPalette(maroon);

  GroupeMesure =
      AddGroup(this, "GroupeMesure", " Mesure du périphérique : ", QRect(8, 522, 844, 92));
  BoutonMesurer = AddButton(GroupeMesure, "BoutonMesurer", "&Mesurer", QRect(8, 24, 100, 25));
  BoutonMesurer->setToolTip(
      QStringLiteral("Ouvre le périphérique et mesure ses appels, lecteur hors tension"));
  StaticTextMesure = new QLabel(GroupeMesure);
  StaticTextMesure->setObjectName(QStringLiteral("StaticTextMesure"));
  StaticTextMesure->setGeometry(116, 20, 720, 66);
  StaticTextMesure->setWordWrap(true);
  StaticTextMesure->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  StaticTextMesure->setTextInteractionFlags(Qt::TextSelectableByMouse);

  BoutonValider = AddButton(this, "BoutonValider", "&Valider", QRect(644, 622, 100, 25));
  BoutonValider->setToolTip(
      QStringLiteral("Enregistre les périphériques choisis dans les réglages"));
  BoutonAnnuler = AddButton(this, "BoutonAnnuler", "A&nnuler", QRect(752, 622, 100, 25));
  // Enter in the device field assigns; confirming takes its own button.
  BoutonAffecter->setDefault(true);

  connect(ListePorts, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { PortSelected(item); });
  connect(ListePeripheriques, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* item) { DeviceSelected(item); });
  connect(ListePeripheriques, &QTreeWidget::itemDoubleClicked, this, &PortChooser::AffecterClick);
  connect(ComboPort, &QComboBox::currentIndexChanged, this, [this](int index) {
    const QSignalBlocker blocker(ListePorts);
    ListePorts->setCurrentItem(ListePorts->topLevelItem(index));
    ShowEnvironmentNote();
  });
  connect(BoutonAffecter, &QPushButton::clicked, this, &PortChooser::AffecterClick);
  connect(BoutonDefaut, &QPushButton::clicked, this, &PortChooser::DefautClick);
  connect(BoutonMesurer, &QPushButton::clicked, this, &PortChooser::MesurerClick);
  connect(BoutonValider, &QPushButton::clicked, this, &PortChooser::ValiderClick);
  connect(BoutonAnnuler, &QPushButton::clicked, this, &QDialog::reject);
  connect(EditPeripherique, &QLineEdit::textChanged, this,
          [this](const QString& text) { BoutonMesurer->setEnabled(!text.trimmed().isEmpty()); });
  // What the user types is described as a listed device is.
  connect(EditPeripherique, &QLineEdit::textEdited, this, [this](const QString& text) {
    const std::string device = text.trimmed().toStdString();
    TexteDescription->setPlainText(DescriptionText(device, IdentifyDevice(device, paths_)));
  });
}

void PortChooser::Actualiser() {
  WatchDeviceFolders();
  ShowPorts();
  ShowDevices();
}

void PortChooser::WatchDeviceFolders() {
  // serial/by-id and by-path appear with the first USB adapter: watched from then on.
  const QString dev = QString::fromStdString(paths_.dev);
  QStringList folders;
  for (const QString& folder :
       {dev, dev + QStringLiteral("/serial"), dev + QStringLiteral("/serial/by-id"),
        dev + QStringLiteral("/serial/by-path")}) {
    if (QDir(folder).exists() && !watcher_->directories().contains(folder)) folders << folder;
  }
  if (!folders.isEmpty()) watcher_->addPaths(folders);
}

void PortChooser::ShowPorts() {
  const PendingPorts pending(assigned_);
  const int selected = ComboPort->currentIndex();
  const QSignalBlocker blocker(ListePorts);
  ListePorts->clear();
  for (int port = 1; port <= kPorts; ++port) {
    const ResolvedPortDevice resolved = ResolvePortDeviceWithSource(port, pending);
    const size_t index = static_cast<size_t>(port - 1);
    QString origin = Text(messages::PortSourceText(resolved.source, port));
    if (assigned_[index] != stored_[index]) origin += QStringLiteral(", à valider");
    const std::optional<SerialDeviceInfo> info = IdentifyDevice(resolved.device, paths_);
    auto* item = new QTreeWidgetItem(
        ListePorts, {QStringLiteral("COM%1").arg(port), DeviceText(resolved.device, info), origin,
                     KindText(info)});
    item->setToolTip(1, Text(resolved.device));
  }
  ListePorts->setCurrentItem(ListePorts->topLevelItem(selected));
  ShowEnvironmentNote();
}

void PortChooser::ShowDevices() {
  const QTreeWidgetItem* current = ListePeripheriques->currentItem();
  const QString kept = current != nullptr ? current->data(0, Qt::UserRole).toString() : QString();
  const int open = mainWindow_.session().portNumber;
  const std::optional<SerialDeviceInfo> held =
      open != 0 ? IdentifyDevice(mainWindow_.portDevice(), paths_) : std::nullopt;

  const QSignalBlocker blocker(ListePeripheriques);
  ListePeripheriques->clear();
  for (const SerialDeviceInfo& device : ListDevices(paths_)) {
    // Short here; the description says it in full.
    QString holder;
    if (held && held->exists && held->bitBang == device.bitBang &&
        held->kernelName == device.kernelName) {
      holder = QStringLiteral("ouvert ici (COM%1)").arg(open);
    } else if (device.heldHere) {
      holder = QStringLiteral("ouvert ici");
    } else if (device.lockHolder != 0) {
      holder = QStringLiteral("occupé (processus %1)").arg(device.lockHolder);
    } else if (device.bitBang && device.driver.empty()) {
      holder = QStringLiteral("en service");
    } else if (device.i2c) {
      if (const std::optional<PortRefusal> refusal = I2cAdapterRefusal(*device.i2c))
        holder = Text(messages::PortRefusalSummary(refusal->reason));
    }
    const QString path = Text(device.path);
    auto* item = new QTreeWidgetItem(
        ListePeripheriques,
        {DeviceText(device.path, device), KindText(device), Text(device.driver), holder});
    item->setData(0, Qt::UserRole, path);
    item->setToolTip(0, DescriptionText(device.path, device));
    if (path == kept) ListePeripheriques->setCurrentItem(item);
  }
  if (ListePeripheriques->topLevelItemCount() == 0) {
    auto* none = new QTreeWidgetItem(ListePeripheriques, {QStringLiteral("aucun")});
    none->setFlags(Qt::NoItemFlags);
  }
}

void PortChooser::PortSelected(QTreeWidgetItem* item) {
  const int index = ListePorts->indexOfTopLevelItem(item);
  if (index < 0) return;
  {
    const QSignalBlocker blocker(ComboPort);
    ComboPort->setCurrentIndex(index);
  }
  ShowEnvironmentNote();
  const std::string device = ResolvePortDevice(index + 1, PendingPorts(assigned_));
  EditPeripherique->setText(Text(device));
  TexteDescription->setPlainText(QStringLiteral("COM%1 : ").arg(index + 1) +
                                 DescriptionText(device, IdentifyDevice(device, paths_)));
}

void PortChooser::DeviceSelected(QTreeWidgetItem* item) {
  if (item == nullptr || !(item->flags() & Qt::ItemIsEnabled)) return;
  const std::string device = item->data(0, Qt::UserRole).toString().toStdString();
  EditPeripherique->setText(Text(device));
  TexteDescription->setPlainText(DescriptionText(device, IdentifyDevice(device, paths_)));
}

void PortChooser::ShowEnvironmentNote() {
  const int port = ComboPort->currentIndex() + 1;
  const bool overridden = ResolvePortDeviceWithSource(port, PendingPorts(assigned_)).source ==
                          PortDeviceSource::Environment;
  StaticTextEnvironnement->setText(
      overridden ? QStringLiteral("La variable KELDAR_COM%1 est définie : elle l'emporte sur ce "
                                  "choix tant qu'elle l'est.")
                       .arg(port)
                 : QString());
}

void PortChooser::AffecterClick() {
  const int index = ComboPort->currentIndex();
  assigned_[static_cast<size_t>(index)] = EditPeripherique->text().trimmed().toStdString();
  ShowPorts();
}

void PortChooser::DefautClick() {
  assigned_[static_cast<size_t>(ComboPort->currentIndex())].clear();
  ShowPorts();
  PortSelected(ListePorts->currentItem());
}

void PortChooser::MesurerClick() {
  const std::string device = EditPeripherique->text().trimmed().toStdString();
  if (device.empty()) return;
  if (IsI2cDevDevice(device)) {
    StaticTextMesure->setText(QString::fromUtf8(messages::kI2cPortTestNote));
    return;
  }
  Session& session = mainWindow_.session();
  ControlPort* held = session.port();
  if (held != nullptr && !SameDevice(device, mainWindow_.portDevice(), paths_)) held = nullptr;
  // The measure takes seconds on a slow adapter: it runs on the operations' worker thread, the
  // window alive and its buttons waiting.
  for (QPushButton* button : {BoutonMesurer, BoutonValider, BoutonAnnuler})
    button->setEnabled(false);
  StaticTextMesure->setText(QStringLiteral("Mesure en cours..."));
  const MemoryType& type = session.currentMemory.type();
  const LineMap map = session.lineMap;
  DeviceMeasurement measurement;
  mainWindow_.runner().RunJob([&] { measurement = MeasureDevice(device, held, map, type); });
  StaticTextMesure->setText(MeasurementText(measurement, device, type));
  for (QPushButton* button : {BoutonMesurer, BoutonValider, BoutonAnnuler})
    button->setEnabled(true);
  // Opening the device may have made it appear held, or released it.
  ShowDevices();
}

void PortChooser::ValiderClick() {
  SettingsStore store;
  for (int port = 1; port <= kPorts; ++port) {
    const size_t index = static_cast<size_t>(port - 1);
    if (assigned_[index] != stored_[index]) StorePortDevice(port, assigned_[index], store);
  }
  store.Sync();
  stored_ = assigned_;
  mainWindow_.PortDevicesChanged();
  accept();
}

}  // namespace keldar::ui
