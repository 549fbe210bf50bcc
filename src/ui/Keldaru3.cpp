#include "ui/Keldaru3.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "ui/info_resources.h"
#include "ui/window_fonts.h"
#include "ui/window_frames.h"

namespace keldar::ui {

namespace {

const QColor kTeal(0, 128, 128);

}  // namespace

TForm3::TForm3(QWidget& mainWindow) : QWidget(nullptr, kBareWindowFlags), mainWindow_(mainWindow) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral(" A propos du programmateur..."));
  setWindowIcon(mainWindow.windowIcon());
  setFixedSize(521, 401);
  // Leaving this window shows the main window again; it never ends the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  setFont(InterfaceFont(13));
  // White bold texts on teal; the button keeps its own palette and black caption.
  setAutoFillBackground(true);
  QPalette teal = palette();
  teal.setColor(QPalette::Window, kTeal);
  teal.setColor(QPalette::WindowText, Qt::white);
  setPalette(teal);

  StaticText1 =
      NewText("StaticText1", QString::fromUtf8("Programmateur de mémoires I2C sur port série"),
              {24, 16, 473, 28}, 20);

  Image2 = NewPicture("Image2", kChip24Lc16bPicture, {16, 56, 137, 137},
                      QString::fromUtf8("Mémoire 24C16 (variante 24LC16B)"));
  Image3 = NewPicture("Image3", kReaderDb9Picture, {166, 56, 189, 137},
                      QString::fromUtf8("Photo du programmateur intégré dans une fiche DB9"));
  Image1 = NewPicture("Image1", kChip24Lc256Picture, {368, 56, 137, 137},
                      QStringLiteral("Photo d'une 24LC256 (32 ko !)"));

  StaticText2 =
      NewText("StaticText2", QString::fromUtf8("Version 1.3  -  l'équipe keldar  -  août 2001"),
              {104, 208, 313, 20}, 13);
  StaticText3 = NewText("StaticText3", QStringLiteral("Utilisation libre, sans garantie."),
                        {128, 240, 281, 17}, 13);
  StaticText6 = NewText(
      "StaticText6",
      QString::fromUtf8("Ce programme peut être copié et distribué librement, sans modification, "
                        "avec ses textes et ses schémas. Il est fourni tel quel : ses auteurs ne "
                        "répondent d'aucun dommage causé aux mémoires, au lecteur ou au PC."),
      {8, 264, 505, 65}, 13);
  StaticText6->setWordWrap(true);

  Edit1 = new QLineEdit(
      QString::fromUtf8("Contact : l'équipe keldar, par le suivi des tickets du projet"), this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(24, 336, 473, 19);
  Edit1->setReadOnly(true);
  Edit1->setFrame(false);
  Edit1->setFocusPolicy(Qt::NoFocus);
  Edit1->setAlignment(Qt::AlignCenter);
  Edit1->setFont(InterfaceFont(13, true));
  QPalette line = Edit1->palette();
  line.setColor(QPalette::Base, kTeal);
  line.setColor(QPalette::Text, Qt::white);
  Edit1->setPalette(line);

  BoutonRetour2 = new QPushButton(QStringLiteral("Retour au programme"), this);
  BoutonRetour2->setObjectName(QStringLiteral("BoutonRetour2"));
  BoutonRetour2->setGeometry(168, 363, 185, 25);
  BoutonRetour2->setDefault(true);
  connect(BoutonRetour2, &QPushButton::clicked, this, &TForm3::BoutonRetour2Click);

  FitTextsToControls(*this);

  CentreOnScreen(*this);
}

QLabel* TForm3::NewText(const char* name, const QString& text, QRect geometry, int pixels) {
  auto* label = new QLabel(text, this);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(geometry);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setFont(InterfaceFont(pixels, true));
  return label;
}

QLabel* TForm3::NewPicture(const char* name, const QString& path, QRect geometry,
                           const QString& hint) {
  auto* picture = new QLabel(this);
  picture->setObjectName(QString::fromLatin1(name));
  picture->setGeometry(geometry);
  picture->setPixmap(RenderPicture(path, geometry.size(), ScreenPixelRatio()));
  picture->setToolTip(hint);
  return picture;
}

void TForm3::BoutonRetour2Click() {
  mainWindow_.show();
  hide();
  mainWindow_.activateWindow();
}

void TForm3::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) BoutonRetour2->setFocus();
}

void TForm3::closeEvent(QCloseEvent* event) {
  // Whatever way the platform offers to close the window leads back to the program.
  mainWindow_.show();
  event->accept();
}

void TForm3::keyPressEvent(QKeyEvent* event) {
  // The return button is the window's default and cancel button.
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        BoutonRetour2->click();
        return;
      }
      break;
    default:
      break;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace keldar::ui
