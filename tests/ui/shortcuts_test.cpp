// Menu shortcuts from anywhere in the main window: greyed commands do nothing, live ones run,
// and ours win over the widgets' own (Ctrl+C is compare, not copy).
#include <QClipboard>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include "main_window_fixture.h"
#include "ui/Keldaru3.h"
#include "ui/grid/entry_field.h"
#include "ui/grid/hex_grid_view.h"

namespace keldar::ui::testing {
namespace {

class ShortcutsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    QObject::connect(form, &TForm1::commandStarted,
                     [this](const QString& handler, QObject* source) {
                       runs.push_back(handler + QLatin1Char(':') + source->objectName());
                     });
  }
  std::vector<QString> runs;
};

const struct {
  Qt::Key key;
  const char* run;
} kMemoryShortcuts[] = {
    {Qt::Key_L, "LectureMemoire:OptionLire"},
    {Qt::Key_P, "ProgrammerMemoire:OptionProgramOctet"},
    {Qt::Key_M, "ProgrammerMemoire:OptionProgramMem"},
    {Qt::Key_C, "Comparer:Comparer1"},
    {Qt::Key_N, "IdentifierMemoire:OptionIdentifier"},
};

TEST_F(ShortcutsTest, MemoryShortcutsDoNothingWithoutAPortAndRunWithOne) {
  for (const auto& shortcut : kMemoryShortcuts)
    Press(shortcut.key, Qt::ControlModifier);
  Press(Qt::Key_T, Qt::ControlModifier);  // port test: unavailable too
  EXPECT_TRUE(runs.empty());
  EXPECT_TRUE(dialogs->prompts().empty());

  Press(Qt::Key_F1, Qt::ShiftModifier);
  ASSERT_EQ(form->portNumber, 1);
  // Each operation ends with its message box (the recording port has no memory behind it).
  for (const auto& shortcut : kMemoryShortcuts) {
    dialogs->AnswerNextMessage(kIdOk);
    Press(shortcut.key, Qt::ControlModifier);
  }
  ASSERT_EQ(runs.size(), std::size(kMemoryShortcuts));
  for (size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(runs[i], QString::fromLatin1(kMemoryShortcuts[i].run));
  }

  Press(Qt::Key_F5, Qt::ShiftModifier);
  ASSERT_EQ(form->portNumber, 0);
  runs.clear();
  for (const auto& shortcut : kMemoryShortcuts)
    Press(shortcut.key, Qt::ControlModifier);
  EXPECT_TRUE(runs.empty());
}

TEST_F(ShortcutsTest, CtrlCInTheGridAndTheEntryFieldsIsCompareNotCopy) {
  QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
  Trigger("OptionCOM2");
  ASSERT_EQ(QApplication::focusWidget(), form->StringGrid1);
  for (int i = 0; i < 3; ++i)
    dialogs->AnswerNextMessage(kIdOk);
  Press(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(runs, (std::vector<QString>{QStringLiteral("Comparer:Comparer1")}));

  form->Edit1->setFocus();
  Press(Qt::Key_C, Qt::ControlModifier);
  form->Edit2->setFocus();
  Press(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(runs.size(), 3u);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("untouched"));
}

TEST_F(ShortcutsTest, GreyedShortcutsInAnEntryFieldNeitherRunNorType) {
  form->Edit1->setFocus();
  const QString before = form->Edit1->text();
  Press(Qt::Key_C, Qt::ControlModifier);  // compare is greyed; C must not be typed as a digit
  EXPECT_EQ(form->Edit1->text(), before);
  EXPECT_TRUE(runs.empty());
}

TEST_F(ShortcutsTest, ShortcutsAvailableInBothStatesRunFromEveryField) {
  dialogs->AnswerNextOpenFile(std::nullopt);
  dialogs->AnswerNextSaveFile(std::nullopt);
  Press(Qt::Key_F2, Qt::ControlModifier);
  form->Edit2->setFocus();
  Press(Qt::Key_O, Qt::ControlModifier);
  form->ComboBox->setFocus();
  Press(Qt::Key_S, Qt::ControlModifier);
  Trigger("OptionCOM1");
  Press(Qt::Key_F9, Qt::ControlModifier);
  EXPECT_EQ(runs, (std::vector<QString>{QStringLiteral("ModifierBuffer:OptionBufferFF"),
                                        QStringLiteral("OuvrirFichier:OptionOuvrirFichier"),
                                        QStringLiteral("SauverFichier:OptionSauverFichier"),
                                        QStringLiteral("ModifierBuffer:OptionBufferInvBits")}));
}

TEST_F(ShortcutsTest, CtrlVAndCtrlZAreTheProgramsCommands) {
  form->Edit1->setFocus();
  Press(Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], QStringLiteral("AProposClick:APropos"));
  program->form3().BoutonRetour2->click();
  ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == form; }));
  form->StringGrid1->setFocus();
  Press(Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1], QStringLiteral("ProgrammationInSitu1Click:ProgrammationInSitu1"));
}

TEST_F(ShortcutsTest, CharacterSetShortcutsLeaveTheFocusInTheGrid) {
  Press(Qt::Key_D, Qt::ControlModifier);
  EXPECT_FALSE(form->editorState.charsetAnsi);
  EXPECT_TRUE(Action("OptionCaracDos")->isChecked());
  EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1);
  Press(Qt::Key_W, Qt::ControlModifier);
  EXPECT_TRUE(form->editorState.charsetAnsi);
  EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1);
}

TEST_F(ShortcutsTest, AltDOpensTheAddressMenuEveryTimeEvenFromTheDosButton) {
  // The menu bar and the "&Dos" button both mark D: the menu's letter wins, each time.
  for (QWidget* from : std::initializer_list<QWidget*>{form->StringGrid1, form->BoutonRadioDos}) {
    from->setFocus();
    Press(Qt::Key_D, Qt::AltModifier);
    QWidget* open = QApplication::activePopupWidget();
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->objectName(), QStringLiteral("MenuAdresseBase"));
    open->close();
  }
  EXPECT_TRUE(form->BoutonRadioWin->isChecked());
}

}  // namespace
}  // namespace keldar::ui::testing
