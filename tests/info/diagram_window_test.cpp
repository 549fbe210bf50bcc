// The wiring diagrams window: which tabs the two commands show, the copies to the clipboard with
// their message, and the ways back to the main window.
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include "main_window_fixture.h"
#include "ui/Keldaru2.h"
#include "ui/info_resources.h"

namespace keldar::ui::testing {
namespace {

const char* const kCopiedText =
    "Le schéma a été copié dans le presse-papier de Windows...\n\n"
    "Vous pouvez maintenant l'imprimer ou l'enregistrer à partir de\n"
    "n'importe quel programme de retouche d'image, comme par\n"
    "exemple Paint (Démarrer/Programmes/Accessoires).";

class DiagramWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    diagrams = &program->form2();
  }

  // A menu shortcut pressed in the main window's grid, as the user does.
  void PressInGrid(Qt::Key key) {
    ASSERT_TRUE(form->isVisible());
    // Let the activation that showing the window queued arrive.
    QCoreApplication::processEvents();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    form->StringGrid1->setFocus();
    Press(key, Qt::ControlModifier);
    ASSERT_TRUE(diagrams->isVisible());
    ASSERT_FALSE(form->isVisible());
  }
  void Return() {
    diagrams->BoutonRetour->click();
    ASSERT_FALSE(diagrams->isVisible());
    ASSERT_TRUE(form->isVisible());
  }
  QWidget* Page() const { return diagrams->PageControl1->currentWidget(); }
  QWidget* SubPage() const { return diagrams->PageControl2->currentWidget(); }

  // Copies by `click` and checks the clipboard holds the picture `shown`, and the one message.
  void ExpectCopy(const std::function<void()>& click, const QLabel* shown, QSize size) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    dialogs->Clear();
    dialogs->AnswerNextMessage(kIdOk);
    click();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), size);
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              shown->pixmap().toImage().convertToFormat(QImage::Format_RGB32));
    ASSERT_EQ(dialogs->prompts().size(), 1u);
    const Prompt& prompt = dialogs->prompts()[0];
    EXPECT_EQ(prompt.kind, Prompt::Kind::Message);
    EXPECT_EQ(prompt.text, QString::fromUtf8(kCopiedText));
    EXPECT_EQ(prompt.caption, QString::fromUtf8("Schéma électrique..."));
    EXPECT_EQ(prompt.flags, kMbOk | kMbIconInformation);
    EXPECT_EQ(diagrams->focusWidget(), diagrams->BoutonRetour);
  }

  TForm2* diagrams = nullptr;
};

TEST_F(DiagramWindowTest, CtrlEShowsTheStandardTabAfterTheInSituTabWasLeft) {
  PressInGrid(Qt::Key_Z);
  EXPECT_EQ(Page(), diagrams->TabSheet2);
  EXPECT_EQ(SubPage(), diagrams->TabSheet3);
  Return();
  PressInGrid(Qt::Key_E);
  EXPECT_EQ(Page(), diagrams->TabSheet1);
  EXPECT_EQ(diagrams->focusWidget(), diagrams->BoutonRetour);
}

TEST_F(DiagramWindowTest, CtrlZShowsTheWiringSubTabAfterTheAdviceWasLeft) {
  PressInGrid(Qt::Key_Z);
  diagrams->PageControl2->setCurrentWidget(diagrams->TabSheet4);
  Return();
  // The standard command leaves the sub-tab where the user left it...
  PressInGrid(Qt::Key_E);
  EXPECT_EQ(Page(), diagrams->TabSheet1);
  EXPECT_EQ(SubPage(), diagrams->TabSheet4);
  Return();
  // ...the in-situ command does not.
  PressInGrid(Qt::Key_Z);
  EXPECT_EQ(Page(), diagrams->TabSheet2);
  EXPECT_EQ(SubPage(), diagrams->TabSheet3);
}

TEST_F(DiagramWindowTest, EachCopyPutsItsDiagramOnTheClipboardAndTellsTheUser) {
  PressInGrid(Qt::Key_E);
  ExpectCopy([this] { QTest::mouseClick(diagrams->BoutonCopierPP1, Qt::LeftButton); },
             diagrams->Image1, QSize(529, 382));
  diagrams->PageControl1->setCurrentWidget(diagrams->TabSheet2);
  ExpectCopy([this] { QTest::mouseClick(diagrams->BoutonCopierPP2, Qt::LeftButton); },
             diagrams->Image2, QSize(418, 326));
  ExpectCopy([this] { QTest::mouseClick(diagrams->Image2, Qt::LeftButton); }, diagrams->Image2,
             QSize(418, 326));
  // The window stays; only its return button leaves.
  EXPECT_TRUE(diagrams->isVisible());
  EXPECT_FALSE(form->isVisible());
}

TEST_F(DiagramWindowTest, ARightClickOnThePictureCopiesNothing) {
  PressInGrid(Qt::Key_Z);
  QTest::mouseClick(diagrams->Image2, Qt::RightButton);
  EXPECT_TRUE(dialogs->prompts().empty());
}

TEST_F(DiagramWindowTest, PicturesAreShownAtTheirExactSize) {
  PressInGrid(Qt::Key_E);
  EXPECT_EQ(diagrams->Image1->pixmap().size(), QSize(529, 382));
  EXPECT_EQ(diagrams->Image2->pixmap().size(), QSize(418, 326));
  EXPECT_EQ(diagrams->size(), QSize(538, 417));
  // The tabs end where the return button starts, which stands over the tab strip.
  EXPECT_LE(diagrams->PageControl1->tabBar()->sizeHint().width(), diagrams->BoutonRetour->x());
  EXPECT_EQ(diagrams->childAt(diagrams->BoutonRetour->geometry().center()), diagrams->BoutonRetour);
}

TEST_F(DiagramWindowTest, EscapeReturnsUnlessTheAdviceHasTheFocus) {
  const QPoint position = form->pos();
  PressInGrid(Qt::Key_Z);
  diagrams->PageControl2->setCurrentWidget(diagrams->TabSheet4);
  diagrams->MemoInSitu->setFocus();
  QTest::keyClick(diagrams->MemoInSitu, Qt::Key_Escape);
  EXPECT_TRUE(diagrams->isVisible());

  diagrams->BoutonRetour->setFocus();
  QTest::keyClick(diagrams->BoutonRetour, Qt::Key_Escape);
  EXPECT_FALSE(diagrams->isVisible());
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->pos(), position);
  EXPECT_EQ(form->focusWidget(), form->StringGrid1);
}

TEST_F(DiagramWindowTest, ClosingTheWindowAnyOtherWayShowsTheMainWindowAgain) {
  PressInGrid(Qt::Key_E);
  EXPECT_TRUE(diagrams->close());
  EXPECT_FALSE(diagrams->isVisible());
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->focusWidget(), form->StringGrid1);
}

TEST_F(DiagramWindowTest, TheAdviceIsReadOnlyAndUnwrapped) {
  PressInGrid(Qt::Key_Z);
  diagrams->PageControl2->setCurrentWidget(diagrams->TabSheet4);
  QPlainTextEdit* memo = diagrams->MemoInSitu;
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(memo->toPlainText(), ResourceText(kInSituAdviceText));
  memo->setFocus();
  QTest::keyClicks(memo, QStringLiteral("xyz"));
  EXPECT_EQ(memo->toPlainText(), ResourceText(kInSituAdviceText));
}

}  // namespace
}  // namespace keldar::ui::testing
