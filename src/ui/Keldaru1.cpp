#include "ui/Keldaru1.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include "ui/grid/grid_geometry.h"
#include "ui/grid/hex_grid_model.h"
#include "ui/grid/hex_grid_view.h"
#include "ui/toolbar_pictures.h"

namespace keldar::ui {

namespace {

// Minimise and close, no maximise and no sizing: the frame of a fixed dialog-like window.
constexpr Qt::WindowFlags kMainWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

const char* const kFileFilter =
    "fichier binaire BIN (*.bin)|*.bin|tout fichier binaire (*.*)|*.*|"
    "fichier Intel HEXA (*.hex)|*.hex|tout fichier au format Intel HEXA (*.*)|*.*";

}  // namespace

TForm1::TForm1(PortOpener openPort, std::unique_ptr<UserDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent, kMainWindowFlags),
      openPort_(std::move(openPort)),
      dialogs_(std::move(dialogs)),
      entry_(buffer, charset_) {
  setObjectName(QStringLiteral("Form1"));
  FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::SetWindows(TForm2* form2, TForm3* form3, TForm4* form4, TForm5* form5, TForm6* form6) {
  form2_ = form2;
  form3_ = form3;
  form4_ = form4;
  form5_ = form5;
  form6_ = form6;
}

void TForm1::FormCreate() {
  setWindowTitle(kMainCaption);
  setWindowIcon(QIcon(ToolbarPicture(QStringLiteral("keldar"), QSize(32, 32))));
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(13);
  setFont(font);

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  client->setFixedSize(618, 403);
  setCentralWidget(client);
  BuildToolbar(client);
  BuildGrid(client);
  BuildBottomStrip(client);
  BuildMenus();
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setInterval(2500);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  // Our menu shortcuts win over the widgets' own (Ctrl+C in the grid is compare, not copy).
  qApp->installEventFilter(this);

  // Defaults of everything the settings may replace.
  currentMemory = CurrentMemory{};
  editorState = EditorState{};
  lineMap = LineMap{};
  currentFileName = QStringLiteral("*.bin");
  OpenDialog1 = FileDialogRequest{currentFileName, QString::fromUtf8(kFileFilter), 1};
  SaveDialog1 = OpenDialog1;
  saveSettingsOnClose = true;
  LoadSettings();

  adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  if (!editorState.charsetAnsi) CommandeBoutonRadioDosWin(BoutonRadioDos);
  ShowPageModeItems();
  ShowBaseAddress();

  buffer.fill(0xFF);
  model_->Show(buffer, currentMemory.capacity);
  StringGrid1->SetCurrentCell(GridGeometry::kFirstHexColumn, GridGeometry::kFirstDataRow);
  RefreshGrid(buffer, currentMemory.capacity);
  randomGenerator = RandomSource::FromClock();
}

void TForm1::LoadSettings() {
  // The per-user settings are read here, in their table's order; until then the defaults set
  // by FormCreate stand.
}

void TForm1::SaveSettings() {
  // The per-user settings are written (or purged) here, once, when the window closes.
}

void TForm1::FormShow() {
  StringGrid1->setFocus();
}

void TForm1::FormClose() {
  SaveSettings();
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Restoring from the task bar is not a new showing.
  if (!event->spontaneous()) FormShow();
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TForm1::QuitterProgramme(QObject* Sender) {
  emit commandStarted(QStringLiteral("QuitterProgramme"), Sender);
  close();
}

bool TForm1::OwnsShortcut(const QKeyEvent& event) const {
  const QKeySequence pressed(event.keyCombination());
  for (const QAction* action : findChildren<QAction*>()) {
    if (!action->shortcut().isEmpty() && action->shortcut() == pressed) return true;
  }
  return false;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this &&
      OwnsShortcut(*static_cast<QKeyEvent*>(event))) {
    // Not overridden: the shortcut map gets the key, and a disabled command swallows it.
    event->ignore();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::ConnectHandler(QObject* source, Handler handler) {
  if (auto* action = qobject_cast<QAction*>(source)) {
    connect(action, &QAction::triggered, this,
            [this, action, handler] { (this->*handler)(action); });
  } else if (auto* button = qobject_cast<QAbstractButton*>(source)) {
    connect(button, &QAbstractButton::clicked, this,
            [this, button, handler] { (this->*handler)(button); });
  }
}

}  // namespace keldar::ui
