#include "ui/Keldaru2.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>

#include "ui/Keldaru1.h"
#include "ui/info_resources.h"
#include "ui/user_dialogs.h"
#include "ui/window_fonts.h"
#include "ui/window_frames.h"

namespace keldar::ui {

namespace {

const char* const kCopiedText =
    "Le schéma a été copié dans le presse-papier de Windows...\n\n"
    "Vous pouvez maintenant l'imprimer ou l'enregistrer à partir de\n"
    "n'importe quel programme de retouche d'image, comme par\n"
    "exemple Paint (Démarrer/Programmes/Accessoires).";
const char* const kCopiedCaption = "Schéma électrique...";

QPushButton* NewButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  return button;
}

// What the window shows of a diagram: the clipboard's one-bit picture itself, or, on a scaled
// screen, the same drawing in as many device pixels, one bit each still.
QPixmap Sharp(const QImage& diagram, const QString& path) {
  const qreal ratio = ScreenPixelRatio();
  if (ratio == 1.0) return QPixmap::fromImage(diagram);
  return QPixmap::fromImage(RenderMonochrome(path, diagram.size(), ratio));
}

}  // namespace

TForm2::TForm2(TForm1& mainWindow) : QWidget(nullptr, kBareWindowFlags), mainWindow_(mainWindow) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(QString::fromUtf8(" Schéma électrique du programmateur d'EEPROMs I2C série :"));
  setWindowIcon(mainWindow.windowIcon());
  setFixedSize(538, 417);
  setFont(InterfaceFont(13));
  // Leaving this window shows the main window again; it never ends the program.
  setAttribute(Qt::WA_QuitOnClose, false);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->setGeometry(0, 3, 537, 413);
  BuildStandardTab();
  BuildInSituTabs();

  // Created after the tabs so that it stands over their strip.
  BoutonRetour =
      NewButton(this, "BoutonRetour", QStringLiteral("&Retour au programme"), {394, 3, 140, 21});
  connect(BoutonRetour, &QPushButton::clicked, this, &TForm2::BoutonRetourProg);

  // The tabs of the first level end where the return button starts.
  FitFontToWidth(*PageControl1->tabBar(), BoutonRetour->x() - 2);
  FitFontToWidth(*PageControl2->tabBar(), PageControl2->width() - 2);
  FitTextsToControls(*this);

  CentreOnScreen(*this);
}

void TForm2::BuildStandardTab() {
  TabSheet1 = new QWidget;
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  PageControl1->addTab(TabSheet1, QStringLiteral("&Programmateur standard"));

  standardDiagram_ = RenderMonochrome(kStandardReaderDiagram, kStandardReaderSize);
  Image1 = new QLabel(TabSheet1);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(QRect(QPoint(0, 0), kStandardReaderSize));
  Image1->setPixmap(Sharp(standardDiagram_, kStandardReaderDiagram));

  // The button lies over the picture's empty top left corner.
  BoutonCopierPP1 = NewButton(TabSheet1, "BoutonCopierPP1",
                              QStringLiteral("&Copier dans le presse-papier"), {4, 5, 185, 25});
  connect(BoutonCopierPP1, &QPushButton::clicked, this,
          [this] { BoutonCopierPPClick(BoutonCopierPP1); });
}

void TForm2::BuildInSituTabs() {
  TabSheet2 = new QWidget;
  TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
  PageControl1->addTab(TabSheet2, QString::fromUtf8("&Schéma pour programmation In Situ"));

  PageControl2 = new QTabWidget(TabSheet2);
  PageControl2->setObjectName(QStringLiteral("PageControl2"));
  PageControl2->setGeometry(24, 8, 489, 365);

  TabSheet3 = new QWidget;
  TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
  PageControl2->addTab(TabSheet3, QString::fromUtf8("Câblage électrique"));
  inSituDiagram_ = RenderMonochrome(kInSituModuleDiagram, kInSituModuleSize);
  Image2 = new QLabel(TabSheet3);
  Image2->setObjectName(QStringLiteral("Image2"));
  Image2->setGeometry(QRect(QPoint(29, 4), kInSituModuleSize));
  Image2->setAlignment(Qt::AlignCenter);
  Image2->setPixmap(Sharp(inSituDiagram_, kInSituModuleDiagram));
  // A click on the picture copies it, as the button does.
  Image2->installEventFilter(this);
  BoutonCopierPP2 =
      NewButton(TabSheet3, "BoutonCopierPP2", QStringLiteral("&Enregistrer"), {104, 295, 89, 25});
  connect(BoutonCopierPP2, &QPushButton::clicked, this,
          [this] { BoutonCopierPPClick(BoutonCopierPP2); });

  TabSheet4 = new QWidget;
  TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
  PageControl2->addTab(TabSheet4,
                       QString::fromUtf8("Conseils importants, et restrictions d'utilisation"));
  MemoInSitu = new QPlainTextEdit(TabSheet4);
  MemoInSitu->setObjectName(QStringLiteral("MemoInSitu"));
  MemoInSitu->setGeometry(8, 8, 465, 313);
  MemoInSitu->setFont(ArialFont(17));
  MemoInSitu->setReadOnly(true);
  MemoInSitu->setLineWrapMode(QPlainTextEdit::NoWrap);
  MemoInSitu->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MemoInSitu->setPlainText(ResourceText(kInSituAdviceText));
}

void TForm2::FormShow() {
  // Every showing starts on the standard diagram; the in-situ command turns the page after.
  PageControl1->setCurrentWidget(TabSheet1);
  BoutonRetour->setFocus();
}

void TForm2::BoutonRetourProg() {
  mainWindow_.show();
  hide();
  mainWindow_.activateWindow();
}

void TForm2::BoutonCopierPPClick(QObject* Sender) {
  const QImage& diagram = Sender == BoutonCopierPP1 ? standardDiagram_ : inSituDiagram_;
  QGuiApplication::clipboard()->setImage(diagram);
  mainWindow_.dialogs().ShowMessage(QString::fromUtf8(kCopiedText),
                                    QString::fromUtf8(kCopiedCaption), kMbOk | kMbIconInformation);
  BoutonRetour->setFocus();
}

void TForm2::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Restoring from the task bar is not a new showing.
  if (!event->spontaneous()) FormShow();
}

void TForm2::closeEvent(QCloseEvent* event) {
  // Whatever way the platform offers to close the window leads back to the program.
  mainWindow_.show();
  event->accept();
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  // Escape is the return button's, except in the advice text, which keeps its keys.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier &&
      focusWidget() != MemoInSitu) {
    BoutonRetour->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  // A click: the left button pressed and released over the picture.
  if (watched == Image2 &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return false;
    if (event->type() == QEvent::MouseButtonRelease &&
        Image2->rect().contains(mouse->position().toPoint())) {
      BoutonCopierPPClick(Image2);
    }
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace keldar::ui
