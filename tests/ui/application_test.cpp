// The program's application object and real dialogs: Qt's own texts in French, a message box
// over the window the user is in, and an error that no handler expected shown in a message box
// while the program goes on.
#include <new>
#include <stdexcept>

#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "program_fixture.h"
#include "ui/qt_user_dialogs.h"

namespace keldar::ui::testing {
namespace {

TEST(QtDialogsTest, StandardButtonsAndFileDialogsAreFrench) {
  QMessageBox box(QMessageBox::Warning, QString(), QString(),
                  QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Annuler"));
  EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Oui"));
  EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("&Non"));
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  const auto* name = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->text(), QStringLiteral("&Nom de fichier :"));
  EXPECT_EQ(QFileIconProvider().type(QFileInfo(QDir::tempPath())), QStringLiteral("Dossier"));
}

TEST(QtDialogsTest, AMessageStandsOverTheActiveWindowNotTheHiddenMainWindow) {
  QWidget mainWindow;  // hidden, as while the diagrams are shown
  QWidget diagrams;
  diagrams.setGeometry(300, 200, 538, 417);
  diagrams.show();
  diagrams.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&diagrams));
  QWidget* owner = nullptr;
  QPoint centre;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    owner = box->parentWidget();
    centre = box->frameGeometry().center();
    box->button(QMessageBox::Ok)->click();
  });
  QtUserDialogs(&mainWindow).ShowMessage(QStringLiteral("copié"), QString(), kMbOk);
  EXPECT_EQ(owner, &diagrams);
  EXPECT_LE((centre - diagrams.frameGeometry().center()).manhattanLength(), 2);
}

// A port whose status reads throw once armed, as a broken driver library might.
class ThrowingPort : public JournalPort {
 public:
  using JournalPort::JournalPort;
  bool ReadInputs(InputLevels& levels) override {
    if (armed) throw std::runtime_error("lecture impossible du port");
    return JournalPort::ReadInputs(levels);
  }
  bool armed = false;
};

class UnexpectedErrorTest : public ProgramTest {};

TEST_F(UnexpectedErrorTest, ACommandThatThrowsIsReportedAndTheWindowAndReaderComeToRest) {
  ThrowingPort* opened = nullptr;
  Start([this, &opened](int number) {
    auto port = std::make_unique<ThrowingPort>(ports, number);
    opened = port.get();
    return std::unique_ptr<ControlPort>(std::move(port));
  });
  Trigger("OptionCOM1");
  opened->armed = true;
  dialogs->AnswerNextMessage(kIdOk);
  Trigger("OptionLire");
  ASSERT_EQ(dialogs->prompts().size(), 1u);
  EXPECT_EQ(dialogs->prompts()[0].text,
            QStringLiteral("Erreur inattendue : lecture impossible du port"));
  EXPECT_EQ(dialogs->prompts()[0].caption, kApplicationTitle);
  EXPECT_EQ(dialogs->prompts()[0].flags, kMbOk | kMbIconError);
  EXPECT_TRUE(form->StaticTextInfo->text().isEmpty());
  // The reader is left unpowered: Valim, SCL and SDA low (TxD, RTS, DTR), then 20 ms.
  const std::vector<sim::PortEvent> codes = opened->LineChanges();
  EXPECT_EQ(std::vector<sim::PortEvent>(codes.end() - 3, codes.end()),
            (std::vector<sim::PortEvent>{Off(OutputLine::Txd), Off(OutputLine::Rts),
                                         Off(OutputLine::Dtr)}));
  EXPECT_EQ(opened->events().back(), sim::SleepEvent(20));
  // And the program goes on: an event handler's error is reported the same way.
  dialogs->AnswerNextMessage(kIdOk);
  QTimer::singleShot(0, form, [] { throw std::bad_alloc(); });
  QTRY_COMPARE(dialogs->prompts().size(), size_t{2});
  EXPECT_EQ(dialogs->prompts()[1].text,
            QString::fromUtf8("Mémoire insuffisante : l'opération n'a pas pu aboutir."));
}

}  // namespace
}  // namespace keldar::ui::testing
