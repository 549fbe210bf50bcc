// The grid's plain parts, without a widget: cell coordinates, the character sets, the byte
// entry and the model's cell texts.
#include <gtest/gtest.h>
#include <QKeyEvent>

#include "ui/grid/byte_entry.h"
#include "ui/grid/character_set.h"
#include "ui/grid/grid_geometry.h"
#include "ui/grid/grid_keys.h"
#include "ui/grid/hex_grid_model.h"

namespace keldar::ui {
namespace {

using G = GridGeometry;

TEST(GridGeometryTest, EveryAddressOfA24C512MapsToTwoCellsAndBack) {
  for (uint32_t address = 0; address < 65536; ++address) {
    const int offset = static_cast<int>(address % 16);
    const int row = G::RowOfAddress(address);
    ASSERT_EQ(G::AddressOf(G::HexColumn(offset), row), address);
    ASSERT_EQ(G::AddressOf(G::CharColumn(offset), row), address);
    ASSERT_EQ(G::PartnerColumn(G::HexColumn(offset)), G::CharColumn(offset));
    ASSERT_EQ(G::PartnerColumn(G::CharColumn(offset)), G::HexColumn(offset));
  }
  EXPECT_EQ(G::AddressOf(22, 19), 0x0123u);
  EXPECT_EQ(G::RowCount(2048), 129);
  EXPECT_EQ(G::RowCount(16), 2);
}

TEST(GridGeometryTest, OnlyTheByteColumnsAreDataColumns) {
  int hex = 0;
  int character = 0;
  for (int column = 0; column < G::kColumnCount; ++column) {
    hex += G::IsHexColumn(column) ? 1 : 0;
    character += G::IsCharColumn(column) ? 1 : 0;
    EXPECT_FALSE(G::IsHexColumn(column) && G::IsCharColumn(column)) << column;
  }
  EXPECT_EQ(hex, 16);
  EXPECT_EQ(character, 16);
  for (int column : {0, 1, 18})
    EXPECT_FALSE(G::IsDataColumn(column)) << column;
  EXPECT_FALSE(G::IsDataCell(5, 0));
  EXPECT_TRUE(G::IsDataCell(34, 1));
  // The model holds everything but the address column and the header row.
  EXPECT_EQ(G::GridColumn(G::ModelColumn(17)), 17);
  EXPECT_EQ(G::ModelColumn(1), 0);
  EXPECT_EQ(G::kModelColumnCount, 34);
}

TEST(CharacterSetTest, QtCodecsGiveWindows1252AndCodePage850) {
  const CharacterSet charset;
  ASSERT_TRUE(charset.valid());
  EXPECT_EQ(charset.Text(0x41, true), QStringLiteral("A"));
  EXPECT_EQ(charset.Text(0xE9, true), QString(QChar(0x00E9)));
  EXPECT_EQ(charset.Text(0x82, false), QString(QChar(0x00E9)));
  EXPECT_EQ(charset.Text(0x80, true), QString(QChar(0x20AC)));
  EXPECT_EQ(charset.Text(0xB0, false), QString(QChar(0x2591)));
  EXPECT_TRUE(charset.Text(0x00, true).isEmpty());
  EXPECT_TRUE(charset.Text(0x00, false).isEmpty());
  EXPECT_EQ(charset.Code(QChar(0x00E9), false), uint8_t{0x82});
  EXPECT_EQ(charset.Code(QChar(0x00E9), true), uint8_t{0xE9});
  // Characters outside the set are not typed as some substitute.
  EXPECT_FALSE(charset.Code(QChar(0x20AC), false).has_value());
  EXPECT_FALSE(charset.Code(QChar(0x4E2D), true).has_value());
}

TEST(CharacterSetTest, EveryCodeButZeroIsOneCharacterThatTypesBackToItself) {
  const CharacterSet charset;
  for (bool ansi : {true, false}) {
    for (int code = 1; code < 256; ++code) {
      const QString& text = charset.Text(static_cast<uint8_t>(code), ansi);
      ASSERT_EQ(text.size(), 1) << code;
      ASSERT_EQ(charset.Code(text.front(), ansi), static_cast<uint8_t>(code)) << code;
    }
  }
}

class ByteEntryTest : public ::testing::Test {
 protected:
  ByteEntryTest() { buffer.fill(0xFF); }
  EntryAction Key(char16_t key, bool hexSide, bool ansi = true) {
    return entry.KeyPress(QChar(key), hexSide, ansi, kAddress);
  }

  static constexpr uint32_t kAddress = 0x0123;
  Buffer buffer{};
  CharacterSet charset;
  ByteEntry entry{buffer, charset};
};

TEST_F(ByteEntryTest, HexDigitsShiftInAndReachTheBufferOnlyOnEnterOrSpace) {
  entry.Load(kAddress);
  EXPECT_EQ(entry.Edit1Text(), QStringLiteral("FF"));
  EXPECT_EQ(Key(u'1', true), EntryAction::Typed);
  EXPECT_EQ(entry.Edit1Text(), QStringLiteral("F1"));
  EXPECT_EQ(Key(u'2', true), EntryAction::Typed);
  EXPECT_EQ(entry.Edit1Text(), QStringLiteral("12"));
  EXPECT_EQ(buffer[kAddress], 0xFF);
  EXPECT_EQ(Key(u'4', true), EntryAction::Typed);
  EXPECT_EQ(Key(u'1', true), EntryAction::Typed);
  EXPECT_EQ(entry.Edit2Text(true), QStringLiteral("A"));
  EXPECT_EQ(entry.StaticText1Text(), QStringLiteral("$41 = 65"));
  EXPECT_EQ(Key(u'\r', true), EntryAction::Stored);
  EXPECT_EQ(buffer[kAddress], 0x41);
  EXPECT_EQ(Key(u'7', true), EntryAction::Typed);
  EXPECT_EQ(Key(u' ', true), EntryAction::Stored);
  EXPECT_EQ(buffer[kAddress], 0x17);
}

TEST_F(ByteEntryTest, LowerCaseHexIsRaisedAndOtherLettersIgnored) {
  entry.Load(kAddress);
  EXPECT_EQ(Key(u'a', true), EntryAction::Typed);
  EXPECT_EQ(Key(u'b', true), EntryAction::Typed);
  EXPECT_EQ(entry.Edit1Text(), QStringLiteral("AB"));
  EXPECT_EQ(Key(u'g', true), EntryAction::Ignored);
  EXPECT_EQ(Key(u'G', true), EntryAction::Ignored);
  EXPECT_EQ(Key(8, true), EntryAction::Ignored);
  EXPECT_EQ(entry.Edit1Text(), QStringLiteral("AB"));
}

TEST_F(ByteEntryTest, EscapeReloadsTheBufferByteOnBothSides) {
  buffer[kAddress] = 0x5A;
  entry.Load(kAddress);
  Key(u'4', true);
  Key(u'1', true);
  EXPECT_EQ(Key(27, true), EntryAction::Restored);
  EXPECT_EQ(entry.Edit1Text(), QStringLiteral("5A"));
  EXPECT_EQ(entry.StaticText1Text(), QStringLiteral("$5A = 90"));
  Key(u'x', false);
  EXPECT_EQ(Key(27, false), EntryAction::Restored);
  EXPECT_EQ(entry.Edit2Text(true), QStringLiteral("Z"));
  EXPECT_EQ(buffer[kAddress], 0x5A);
}

TEST_F(ByteEntryTest, CharacterSideTypesCodesOfTheActiveSet) {
  entry.Load(kAddress);
  EXPECT_EQ(Key(u'\u00E9', false, false), EntryAction::Typed);
  EXPECT_EQ(entry.Edit1Text(), QStringLiteral("82"));
  EXPECT_EQ(entry.Edit2Text(false), QString(QChar(0x00E9)));
  EXPECT_EQ(Key(u'\r', false, false), EntryAction::Stored);
  EXPECT_EQ(buffer[kAddress], 0x82);
  EXPECT_EQ(Key(u'\u00E9', false, true), EntryAction::Typed);
  EXPECT_EQ(Key(u'\r', false, true), EntryAction::Stored);
  EXPECT_EQ(buffer[kAddress], 0xE9);
  // Space is a character here; Space on the hexadecimal side validates instead.
  EXPECT_EQ(Key(u' ', false), EntryAction::Typed);
  EXPECT_EQ(Key(u'\r', false), EntryAction::Stored);
  EXPECT_EQ(buffer[kAddress], 0x20);
  EXPECT_EQ(Key(u'\t', false), EntryAction::Ignored);
  EXPECT_EQ(Key(u'\u20AC', false, false), EntryAction::Ignored);
}

TEST_F(ByteEntryTest, TheZeroByteShowsAnEmptyCharacterFieldAndStoresBackAsZero) {
  buffer[kAddress] = 0x00;
  entry.Load(kAddress);
  EXPECT_TRUE(entry.Edit2Text(true).isEmpty());
  EXPECT_EQ(entry.Edit1Text(), QStringLiteral("00"));
  buffer[kAddress] = 0x33;
  EXPECT_EQ(Key(u'\r', false), EntryAction::Stored);
  EXPECT_EQ(buffer[kAddress], 0x00);
}

TEST(GridKeysTest, EnterOpensSpaceTogglesCtrlChordsTypeNothing) {
  EXPECT_EQ(GridKeyPress(QChar(u'\r')), GridKeyAction::OpenEntry);
  EXPECT_EQ(GridKeyPress(QChar(u' ')), GridKeyAction::ToggleSide);
  EXPECT_EQ(GridKeyPress(QChar(u'a')), GridKeyAction::None);
  const QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(TypedCharacter(enter), QChar(u'\r'));
  const QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier, QStringLiteral("c"));
  EXPECT_TRUE(TypedCharacter(copy).isNull());
  const QKeyEvent altGr(QEvent::KeyPress, Qt::Key_At, Qt::ControlModifier | Qt::AltModifier,
                        QStringLiteral("@"));
  EXPECT_EQ(TypedCharacter(altGr), QChar(u'@'));
  const QKeyEvent remove(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(0x7F)));
  EXPECT_TRUE(TypedCharacter(remove).isNull());
  EXPECT_TRUE(IsGridNavigationKey(QKeyEvent(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier)));
  EXPECT_FALSE(IsGridNavigationKey(QKeyEvent(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier)));
}

TEST(HexGridModelTest, CellsHeadersAndCharsetComeFromTheBuffer) {
  Buffer buffer{};
  buffer.fill(0xFF);
  buffer[0x0123] = 0x41;
  buffer[0x0800] = 0x00;  // beyond a 24C16
  const CharacterSet charset;
  HexGridModel model(buffer, charset);
  model.Show(buffer, 2048);
  EXPECT_EQ(model.rowCount(), 128);
  EXPECT_EQ(model.columnCount(), 34);
  EXPECT_EQ(model.CellText(0, 0), QStringLiteral("Adr:"));
  EXPECT_EQ(model.CellText(2, 0), QStringLiteral("0"));
  EXPECT_EQ(model.CellText(17, 0), QStringLiteral("F"));
  EXPECT_EQ(model.CellText(34, 0), QStringLiteral("F"));
  EXPECT_TRUE(model.CellText(18, 0).isEmpty());
  EXPECT_EQ(model.CellText(0, 128), QStringLiteral("07F0"));
  EXPECT_EQ(model.CellText(5, 19), QStringLiteral("41"));
  EXPECT_EQ(model.CellText(22, 19), QStringLiteral("A"));
  EXPECT_TRUE(model.CellText(1, 19).isEmpty());
  EXPECT_TRUE(model.CellText(2, 129).isEmpty());
  EXPECT_EQ(model.headerData(G::ModelColumn(4), Qt::Horizontal, Qt::DisplayRole).toString(),
            QStringLiteral("2"));
  EXPECT_EQ(model.headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("0010"));
  EXPECT_EQ(model.data(model.index(18, G::ModelColumn(5)), Qt::DisplayRole).toString(),
            QStringLiteral("41"));

  buffer[0x0124] = 0x82;
  EXPECT_EQ(model.CellText(23, 19), QString(QChar(0x201A)));
  model.SetCharsetAnsi(false);
  EXPECT_EQ(model.CellText(23, 19), QString(QChar(0x00E9)));
  EXPECT_EQ(model.CellText(6, 19), QStringLiteral("82"));

  model.Show(buffer, 65536);
  EXPECT_EQ(model.rowCount(), 4096);
  EXPECT_EQ(model.CellText(2, 129), QStringLiteral("00"));
  EXPECT_EQ(model.CellText(0, 4096), QStringLiteral("FFF0"));
  model.Show(buffer, 262144);  // five digits from 64 KiB on, four below as ever
  EXPECT_EQ(model.CellText(0, 4096), QStringLiteral("FFF0"));
  EXPECT_EQ(model.CellText(0, 4097), QStringLiteral("10000"));
  EXPECT_EQ(model.CellText(0, 16384), QStringLiteral("3FFF0"));
}

}  // namespace
}  // namespace keldar::ui
