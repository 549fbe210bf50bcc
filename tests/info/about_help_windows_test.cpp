// The about window's ways back to the main window, and the help window's modal display.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "main_window_fixture.h"
#include "ui/Keldaru3.h"
#include "ui/Keldaru4.h"
#include "ui/info_resources.h"

namespace keldar::ui::testing {
namespace {

class AboutWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    about = &program->form3();
    // Somewhere else than where the window was centred, to see it kept.
    form->move(form->pos() + QPoint(37, 23));
    position = form->pos();
  }
  void Open() {
    // Let the activation that showing the window queued arrive.
    QCoreApplication::processEvents();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    form->StringGrid1->setFocus();
    Press(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(about->isVisible());
    ASSERT_FALSE(form->isVisible());
    ASSERT_EQ(about->focusWidget(), about->BoutonRetour2);
  }
  void ExpectBack() {
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->pos(), position);
    EXPECT_EQ(form->focusWidget(), form->StringGrid1);
  }

  TForm3* about = nullptr;
  QPoint position;
};

TEST_F(AboutWindowTest, EscapeReturnsToTheMainWindowWhereItWas) {
  Open();
  QTest::keyClick(about->BoutonRetour2, Qt::Key_Escape);
  ExpectBack();
}

TEST_F(AboutWindowTest, EnterReturnsToTheMainWindowWhereItWas) {
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    Open();
    QTest::keyClick(about->BoutonRetour2, key);
    ExpectBack();
  }
}

TEST_F(AboutWindowTest, ClosingTheWindowAnyOtherWayShowsTheMainWindowAgain) {
  Open();
  EXPECT_TRUE(about->close());
  ExpectBack();
}

TEST_F(AboutWindowTest, PicturesFillTheirFramesAndTellWhatTheyShow) {
  Open();
  const struct {
    QLabel* label;
    QSize size;
    const char* hint;
  } pictures[] = {{about->Image2, {137, 137}, "Mémoire 24C16 (variante 24LC16B)"},
                  {about->Image3, {189, 137}, "Photo du programmateur intégré dans une fiche DB9"},
                  {about->Image1, {137, 137}, "Photo d'une 24LC256 (32 ko !)"}};
  for (const auto& picture : pictures) {
    EXPECT_EQ(picture.label->size(), picture.size) << picture.hint;
    EXPECT_EQ(picture.label->pixmap().size(), picture.size) << picture.hint;
    EXPECT_EQ(picture.label->toolTip(), QString::fromUtf8(picture.hint));
  }
  // Every one-line text shows whole, whichever family stood in for the window's font.
  for (QLabel* line : {about->StaticText1, about->StaticText2, about->StaticText3}) {
    EXPECT_LE(line->sizeHint().width(), line->width()) << line->objectName().toStdString();
  }
  EXPECT_LE(about->Edit1->fontMetrics().horizontalAdvance(about->Edit1->text()),
            about->Edit1->width());
  // The contact line is never a stop for the keyboard.
  EXPECT_EQ(about->Edit1->focusPolicy(), Qt::NoFocus);
  EXPECT_TRUE(about->Edit1->isReadOnly());
}

class HelpWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    help = &program->form4();
    // Shown as the program shows it, without blocking the test.
    help->open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(help));
  }
  TForm4* help = nullptr;
};

TEST_F(HelpWindowTest, OpensWithTheTextFocusedAndReadOnly) {
  EXPECT_EQ(QApplication::focusWidget(), help->RichEdit1);
  EXPECT_TRUE(help->RichEdit1->isReadOnly());
  EXPECT_EQ(help->RichEdit1->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(help->RichEdit1->toPlainText(), ResourceText(kHelpText));
  const QPalette colours = help->RichEdit1->palette();
  EXPECT_EQ(colours.color(QPalette::Base), QColor(0, 0, 128));
  EXPECT_EQ(colours.color(QPalette::Text), QColor(Qt::yellow));
  EXPECT_TRUE(help->RichEdit1->font().bold());
  // Columns line up: every character takes the same width.
  const QFontMetrics metrics(help->RichEdit1->font());
  EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')),
            metrics.horizontalAdvance(QLatin1Char('M')));
}

TEST_F(HelpWindowTest, EnterEscapeAndTheButtonEndItWithOk) {
  QTest::keyClick(help->RichEdit1, Qt::Key_Return);
  EXPECT_FALSE(help->isVisible());
  EXPECT_EQ(help->result(), QDialog::Accepted);

  help->open();
  help->setResult(-1);
  QTest::keyClick(help->RichEdit1, Qt::Key_Escape);
  EXPECT_FALSE(help->isVisible());
  EXPECT_EQ(help->result(), QDialog::Accepted);

  help->open();
  help->setResult(-1);
  QTest::mouseClick(help->BoutonRetour3, Qt::LeftButton);
  EXPECT_FALSE(help->isVisible());
  EXPECT_EQ(help->result(), QDialog::Accepted);
}

TEST_F(HelpWindowTest, KeepsItsScrollPositionBetweenShowings) {
  QScrollBar* bar = help->RichEdit1->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0);
  bar->setValue(bar->maximum() / 2);
  help->BoutonRetour3->click();
  help->open();
  EXPECT_EQ(bar->value(), bar->maximum() / 2);
}

}  // namespace
}  // namespace keldar::ui::testing
