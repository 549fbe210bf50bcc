#include "ui/Keldaru6.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>

#include <utility>

#include "hw/line_driver.h"
#include "messages/port_texts.h"
#include "ui/Keldaru1.h"
#include "ui/window_fonts.h"
#include "ui/window_frames.h"

namespace keldar::ui {
namespace {

constexpr QSize kWindowSize(536, 357);

const char* const kOutputItems[] = {
    "Valim = TxD  /  SCL = RTS  /  SDA = DTR", "Valim = TxD  /  SCL = DTR  /  SDA = RTS",
    "Valim = RTS  /  SCL = TxD  /  SDA = DTR", "Valim = RTS  /  SCL = DTR  /  SDA = TxD",
    "Valim = DTR  /  SCL = TxD  /  SDA = RTS", "Valim = DTR  /  SCL = RTS  /  SDA = TxD",
};
const char* const kInputItems[] = {"CTS", "DSR", "RING", "DCD"};

const char* const kStandardHint =
    "Paramètres par défaut :\n- sortie Valim => TxD\n- sortie SCL => RTS\n- sortie SDA => DTR\n"
    "- entrée SDA <= CTS";

const char* const kAccessTimeTitle = " Temps d'accès de la mémoire :";
const char* const kAccessTimeText =
    "Les chronogrammes d'accès à la mémoire imposent de respecter une durée minimale de largeur "
    "des impulsions ; le réglage proposé permet de ralentir la vitesse des échanges, ce qui peut "
    "s'avérer utile avec les PC rapides ; l'idéal consiste à trouver la valeur minimale pour "
    "laquelle le fonctionnement reste à la fois parfait (pas d'erreur de lecture ou d'écriture) et "
    "rapide. La valeur par défaut est '0' ; augmentez-là si vous rencontrez ce genre de problème. ";

// A box as wide as its framed section, less the margins: the caption shrinks to that room
// rather than run under the frame.
QCheckBox* AddCheckBox(QWidget* parent, const char* name, const char* caption, QPoint place) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(place.x(), place.y(), parent->width() - 2 * place.x(), 20);
  return box;
}

QFrame* AddPanel(QWidget* parent, const char* name, QRect geometry) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setFrameShape(QFrame::Box);
  panel->setFrameShadow(QFrame::Sunken);
  panel->setGeometry(geometry);
  return panel;
}

}  // namespace

TForm6::TForm6(TForm1& mainWindow, Session& session)
    : QDialog(nullptr, kCloseOnlyDialogFlags), mainWindow_(mainWindow), session_(session) {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QString::fromUtf8(" Configuration du lecteur sur le port série :"));
  setFont(InterfaceFont(13));
  setFixedSize(kWindowSize);
  BuildControls();
  FitTextsToControls(*this);
  CentreOnScreen(*this);
  FormCreate();
}

void TForm6::BuildControls() {
  // The access time runs across the top.
  GroupBox1 = new QGroupBox(QString::fromUtf8(" Temps d'accès à la mémoire : "), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1->setGeometry(8, 6, 520, 92);
  TrackBar1 = new QSlider(Qt::Horizontal, GroupBox1);
  TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
  TrackBar1->setGeometry(12, 20, 340, 30);
  TrackBar1->setRange(0, kMaxAccessTime);
  TrackBar1->setSingleStep(1);
  TrackBar1->setPageStep(1);
  TrackBar1->setTickInterval(1);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  auto* standard = new QLabel(QStringLiteral("PC standard"), GroupBox1);
  standard->setObjectName(QStringLiteral("Label1"));
  standard->setGeometry(8, 56, 90, 16);
  auto* fast = new QLabel(QStringLiteral("PC rapide"), GroupBox1);
  fast->setObjectName(QStringLiteral("Label2"));
  fast->setGeometry(266, 56, 90, 16);
  fast->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  StaticTextTA = new QLabel(GroupBox1);
  StaticTextTA->setObjectName(QStringLiteral("StaticTextTA"));
  StaticTextTA->setGeometry(164, 54, 36, 20);
  StaticTextTA->setAlignment(Qt::AlignCenter);
  StaticTextTA->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  BoutonInfoTA = AddButton(GroupBox1, "BoutonInfoTA", "Informations", QRect(388, 24, 120, 25));

  // Left: the output arrangement, then the input, then the two presets.
  RadioGroup1 = new QGroupBox(QString::fromUtf8(" Répartition des &sorties : "), this);
  RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
  RadioGroup1->setGeometry(8, 104, 290, 132);
  outputItems_ = new QButtonGroup(this);
  for (int index = 0; index < 6; ++index) {
    auto* item = new QRadioButton(QString::fromUtf8(kOutputItems[index]), RadioGroup1);
    item->setObjectName(QStringLiteral("RadioGroup1_%1").arg(index));
    item->setGeometry(10, 20 + 18 * index, 270, 18);
    outputItems_->addButton(item, index);
  }
  RadioGroup2 = new QGroupBox(QString::fromUtf8(" Choix de l'&entrée SDA : "), this);
  RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
  RadioGroup2->setGeometry(8, 242, 290, 44);
  inputItems_ = new QButtonGroup(this);
  for (int index = 0; index < 4; ++index) {
    auto* item = new QRadioButton(QString::fromLatin1(kInputItems[index]), RadioGroup2);
    item->setObjectName(QStringLiteral("RadioGroup2_%1").arg(index));
    item->setGeometry(10 + 70 * index, 20, 66, 18);
    inputItems_->addButton(item, index);
  }
  BoutonInitConfig =
      AddButton(this, "BoutonInitConfig", "Charger les &paramètres pour le lecteur standard",
                QRect(8, 294, 290, 25));
  BoutonConfigISP =
      AddButton(this, "BoutonConfigISP", "Paramètres pour une programmation 'In Situ'",
                QRect(8, 324, 290, 25));

  // Right: one framed section per output complement level with the outputs, the input
  // complement level with the inputs, and the way back.
  QFrame* outputs = AddPanel(this, "Panel1", QRect(306, 110, 222, 126));
  for (int line = 1; line < 3; ++line) {
    auto* rule = new QFrame(outputs);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(4, 42 * line, outputs->width() - 8, 2);
  }
  CBcompVALIMout =
      AddCheckBox(outputs, "CBcompVALIMout", "Complémenter la sortie &Valim", QPoint(8, 12));
  CBcompSCLout = AddCheckBox(outputs, "CBcompSCLout", "Complémenter la sortie S&CL", QPoint(8, 54));
  CBcompSDAout = AddCheckBox(outputs, "CBcompSDAout", "Complémenter la sortie S&DA", QPoint(8, 96));
  QFrame* input = AddPanel(this, "Panel2", QRect(306, 248, 222, 38));
  CBcompSDAin = AddCheckBox(input, "CBcompSDAin", "Complémenter l'entrée SD&A", QPoint(8, 9));
  BoutonRetourConfig =
      AddButton(this, "BoutonRetourConfig", "&Retour au programme", QRect(306, 324, 222, 25));
  StaticTextConseil = new QLabel(this);
  StaticTextConseil->setObjectName(QStringLiteral("StaticTextConseil"));
  StaticTextConseil->setWordWrap(true);
  StaticTextConseil->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StaticTextConseil->setMargin(4);
  QPalette maroon = StaticTextConseil->palette();
  maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
  StaticTextConseil->setPalette(maroon);
  StaticTextConseil->hide();

  setTabOrder(BoutonRetourConfig, BoutonInitConfig);
  setTabOrder(BoutonInitConfig, outputItems_->button(0));
  setTabOrder(outputItems_->button(0), CBcompVALIMout);
  setTabOrder(CBcompVALIMout, CBcompSCLout);
  setTabOrder(CBcompSCLout, CBcompSDAout);
  setTabOrder(CBcompSDAout, inputItems_->button(0));
  setTabOrder(inputItems_->button(0), CBcompSDAin);
  setTabOrder(CBcompSDAin, TrackBar1);
  setTabOrder(TrackBar1, BoutonInfoTA);
  setTabOrder(BoutonInfoTA, BoutonConfigISP);

  // A click on the item already selected changes nothing and runs nothing.
  connect(outputItems_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) RadioGroup1Click();
  });
  connect(inputItems_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
    if (checked) RadioGroup2Click();
  });
  for (QCheckBox* box : {CBcompVALIMout, CBcompSCLout, CBcompSDAout, CBcompSDAin}) {
    connect(box, &QCheckBox::toggled, this, [this, box] { CBcompOutClick(box); });
  }
  connect(TrackBar1, &QSlider::valueChanged, this, &TForm6::TrackBar1Change);
  connect(BoutonInfoTA, &QPushButton::clicked, this, &TForm6::BoutonInfoTAClick);
  connect(BoutonInitConfig, &QPushButton::clicked, this, &TForm6::BoutonInitConfigClick);
  connect(BoutonConfigISP, &QPushButton::clicked, this, &TForm6::BoutonConfigISPClick);
  connect(BoutonRetourConfig, &QPushButton::clicked, this, &TForm6::BoutonRetourConfigClick);
}

void TForm6::FormCreate() {
  LineMap& map = session_.lineMap;
  // The settings restored only the indices and flags; the codes and mask follow from them
  // here, and a port reopened under the default map rests again under the restored one.
  ShowLineMap();
  map.SetSdaInput(ItemIndex(RadioGroup2));
  map.SetOutputArrangement(ItemIndex(RadioGroup1));
  PowerOffIfOpen();
  BoutonInitConfig->setToolTip(QString::fromUtf8(kStandardHint));
  initialised = true;
  TrackBar1->setValue(map.accessTime);
  StaticTextTA->setText(QString::number(map.accessTime));
}

int TForm6::ItemIndex(const QGroupBox* group) const {
  if (group == RadioGroup1) return outputItems_->checkedId();
  if (group == RadioGroup2) return inputItems_->checkedId();
  return -1;
}

void TForm6::SetItemIndex(QGroupBox* group, int index) {
  QButtonGroup* items = group == RadioGroup1 ? outputItems_ : inputItems_;
  const QSignalBlocker blocker(items);
  if (QAbstractButton* item = items->button(index)) item->setChecked(true);
}

void TForm6::ShowLineMap() {
  const LineMap& map = session_.lineMap;
  SetItemIndex(RadioGroup1, map.outputArrangement);
  SetItemIndex(RadioGroup2, map.sdaInput);
  // The boxes follow the map here, not the other way round.
  const std::pair<QCheckBox*, bool> boxes[] = {{CBcompVALIMout, map.complementValim},
                                               {CBcompSCLout, map.complementScl},
                                               {CBcompSDAout, map.complementSdaOut},
                                               {CBcompSDAin, map.complementSdaIn}};
  for (const auto& [box, checked] : boxes) {
    const QSignalBlocker blocker(box);
    box->setChecked(checked);
  }
}

void TForm6::PowerOffIfOpen() {
  if (ControlPort* port = session_.port()) {
    LineDriver lines(session_.lineMap, *port);
    lines.PowerOff();
  }
}

void TForm6::ShowWiringAdvice() {
  // An I2C adapter drives the bus itself: nothing this window sets reaches it.
  const QString advice = session_.i2cAdapter() != nullptr
                             ? QString::fromUtf8(messages::kI2cWiringNote) + QLatin1Char('\n') +
                                   QString::fromUtf8(messages::kI2cAccessTimeNote) +
                                   QLatin1Char('\n') +
                                   QString::fromUtf8(messages::kI2cLineCheckNote)
                             : mainWindow_.WiringAdvice();
  StaticTextConseil->setText(advice);
  StaticTextConseil->setVisible(!advice.isEmpty());
  if (advice.isEmpty()) {
    setFixedSize(kWindowSize);
    return;
  }
  const int width = kWindowSize.width() - 16;
  const int top = kWindowSize.height();
  StaticTextConseil->setGeometry(8, top, width, StaticTextConseil->heightForWidth(width));
  setFixedSize(kWindowSize.width(), StaticTextConseil->geometry().bottom() + 9);
}

void TForm6::RadioGroup1Click() {
  session_.lineMap.SetOutputArrangement(ItemIndex(RadioGroup1));
  PowerOffIfOpen();
  ShowWiringAdvice();
}

void TForm6::RadioGroup2Click() {
  // Only the mask changes: nothing is driven.
  session_.lineMap.SetSdaInput(ItemIndex(RadioGroup2));
  ShowWiringAdvice();
}

void TForm6::CBcompOutClick(QObject*) {
  if (!initialised) return;
  LineMap& map = session_.lineMap;
  map.complementValim = CBcompVALIMout->isChecked();
  map.complementScl = CBcompSCLout->isChecked();
  map.complementSdaOut = CBcompSDAout->isChecked();
  map.complementSdaIn = CBcompSDAin->isChecked();
  PowerOffIfOpen();
}

void TForm6::TrackBar1Change() {
  session_.lineMap.accessTime = TrackBar1->value();
  StaticTextTA->setText(QString::number(TrackBar1->value()));
}

void TForm6::BoutonInfoTAClick() {
  mainWindow_.dialogs().ShowMessage(QString::fromUtf8(kAccessTimeText),
                                    QString::fromUtf8(kAccessTimeTitle),
                                    kMbOk | kMbIconInformation);
}

void TForm6::BoutonInitConfigClick() {
  session_.lineMap.ApplyStandardPreset();
  ShowLineMap();
  PowerOffIfOpen();
  ShowWiringAdvice();
}

void TForm6::BoutonConfigISPClick() {
  // The in-situ adapter's transistors invert SCL out and SDA both ways.
  session_.lineMap.ApplyInSituPreset();
  ShowLineMap();
  PowerOffIfOpen();
  ShowWiringAdvice();
}

void TForm6::BoutonRetourConfigClick() {
  accept();
}

void TForm6::showEvent(QShowEvent* event) {
  ShowWiringAdvice();
  QDialog::showEvent(event);
  BoutonRetourConfig->setFocus();
}

}  // namespace keldar::ui
