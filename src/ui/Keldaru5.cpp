#include "ui/Keldaru5.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

#include "hw/port.h"
#include "ui/info_resources.h"
#include "ui/window_fonts.h"
#include "ui/window_frames.h"

namespace keldar::ui {
namespace {

// A nine-pin connector: the window's own icon.
QIcon ConnectorIcon() {
  const qreal ratio = ScreenPixelRatio();
  QPixmap picture(QSize(32, 32) * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(QColor(192, 192, 192));
  painter.drawPolygon(QPolygonF({{2, 9}, {30, 9}, {26, 23}, {6, 23}}));
  painter.setBrush(Qt::black);
  for (int pin = 0; pin < 5; ++pin)
    painter.drawEllipse(QPointF(7.0 + 4.5 * pin, 13.5), 1.3, 1.3);
  for (int pin = 0; pin < 4; ++pin)
    painter.drawEllipse(QPointF(9.25 + 4.5 * pin, 18.5), 1.3, 1.3);
  return QIcon(picture);
}

QCheckBox* AddOutput(QWidget* parent, const char* name, const char* caption, int top) {
  auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setFont(CourierFont(13));
  box->setGeometry(16, top, 100, 20);
  return box;
}

QLabel* AddReadOut(QWidget* parent, const char* name, const char* text, int top) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(CourierFont(13));
  label->setGeometry(24, top, 100, 18);
  return label;
}

// "CTS : [1]": a 1 is the line asserted, whatever the line map says.
QString ReadOut(const char* line, bool asserted) {
  return QString::fromLatin1(line) + QLatin1String(asserted ? " : [1]" : " : [0]");
}

}  // namespace

TForm5::TForm5(Session& session) : QDialog(nullptr, kCloseOnlyDialogFlags), session_(session) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QString::fromUtf8(" Test du port série :"));
  setWindowIcon(ConnectorIcon());
  setFont(InterfaceFont(13));
  setFixedSize(300, 196);

  // Outputs on the left, inputs on the right, the way back across the bottom.
  GroupBox2 = new QGroupBox(QStringLiteral(" Sorties : "), this);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  GroupBox2->setGeometry(8, 8, 136, 140);
  CC_TXD = AddOutput(GroupBox2, "CC_TXD", "TXD", 24);
  CC_DTR = AddOutput(GroupBox2, "CC_DTR", "DTR", 50);
  CC_RTS = AddOutput(GroupBox2, "CC_RTS", "RTS", 76);
  StaticText8 = new QLabel(QString::fromUtf8(" Case cochée = '1'"), GroupBox2);
  StaticText8->setObjectName(QStringLiteral("StaticText8"));
  StaticText8->setGeometry(8, 110, 120, 18);

  GroupBox1 = new QGroupBox(QString::fromUtf8(" Entrées : "), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1->setGeometry(152, 8, 140, 140);
  txt_CTS = AddReadOut(GroupBox1, "txt_CTS", "CTS : [ ]", 22);
  txt_DSR = AddReadOut(GroupBox1, "txt_DSR", "DSR : [ ]", 40);
  txt_RI = AddReadOut(GroupBox1, "txt_RI", "RI  : [ ]", 58);
  txt_DCD = AddReadOut(GroupBox1, "txt_DCD", "DCD : [ ]", 76);
  BoutonLireEntrees = new QPushButton(QStringLiteral("Lire les entrées"), GroupBox1);
  BoutonLireEntrees->setObjectName(QStringLiteral("BoutonLireEntrees"));
  BoutonLireEntrees->setGeometry(10, 104, 120, 25);

  BoutonTestPortP = new QPushButton(QStringLiteral("&Retour au programme"), this);
  BoutonTestPortP->setObjectName(QStringLiteral("BoutonTestPortP"));
  BoutonTestPortP->setGeometry(8, 158, 284, 28);

  // Only a click of the user's drives a line; setting a box from the program does not.
  for (QCheckBox* box : {CC_TXD, CC_DTR, CC_RTS}) {
    connect(box, &QCheckBox::clicked, this, [this, box] { CC_Click(box); });
  }
  connect(BoutonLireEntrees, &QPushButton::clicked, this, &TForm5::BoutonLireEntreesClick);
  connect(BoutonTestPortP, &QPushButton::clicked, this, &TForm5::BoutonRetourTest);
  FitTextsToControls(*this);
  CentreOnScreen(*this);
}

void TForm5::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm5::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    BoutonTestPortP->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TForm5::FormShow() {
  ControlPort* port = session_.port();
  if (port == nullptr) {
    // Closing from inside the showing would be lost on the modal loop that starts right after
    // it: the refusal waits for that loop.
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
    return;
  }
  setWindowTitle(QString::fromUtf8("Test du port série COM%1 :").arg(session_.portNumber));
  port->SetLine(OutputLine::Dtr, false);
  CC_DTR->setChecked(false);
  port->SetLine(OutputLine::Rts, false);
  CC_RTS->setChecked(false);
  port->SetLine(OutputLine::Txd, false);
  CC_TXD->setChecked(false);
  ShowInputStates();
  BoutonTestPortP->setFocus();
}

void TForm5::CC_Click(QObject* Sender) {
  ControlPort* port = session_.port();
  if (port == nullptr) return;
  // Checked is the line asserted (TxD: in break).
  if (Sender == CC_DTR) port->SetLine(OutputLine::Dtr, CC_DTR->isChecked());
  if (Sender == CC_RTS) port->SetLine(OutputLine::Rts, CC_RTS->isChecked());
  if (Sender == CC_TXD) port->SetLine(OutputLine::Txd, CC_TXD->isChecked());
  ShowInputStates();
}

void TForm5::ShowInputStates() {
  ControlPort* port = session_.port();
  if (port == nullptr) return;
  InputLevels inputs;
  (void)port->ReadInputs(inputs);
  txt_CTS->setText(ReadOut("CTS", inputs[InputLine::Cts]));
  txt_DSR->setText(ReadOut("DSR", inputs[InputLine::Dsr]));
  txt_RI->setText(ReadOut("RI ", inputs[InputLine::Ring]));
  txt_DCD->setText(ReadOut("DCD", inputs[InputLine::Dcd]));
}

void TForm5::BoutonLireEntreesClick() {
  ShowInputStates();
}

void TForm5::BoutonRetourTest() {
  // The outputs stay as the user left them: no power-off here.
  accept();
}

}  // namespace keldar::ui
