#include "ui/Keldaru1.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTimer>

#include "hw/line_driver.h"
#include "settings/settings_store.h"
#include "settings/settings_table.h"
#include "ui/grid/grid_geometry.h"
#include "ui/grid/hex_grid_model.h"
#include "ui/grid/hex_grid_view.h"
#include "ui/status_texts.h"
#include "ui/toolbar_pictures.h"
#include "ui/unexpected_error.h"
#include "ui/window_fonts.h"

namespace keldar::ui {

namespace {

// Minimise and close, no maximise and no sizing: the frame of a fixed dialog-like window.
constexpr Qt::WindowFlags kMainWindowFlags =
    Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;

const char* const kFileFilter =
    "fichier binaire BIN (*.bin)|*.bin|tout fichier binaire (*.*)|*.*|"
    "fichier Intel HEXA (*.hex)|*.hex|tout fichier au format Intel HEXA (*.*)|*.*";

// The whole screen, which the window's position is centred on and limited against.
QSize ScreenPixels() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->geometry().size() : QSize(0, 0);
}

}  // namespace

TForm1::TForm1(Session& session, PortOpener openPort, std::unique_ptr<UserDialogs> dialogs,
               QWidget* parent)
    : QMainWindow(parent, kMainWindowFlags),
      session_(session),
      buffer(session.buffer),
      currentMemory(session.currentMemory),
      lineMap(session.lineMap),
      portNumber(session.portNumber),
      portHandle(session.portHandle),
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
  // The port reopened at start-up, now that the saved wiring is in force.
  if (form6_ != nullptr && portNumber != 0) ShowWiringAdvice();
}

void TForm1::FormCreate() {
  setWindowTitle(kMainCaption);
  setWindowIcon(QIcon(ToolbarPicture(QStringLiteral("keldar"), QSize(32, 32))));
  setFont(InterfaceFont(13));

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  client->setFixedSize(618, 403);
  setCentralWidget(client);
  BuildToolbar(client);
  BuildGrid(client);
  BuildBottomStrip(client);
  BuildMenus();
  // Where the family found is wider than the one the layout was drawn for, the texts that would
  // not fit shrink to their room; the three changing fields are sized for all they can show.
  FitTextsToControls(*client);
  FitFontToTexts(*StaticTextInfo, StatusLineTexts());
  FitFontToTexts(*EditMessPort, PortMessageTexts());
  FitFontToTexts(*StaticText1, ValueTexts());
  FitFontToTexts(*BoutonArreter, StopButtonTexts());
  FitFontToTexts(*StaticTextReste, TimeLeftTexts());
  runner_ = new OperationRunner(this);
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setSingleShot(true);
  Timer1->setInterval(2500);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  // Our menu shortcuts win over the widgets' own (Ctrl+C in the grid is compare, not copy).
  qApp->installEventFilter(this);

  adjustSize();

  // Defaults of everything the settings may replace.
  portNumber = 0;
  currentMemory = CurrentMemory{};
  editorState = EditorState{};
  lineMap = LineMap{};
  // Centred on the outer size, in integers truncated towards zero. Before the first showing
  // most window systems have not told the frame's size yet: the window's own size stands in.
  const QSize screen = ScreenPixels();
  windowOrigin_ = QPoint((screen.width() - frameGeometry().width()) / 2,
                         (screen.height() - frameGeometry().height()) / 2);
  SetFileName(QStringLiteral("*.bin"));
  OpenDialog1 = FileDialogRequest{FileName(), QString::fromUtf8(kFileFilter), 1};
  SaveDialog1 = OpenDialog1;
  saveSettingsOnClose = true;
  LoadSettings();

  // What the settings chose takes effect once the key is closed. The line codes wait for the
  // reader configuration window, created after this one.
  move(windowOrigin_);
  if (!editorState.charsetAnsi) CommandeBoutonRadioDosWin(OptionCaracDos);
  ShowPageModeItems();
  ShowBaseAddress();

  buffer.fill(0xFF);
  model_->Show(buffer, currentMemory.capacity);
  StringGrid1->SetCurrentCell(GridGeometry::kFirstHexColumn, GridGeometry::kFirstDataRow);
  RefreshGrid(buffer, currentMemory.capacity);
  randomGenerator = RandomSource::FromClock();
}

void TForm1::LoadSettings() {
  SettingsStore store;
  const QSize screen = ScreenPixels();
  keldar::LoadSettings(
      store, {screen.width(), screen.height()},
      [this](SettingId id, const SettingValue& value) { ApplySetting(id, value); });
}

void TForm1::ApplySetting(SettingId id, const SettingValue& value) {
  const int* held = std::get_if<int>(&value);
  const int number = held != nullptr ? *held : 0;
  const bool flag = std::holds_alternative<bool>(value) && std::get<bool>(value);
  switch (id) {
    case SettingId::PortSerieCom:
      // Reopened at once, under the default line map: the saved one is read further on.
      ChangerPort(number);
      break;
    case SettingId::TypeMemoire:
      // The memory menu's handler is not run: the grid is laid out later.
      currentMemory.Select(number);
      {
        const QSignalBlocker blocker(ComboBox);
        ComboBox->setCurrentIndex(currentMemory.typeIndex);
      }
      memoryTypeItems[static_cast<size_t>(currentMemory.typeIndex)]->setChecked(true);
      break;
    case SettingId::ModePage:
      currentMemory.pageMode = flag;
      break;
    case SettingId::BufferAnsi:
      editorState.charsetAnsi = flag;
      break;
    case SettingId::XOrigine:
      windowOrigin_.setX(number);
      break;
    case SettingId::YOrigine:
      windowOrigin_.setY(number);
      break;
    // Indices and flags only: the configuration window derives the codes and the mask.
    case SettingId::ConfigurationSorties:
      lineMap.outputArrangement = number;
      break;
    case SettingId::ConfigurationEntree:
      lineMap.sdaInput = number;
      break;
    case SettingId::ComplementerValimOut:
      lineMap.complementValim = flag;
      break;
    case SettingId::ComplementerSclOut:
      lineMap.complementScl = flag;
      break;
    case SettingId::ComplementerSdaOut:
      lineMap.complementSdaOut = flag;
      break;
    case SettingId::ComplementerSdaIn:
      lineMap.complementSdaIn = flag;
      break;
    case SettingId::TempsAcces:
      lineMap.accessTime = number;
      break;
    case SettingId::NomFichier:
      session_.currentFileName = std::get<std::string>(value);
      break;
    case SettingId::TypeFichier:
      OpenDialog1.filterIndex = number;
      SaveDialog1.filterIndex = number;
      break;
    case SettingId::AdresseBase:
      currentMemory.baseAddress = number;
      ShowBaseAddress();
      break;
  }
}

SettingValue TForm1::SettingSource(SettingId id) const {
  switch (id) {
    case SettingId::PortSerieCom:
      return portNumber;
    case SettingId::TypeMemoire:
      return ComboBox->currentIndex();
    case SettingId::ModePage:
      return currentMemory.pageMode;
    case SettingId::BufferAnsi:
      return editorState.charsetAnsi;
    case SettingId::XOrigine:
      return pos().x();
    case SettingId::YOrigine:
      return pos().y();
    case SettingId::ConfigurationSorties:
      return lineMap.outputArrangement;
    case SettingId::ConfigurationEntree:
      return lineMap.sdaInput;
    case SettingId::ComplementerValimOut:
      return lineMap.complementValim;
    case SettingId::ComplementerSclOut:
      return lineMap.complementScl;
    case SettingId::ComplementerSdaOut:
      return lineMap.complementSdaOut;
    case SettingId::ComplementerSdaIn:
      return lineMap.complementSdaIn;
    case SettingId::TempsAcces:
      return lineMap.accessTime;
    case SettingId::NomFichier:
      return session_.currentFileName;
    case SettingId::TypeFichier:
      // Both dialogs hold the same position.
      return SaveDialog1.filterIndex;
    case SettingId::AdresseBase:
      return currentMemory.baseAddress;
  }
  return {};
}

void TForm1::SaveSettings() {
  SettingsStore store;
  if (saveSettingsOnClose) {
    keldar::SaveSettings(store, [this](SettingId id) { return SettingSource(id); });
    return;
  }
  // After the purge command: the next start is a first start, device overrides included.
  store.Purge();
  dialogs_->Beep(kSimpleBeep);
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
  if (OperationRunning()) {
    // The operation stops at its safe point first; its handler then closes the window.
    event->ignore();
    if (closeAfterOperation_) return;
    if (!closeWithoutAsking_ &&
        dialogs_->ShowMessage(kCloseDuringOperation, kCloseDuringOperationTitle,
                              kMbYesNo | kMbIconQuestion) != kIdYes) {
      return;
    }
    // The operation may have ended while the question was open: then this asks nothing more.
    closeAfterOperation_ = true;
    StopOperation();
    return;
  }
  FormClose();
  event->accept();
}

void TForm1::CloseWithoutAsking() {
  closeWithoutAsking_ = true;
  close();
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
  // Échap stops a running operation; otherwise it keeps its use in the entry fields.
  if (event->type() == QEvent::KeyPress && OperationRunning() && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    StopOperation();
    return true;
  }
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
            [this, action, handler] { RunHandler(handler, action); });
  } else if (auto* button = qobject_cast<QAbstractButton*>(source)) {
    connect(button, &QAbstractButton::clicked, this,
            [this, button, handler] { RunHandler(handler, button); });
  }
}

void TForm1::RunHandler(Handler handler, QObject* source) {
  try {
    (this->*handler)(source);
  } catch (...) {
    ShowUnexpectedError(*dialogs_, std::current_exception());
    StringGrid1->SetBusy(false);
    CloseOperation();
    if (ControlPort* open = port()) {
      // The error may be the port's own; it has been told once already.
      try {
        LineDriver lines(lineMap, *open);
        lines.PowerOff();
      } catch (...) {
      }
    }
  }
}

}  // namespace keldar::ui
