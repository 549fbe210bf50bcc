// The grid editor driven with keys and the mouse: cursor rules, byte entry on both sides,
// character sets and the refresh.
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>

#include <set>

#include "main_window_fixture.h"
#include "ui/grid/entry_field.h"
#include "ui/grid/grid_geometry.h"
#include "ui/grid/hex_grid_view.h"

namespace keldar::ui::testing {
namespace {

using G = GridGeometry;

class GridEditorTest : public MainWindowTest {
 protected:
  HexGridView* grid() { return form->StringGrid1; }
  void Select(int column, int row) { ASSERT_TRUE(grid()->SetCurrentCell(column, row)); }
  QString Cell(int column, int row) {
    return grid()->model()->index(G::ModelRow(row), G::ModelColumn(column)).data().toString();
  }
  QPoint CellCentre(int column, int row) {
    const QModelIndex index = grid()->model()->index(G::ModelRow(row), G::ModelColumn(column));
    return grid()->visualRect(index).center();
  }
  void ExpectCursor(int column, int row) {
    EXPECT_EQ(grid()->currentColumn(), column);
    EXPECT_EQ(grid()->currentRow(), row);
  }
  QString StaticText1() { return Find<QLabel>("StaticText1")->text(); }
};

TEST_F(GridEditorTest, SelectingACharacterCellSetsTheCursorAndTheCharacterSide) {
  form->buffer[0x0123] = 0x41;
  form->RefreshGrid(form->buffer, form->currentMemory.capacity);
  Select(22, 19);
  EXPECT_EQ(form->currentMemory.cursorAddress, 0x0123u);
  EXPECT_FALSE(form->editorState.hexSide);
  EXPECT_EQ(form->editorState.cursorColumn, 3);
  EXPECT_EQ(form->editorState.cursorRow, 18);
  EXPECT_EQ(Find<QLabel>("StaticText2")->text(), QStringLiteral("$0123"));
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("41"));
  EXPECT_EQ(form->Edit2->text(), QStringLiteral("A"));
  EXPECT_EQ(StaticText1(), QStringLiteral("$41 = 65"));
}

TEST_F(GridEditorTest, SpaceTogglesBetweenTheTwoCellsOfAByte) {
  Select(5, 3);
  Press(Qt::Key_Space);
  ExpectCursor(22, 3);
  EXPECT_FALSE(form->editorState.hexSide);
  Press(Qt::Key_Space);
  ExpectCursor(5, 3);
  EXPECT_TRUE(form->editorState.hexSide);
  Select(34, 3);
  Press(Qt::Key_Space);
  ExpectCursor(17, 3);
  EXPECT_EQ(form->buffer[0x002F], 0xFF);  // toggling stores nothing
}

TEST_F(GridEditorTest, ArrowsNeverCrossASpacerNorReachTheAddressColumn) {
  Select(17, 4);
  Press(Qt::Key_Right);
  ExpectCursor(17, 4);
  Select(19, 4);
  Press(Qt::Key_Left);
  ExpectCursor(19, 4);
  Select(2, 4);
  Press(Qt::Key_Left);
  ExpectCursor(2, 4);
  EXPECT_EQ(form->currentMemory.cursorAddress, 0x0030u);
  Press(Qt::Key_Home);
  ExpectCursor(2, 4);
  Press(Qt::Key_Up);
  ExpectCursor(2, 3);
  Press(Qt::Key_Right);
  ExpectCursor(3, 3);
  EXPECT_EQ(form->currentMemory.cursorAddress, 0x0021u);
  Select(2, 1);
  Press(Qt::Key_Up);
  ExpectCursor(2, 1);
}

TEST_F(GridEditorTest, MouseClicksOnSpacersAndTheAddressColumnAreRefused) {
  Select(7, 5);
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, CellCentre(18, 6));
  ExpectCursor(7, 5);
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, CellCentre(1, 6));
  ExpectCursor(7, 5);
  QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, CellCentre(25, 6));
  ExpectCursor(25, 6);
  EXPECT_EQ(form->currentMemory.cursorAddress, 0x0056u);
}

TEST_F(GridEditorTest, TypingFourOneEnterStoresTheByteAndRedrawsBothCells) {
  Select(4, 2);  // address $0012
  Press(Qt::Key_Return);
  ASSERT_EQ(QApplication::focusWidget(), form->Edit1);
  EXPECT_EQ(form->Edit1->cursorPosition(), 2);
  Type(QStringLiteral("41"));
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("41"));
  EXPECT_EQ(form->Edit2->text(), QStringLiteral("A"));
  EXPECT_EQ(StaticText1(), QStringLiteral("$41 = 65"));
  EXPECT_EQ(form->buffer[0x12], 0xFF);
  EXPECT_EQ(Cell(4, 2), QStringLiteral("FF"));
  EXPECT_EQ(QApplication::focusWidget(), form->Edit1);
  Press(Qt::Key_Return);
  EXPECT_EQ(form->buffer[0x12], 0x41);
  EXPECT_EQ(Cell(4, 2), QStringLiteral("41"));
  EXPECT_EQ(Cell(21, 2), QStringLiteral("A"));
  EXPECT_EQ(StaticText1(), QStringLiteral("$41 = 65"));
  EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1);
  ExpectCursor(4, 2);  // validation never moves the cursor
}

TEST_F(GridEditorTest, EscapeDiscardsTheEntry) {
  Select(4, 2);
  Press(Qt::Key_Return);
  Type(QStringLiteral("41"));
  Press(Qt::Key_Escape);
  EXPECT_EQ(form->buffer[0x12], 0xFF);
  EXPECT_EQ(Cell(4, 2), QStringLiteral("FF"));
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("FF"));
  EXPECT_EQ(StaticText1(), QStringLiteral("$FF = 255"));
  EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1);
}

TEST_F(GridEditorTest, AnOpenEntryShowsItsCaret) {
  Select(4, 2);
  Press(Qt::Key_Return);
  ASSERT_EQ(QApplication::focusWidget(), form->Edit1);
  const QImage open = form->Edit1->grab().toImage();
  Press(Qt::Key_Escape);
  const QImage closed = form->Edit1->grab().toImage();
  // Inside the frame and its focus ring, the open entry differs from the closed one by one
  // upright line.
  std::set<int> columns;
  int pixels = 0;
  for (int y = 3; y < open.height() - 3; ++y) {
    for (int x = 3; x < open.width() - 3; ++x) {
      if (open.pixel(x, y) == closed.pixel(x, y)) continue;
      columns.insert(x);
      ++pixels;
    }
  }
  EXPECT_EQ(columns.size(), 1u);
  EXPECT_GE(pixels, form->Edit1->fontMetrics().ascent());
}

TEST_F(GridEditorTest, HexLettersAreRaisedAndOthersIgnored) {
  Select(2, 1);
  Press(Qt::Key_Return);
  Type(QStringLiteral("abg"));
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("AB"));
  EXPECT_EQ(form->Edit1->cursorPosition(), 2);
  Press(Qt::Key_Space);  // Space validates on the hexadecimal side
  EXPECT_EQ(form->buffer[0], 0xAB);
  EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1);
}

TEST_F(GridEditorTest, TheSideFollowsTheFieldThatLastTookTheFocus) {
  Select(2, 1);
  form->Edit2->setFocus();  // Tab or a click into the character field
  EXPECT_FALSE(form->editorState.hexSide);
  Type(QStringLiteral("4"));  // a character, not a digit
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("34"));
  Press(Qt::Key_Return);
  EXPECT_EQ(form->buffer[0], 0x34);
}

TEST_F(GridEditorTest, AccentedCharacterInOemModeIsStoredAsItsCodePage850Code) {
  Find<QRadioButton>("BoutonRadioDos")->click();
  EXPECT_FALSE(form->editorState.charsetAnsi);
  EXPECT_TRUE(Action("OptionCaracDos")->isChecked());
  Select(19, 1);
  Press(Qt::Key_Return);
  ASSERT_EQ(QApplication::focusWidget(), form->Edit2);
  Type(QString(QChar(0x00E9)));
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("82"));
  EXPECT_EQ(StaticText1(), QStringLiteral("$82 = 130"));
  Press(Qt::Key_Return);
  EXPECT_EQ(form->buffer[0], 0x82);
  EXPECT_EQ(Cell(2, 1), QStringLiteral("82"));
  EXPECT_EQ(Cell(19, 1), QString(QChar(0x00E9)));
  // Drawn in the ANSI set the same byte is another glyph; nothing else changes.
  Trigger("OptionCaracWin");
  EXPECT_EQ(Cell(19, 1), QString(QChar(0x201A)));
  EXPECT_EQ(form->buffer[0], 0x82);
  EXPECT_TRUE(Find<QRadioButton>("BoutonRadioWin")->isChecked());
}

TEST_F(GridEditorTest, SpaceOnTheCharacterSideIsACharacter) {
  Select(20, 1);
  Press(Qt::Key_Return);
  Press(Qt::Key_Space);
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("20"));
  Press(Qt::Key_Return);
  EXPECT_EQ(form->buffer[1], 0x20);
}

TEST_F(GridEditorTest, TheZeroByteShowsAnEmptyCharacterFieldAndEnterStoresZero) {
  form->buffer[0x40] = 0x00;
  form->RefreshGrid(form->buffer, form->currentMemory.capacity);
  Select(19, 5);
  EXPECT_TRUE(form->Edit2->text().isEmpty());
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("00"));
  form->buffer[0x40] = 0x77;  // whatever the buffer holds, the empty field means zero
  Press(Qt::Key_Return);
  Press(Qt::Key_Return);
  EXPECT_EQ(form->buffer[0x40], 0x00);
}

TEST_F(GridEditorTest, DoubleClickOnAHeaderOrSpacerOpensTheSelectedByte) {
  Select(22, 3);
  QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, CellCentre(18, 7));
  ExpectCursor(22, 3);
  EXPECT_EQ(QApplication::focusWidget(), form->Edit2);
  EXPECT_EQ(form->Edit2->cursorPosition(), form->Edit2->text().size());

  form->StringGrid1->setFocus();
  Select(6, 3);
  QHeaderView* header = grid()->horizontalHeader();
  QTest::mouseDClick(header->viewport(), Qt::LeftButton, {},
                     QPoint(header->sectionViewportPosition(G::ModelColumn(9)) + 5, 5));
  ExpectCursor(6, 3);
  EXPECT_EQ(QApplication::focusWidget(), form->Edit1);
}

TEST_F(GridEditorTest, SwitchingA24C512ToA24C01MovesTheCursorToTheLastLine) {
  form->ComboBox->setCurrentIndex(10);
  form->ChoixMemoire(form->ComboBox);
  ASSERT_EQ(form->currentMemory.capacity, 65536u);
  EXPECT_EQ(grid()->model()->rowCount(), 4096);
  Select(24, G::RowOfAddress(0x0400));  // line $0400, offset 5
  ASSERT_EQ(form->currentMemory.cursorAddress, 0x0405u);

  Trigger("Option24C01");
  EXPECT_EQ(form->currentMemory.capacity, 128u);
  EXPECT_EQ(form->ComboBox->currentIndex(), 1);
  EXPECT_EQ(grid()->model()->rowCount(), 8);
  ExpectCursor(24, G::RowOfAddress(0x0070));
  EXPECT_EQ(form->currentMemory.cursorAddress, 0x0075u);
  EXPECT_EQ(Find<QLabel>("StaticText2")->text(), QStringLiteral("$0075"));
  EXPECT_FALSE(form->editorState.hexSide);
  EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1);

  Trigger("Option24C512");
  ExpectCursor(24, G::RowOfAddress(0x0070));
  EXPECT_EQ(form->currentMemory.cursorAddress, 0x0075u);
}

TEST_F(GridEditorTest, LargeTypesForcePageModeAndSmallerOnesGiveBackTheChoice) {
  Trigger("OptionModePageNon");
  EXPECT_FALSE(form->currentMemory.pageMode);
  Trigger("Option24C256");
  EXPECT_TRUE(Action("OptionModePageOui")->isChecked());
  EXPECT_FALSE(Action("OptionModePageNon")->isEnabled());
  EXPECT_FALSE(form->currentMemory.pageMode);
  Trigger("Option24C64");
  EXPECT_TRUE(Action("OptionModePageNon")->isChecked());
  EXPECT_TRUE(Action("OptionModePageNon")->isEnabled());
}

TEST_F(GridEditorTest, ARefreshShowsItsBusyLookAndMovesTheBarAt64Points) {
  Trigger("Option24C512");
  std::vector<int> values;
  QString status;
  QColor cells;
  QObject::connect(form->ProgressBar, &QProgressBar::valueChanged, [&](int value) {
    values.push_back(value);
    status = form->StaticTextInfo->text();
    // What the grid shows meanwhile, at an empty spacer cell.
    if (!cells.isValid()) cells = grid()->viewport()->grab().toImage().pixelColor(3, 3);
  });
  form->buffer[0xFFFF] = 0x12;
  form->RefreshGrid(form->buffer, 65536);
  // 64 points, then back to 0.
  ASSERT_EQ(values.size(), 65u);
  EXPECT_EQ(values[0], 1023);
  EXPECT_EQ(values[63], 65535);
  EXPECT_EQ(values[64], 0);
  EXPECT_EQ(status, QStringLiteral("Mise à jour du buffer"));
  EXPECT_EQ(cells, QColor(0, 128, 128));
  EXPECT_EQ(form->ProgressBar->maximum(), 65536);
  EXPECT_TRUE(form->StaticTextInfo->text().isEmpty());
  EXPECT_NE(grid()->viewport()->grab().toImage().pixelColor(3, 3), QColor(0, 128, 128));
  EXPECT_EQ(Cell(17, 4096), QStringLiteral("12"));
}

TEST_F(GridEditorTest, ARefreshReloadsTheEntryFieldsFromTheBuffer) {
  Select(3, 1);
  Press(Qt::Key_Return);
  Type(QStringLiteral("5"));
  form->buffer[1] = 0x66;
  form->RefreshGrid(form->buffer, form->currentMemory.capacity);
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("66"));
  EXPECT_EQ(StaticText1(), QStringLiteral("$66 = 102"));
  EXPECT_TRUE(form->editorState.hexSide);
}

}  // namespace
}  // namespace keldar::ui::testing
