// The main window: the application state (buffer, selected memory, editor cursor, line map,
// port, file name), its menus, toolbar, grid and status strip, and the command handlers. The
// handlers are spread over Keldaru1_*.cpp by concern.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QString>

#include "data/buffer.h"
#include "data/random_source.h"
#include "hw/linemap.h"
#include "hw/port.h"
#include "i2c/catalogue.h"
#include "session/session.h"
#include "settings/settings_table.h"
#include "ui/grid/byte_entry.h"
#include "ui/grid/character_set.h"
#include "ui/grid/editor_state.h"
#include "ui/operation_runner.h"
#include "ui/port_opener.h"
#include "ui/user_dialogs.h"

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;

namespace keldar::ui {

class EntryField;
class HexGridModel;
class HexGridView;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;

inline const QString kApplicationTitle =
    QStringLiteral("Programmateur de mémoires I2C sur port série");
inline const QString kMainCaption =
    QStringLiteral(" Programmateur d'eeproms I2C sur port série v1.3");

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // The session stays the program's and outlives the window.
  TForm1(Session& session, PortOpener openPort, std::unique_ptr<UserDialogs> dialogs,
         QWidget* parent = nullptr);
  ~TForm1() override;

  // The other windows, created after this one.
  void SetWindows(TForm2* form2, TForm3* form3, TForm4* form4, TForm5* form5, TForm6* form6);
  UserDialogs& dialogs() { return *dialogs_; }
  // True while a memory operation runs on its worker thread.
  [[nodiscard]] bool OperationRunning() const;
  // The worker thread memory operations and measures run on.
  OperationRunner& runner() { return *runner_; }
  // Closes the window as a logout asks: a running operation is stopped at its safe point first,
  // without a question.
  void CloseWithoutAsking();
  Session& session() { return session_; }
  // The open port whose lines drive the reader, or nullptr (none, or an I2C adapter).
  ControlPort* port() { return session_.port(); }
  // The current file, as the file dialogs start from it and the caption shows it.
  QString FileName() const { return QString::fromStdString(session_.currentFileName); }
  void SetFileName(const QString& name) { session_.currentFileName = name.toStdString(); }
  // The device string the open port was opened on; "" when none is open.
  const std::string& portDevice() const { return portDevice_; }
  // After the port chooser changed the Ports group: the open port moves to its new device.
  void PortDevicesChanged();
  // The advice for a wiring the open port's adapter cannot carry; "" when there is nothing to say.
  [[nodiscard]] QString WiringAdvice() const;

 private:
  Session& session_;

 public:
  // The session's state under the names the window's handlers use.
  Buffer& buffer;
  CurrentMemory& currentMemory;
  LineMap& lineMap;
  int32_t& portNumber;       // 0: none; 1..4: COM1..COM4
  ReaderDevice& portHandle;  // a port, or an I2C adapter
  // The window's own state.
  EditorState editorState;
  bool saveSettingsOnClose = true;
  RandomSource randomGenerator{1};  // the random fill's; seeded from the clock at start-up
  FileDialogRequest OpenDialog1;
  FileDialogRequest SaveDialog1;
  // Gives the compare command its scratch area, nullptr when none can be had; unset: the free
  // store. Tests replace it to refuse the memory.
  std::function<std::unique_ptr<uint8_t[]>(uint32_t size)> allocateScratch;

  // Toolbar.
  QToolButton* BoutonOuvrir = nullptr;
  QToolButton* BoutonSauver = nullptr;
  QToolButton* BoutonLire = nullptr;
  QToolButton* BoutonProgOctet = nullptr;
  QToolButton* BoutonProgMem = nullptr;
  QToolButton* BoutonComparer = nullptr;
  QLineEdit* EditMessPort = nullptr;
  QLabel* Label1 = nullptr;
  QToolButton* BoutonBuffer1 = nullptr;
  QToolButton* BoutonBuffer2 = nullptr;
  QToolButton* BoutonBuffer3 = nullptr;
  QToolButton* BoutonBuffer4 = nullptr;
  QToolButton* BoutonBuffer5 = nullptr;
  QToolButton* BoutonBuffer6 = nullptr;
  QToolButton* BoutonBuffer7 = nullptr;
  QToolButton* BoutonBuffer8 = nullptr;
  QToolButton* BoutonSchema = nullptr;
  QToolButton* BoutonInfos = nullptr;
  QToolButton* BoutonVersion = nullptr;

  // Grid and bottom strip.
  HexGridView* StringGrid1 = nullptr;
  QProgressBar* ProgressBar = nullptr;
  QRadioButton* BoutonRadioDos = nullptr;
  QRadioButton* BoutonRadioWin = nullptr;
  QLabel* StaticTextInfo = nullptr;
  QLabel* StaticText2 = nullptr;
  QLabel* StaticText1 = nullptr;
  EntryField* Edit1 = nullptr;
  EntryField* Edit2 = nullptr;
  QComboBox* ComboBox = nullptr;
  QPushButton* BitBtn1 = nullptr;
  // While an operation runs: the stop button over the memory buttons, the time left beside the
  // progress bar.
  QPushButton* BoutonArreter = nullptr;
  QLabel* StaticTextReste = nullptr;
  QTimer* Timer1 = nullptr;

  // Menus.
  QMenu* MenuFichier = nullptr;
  QAction* OptionOuvrirFichier = nullptr;
  QAction* OptionSauverFichier = nullptr;
  QAction* OptionQuitter = nullptr;
  QMenu* MenuAction = nullptr;
  QAction* OptionLire = nullptr;
  QAction* OptionProgramOctet = nullptr;
  QAction* OptionProgramMem = nullptr;
  QAction* Comparer1 = nullptr;
  QMenu* MenuBuffer = nullptr;
  QAction* OptionBuffer00 = nullptr;
  QAction* OptionBufferFF = nullptr;
  QAction* OptionBufferEspaces = nullptr;
  QAction* OptionBufferRandom = nullptr;
  QAction* OptionBufferIncremente = nullptr;
  QAction* OptionBufferDecremente = nullptr;
  QAction* OptionBufferOctet = nullptr;
  QAction* OptionBufferComplemente = nullptr;
  QAction* OptionBufferInvBits = nullptr;
  QAction* OptionCaracWin = nullptr;
  QAction* OptionCaracDos = nullptr;
  QMenu* MenuMemoire = nullptr;
  std::array<QAction*, kMemoryTypes.size()> memoryTypeItems{};  // Option24C00 .. Option24M02
  QAction* OptionModePageNon = nullptr;
  QAction* OptionModePageOui = nullptr;
  QAction* OptionIdentifier = nullptr;
  QMenu* MenuAdresseBase = nullptr;
  QAction* Questcequecest = nullptr;
  std::array<QAction*, 8> MenuAdrBase{};  // MenuAdrBase0 .. MenuAdrBase7
  QMenu* MenuPortSerie = nullptr;
  QAction* OptionCOM1 = nullptr;
  QAction* OptionCOM2 = nullptr;
  QAction* OptionCOM3 = nullptr;
  QAction* OptionCOM4 = nullptr;
  QAction* OptionNoCOM = nullptr;
  QAction* Testduportserie = nullptr;
  QAction* TypeLecteur = nullptr;
  QAction* ChoixPeripheriques = nullptr;
  QMenu* MenuInformations = nullptr;
  QAction* MenuPurgerRegistre = nullptr;
  QAction* SchemaElectrique = nullptr;
  QAction* ProgrammationInSitu1 = nullptr;
  QAction* Aide = nullptr;
  QAction* APropos = nullptr;

 signals:
  // A command handler started, with the control that raised it.
  void commandStarted(const QString& handler, QObject* source);

 public slots:
  // Shell (Keldaru1.cpp).
  void QuitterProgramme(QObject* Sender);
  void FormShow();

  // Serial port (Keldaru1_ports.cpp).
  void ChangerPort(int port);
  void PortCOMactif(QObject* Sender);
  void Timer1Timer();
  void TestduportserieClick(QObject* Sender);
  void TypeLecteurClick(QObject* Sender);
  void ChoisirPeripheriquesClick(QObject* Sender);

  // Grid editor (Keldaru1_grid.cpp).
  void RefreshGrid(const Buffer& source, uint32_t count);
  bool StringGrid1SelectCell(int column, int row);
  void StringGrid1KeyPress(QChar key);
  void StringGrid1DblClick();
  void EditKeyPress(QChar key);
  void Edit1Enter();
  void Edit2Enter();
  void Edit1KeyUp();
  void Edit2KeyUp();
  void CommandeBoutonRadioDosWin(QObject* Sender);

  // Memory operations (Keldaru1_memory.cpp).
  void LectureMemoire(QObject* Sender);
  void ProgrammerMemoire(QObject* Sender);
  void Comparer(QObject* Sender);
  void IdentifierMemoire(QObject* Sender);

  // Memory selection (Keldaru1_selection.cpp).
  void ChoixMemoire(QObject* Sender);
  void OptionModePageClick(QObject* Sender);
  void MenuAdrBaseClick(QObject* Sender);
  void WhatIsAdrBase(QObject* Sender);

  // Buffer fills (Keldaru1_fills.cpp).
  void ModifierBuffer(QObject* Sender);

  // Files (Keldaru1_files.cpp).
  void OuvrirFichier(QObject* Sender);
  void SauverFichier(QObject* Sender);

  // Settings and information windows (Keldaru1_windows.cpp).
  void MenuPurgerRegistreClick(QObject* Sender);
  void VoirSchema(QObject* Sender);
  void ProgrammationInSitu1Click(QObject* Sender);
  void AideClick(QObject* Sender);
  void AProposClick(QObject* Sender);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  using Handler = void (TForm1::*)(QObject*);

  void FormCreate();
  void FormClose();
  // The persisted values: read once at start-up, written once at close.
  void LoadSettings();
  void SaveSettings();
  // One value of the settings table put into the window's state, and where it is saved from.
  void ApplySetting(SettingId id, const SettingValue& value);
  [[nodiscard]] SettingValue SettingSource(SettingId id) const;

  // Layout (Keldaru1_layout.cpp, Keldaru1_menus.cpp).
  void BuildToolbar(QWidget* client);
  void BuildGrid(QWidget* client);
  void BuildBottomStrip(QWidget* client);
  // The address and value fields for four-digit addresses, or for five (above 64 KiB).
  void LayOutAddressFields(bool wide);
  void BuildMenus();
  QToolButton* AddPictureButton(QWidget* client, const char* name, QRect geometry,
                                const char* picture, QSize pictureSize, const QString& hint,
                                Handler handler);
  void ConnectHandler(QObject* source, Handler handler);
  // Runs a command; an error it did not expect is shown, and the window and the reader are put
  // back at rest so that the program goes on.
  void RunHandler(Handler handler, QObject* source);
  bool OwnsShortcut(const QKeyEvent& event) const;

  // Command states (Keldaru1_ports.cpp).
  void SetPortCommandsAvailable(bool available);
  void CheckPortItem(int port);
  // The wiring advice in a message box, when there is one.
  void ShowWiringAdvice();

  // Grid helpers (Keldaru1_grid.cpp).
  void ShowEntry();
  void PutCaretsAtEnd();
  void ApplyEntryAction(EntryAction action);
  void SetBusyStatus(const QString& text);
  void ClearBusyStatus();

  // The opening and closing shared by the memory operations (Keldaru1_memory.cpp).
  void OpenOperation(uint32_t maximum, std::string_view runningText);
  void ShowOperationDone(std::string_view doneText);
  void CloseOperation();
  // Runs an operation of the session's service on the open port, on its worker thread, the
  // window alive and every command that could touch the session disabled meanwhile; a read that
  // succeeded is in the buffer afterwards. False when the window is to close instead of
  // reporting the outcome.
  bool RunOperation(const OperationRequest& request, OperationOutcome& outcome);
  void ShowOutcome(const OperationOutcome& outcome);
  // Commands disabled and the stop button shown while an operation runs; back as they were
  // after it.
  void ShowOperationRunning(bool running);
  [[nodiscard]] std::vector<QObject*> SessionCommands() const;
  void StopOperation();

  // Files (Keldaru1_files.cpp).
  void UpdateCaption();

  // Memory selection helpers (Keldaru1_selection.cpp).
  void SelectMemoryType(QObject* source);
  // True, after saying why, when the open I2C adapter cannot carry the type (the X24C01).
  [[nodiscard]] bool TypeRefusedByAdapter(int32_t typeIndex);
  void ShowPageModeItems();
  void ShowBaseAddress();

  PortOpener openPort_;
  OperationRunner* runner_ = nullptr;
  // What the running operation disabled, with the state it had.
  std::vector<std::pair<QPointer<QObject>, bool>> disabledByOperation_;
  bool closeAfterOperation_ = false;  // closing was asked for during the operation
  bool closeWithoutAsking_ = false;
  int idleBarWidth_ = 0;
  std::string portDevice_;  // the device the open port was opened on
  QPoint windowOrigin_;     // the restored or centred position, taken at start-up
  std::unique_ptr<UserDialogs> dialogs_;
  CharacterSet charset_;
  ByteEntry entry_;
  HexGridModel* model_ = nullptr;
  QFrame* frame_ = nullptr;
  QActionGroup* portGroup_ = nullptr;
  TForm2* form2_ = nullptr;
  TForm3* form3_ = nullptr;
  TForm4* form4_ = nullptr;
  TForm5* form5_ = nullptr;
  TForm6* form6_ = nullptr;
};

}  // namespace keldar::ui
