// The fill commands from the toolbar, the "Buffer" menu and its shortcuts: which pattern each of
// the seventeen sources runs, the active window only, the grid redrawn and focused.
#include <set>

#include <QRegularExpression>
#include <QToolButton>

#include "main_window_fixture.h"
#include "ui/grid/byte_texts.h"
#include "ui/grid/grid_geometry.h"
#include "ui/grid/hex_grid_view.h"

namespace keldar::ui::testing {
namespace {

using G = GridGeometry;

// A recognisable content for the whole 64 KiB: no run of equal bytes, and the byte at the
// cursor (address 0x21) is 0x41.
uint8_t Seeded(uint32_t address) {
  return static_cast<uint8_t>(address * 7 + 0x5A + (address >> 8));
}
constexpr uint32_t kCursorAddress = 0x21;

uint8_t Mirror(uint8_t value) {
  uint8_t mirrored = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if ((value >> bit) & 1) mirrored = static_cast<uint8_t>(mirrored | (0x80 >> bit));
  }
  return mirrored;
}

// The first address from `from` on where the buffer differs from want(i), or kBufferBytes. A
// plain loop: a gtest assertion per byte costs seconds under the sanitizers.
template <typename Want>
uint32_t FirstDifference(const Buffer& buffer, Want want, uint32_t from = 0,
                         uint32_t to = kBufferBytes) {
  uint32_t i = from;
  while (i < to && buffer[i] == want(i))
    ++i;
  return i == to ? kBufferBytes : i;
}

// What a fill leaves at address i of the active window, from the byte that was there.
using Expected = uint8_t (*)(uint32_t address, uint8_t before);

struct SourceCase {
  const char* button;  // nullptr: the menu is the only way
  const char* item;
  Expected expected;
};

const SourceCase kDeterministicFills[] = {
    {"BoutonBuffer2", "OptionBuffer00", [](uint32_t, uint8_t) -> uint8_t { return 0x00; }},
    {"BoutonBuffer1", "OptionBufferFF", [](uint32_t, uint8_t) -> uint8_t { return 0xFF; }},
    {"BoutonBuffer3", "OptionBufferEspaces", [](uint32_t, uint8_t) -> uint8_t { return 0x20; }},
    {"BoutonBuffer5", "OptionBufferIncremente",
     [](uint32_t i, uint8_t) { return static_cast<uint8_t>(i % 256); }},
    {"BoutonBuffer6", "OptionBufferDecremente",
     [](uint32_t i, uint8_t) { return static_cast<uint8_t>(255 - i % 256); }},
    {"BoutonBuffer7", "OptionBufferOctet",
     [](uint32_t, uint8_t) { return Seeded(kCursorAddress); }},
    {"BoutonBuffer8", "OptionBufferComplemente",
     [](uint32_t, uint8_t before) { return static_cast<uint8_t>(~before); }},
    {nullptr, "OptionBufferInvBits", [](uint32_t, uint8_t before) { return Mirror(before); }},
};

class FillsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_EQ(Seeded(kCursorAddress), 0x41);
  }

  // The buffer gets the seeded content and the cursor goes to kCursorAddress on the hexadecimal
  // side, which loads the entry fields with its byte.
  void Prepare() {
    for (uint32_t i = 0; i < kBufferBytes; ++i)
      form->buffer[i] = Seeded(i);
    ASSERT_TRUE(form->StringGrid1->SetCurrentCell(G::kFirstHexColumn + 1, G::kFirstDataRow + 2));
    ASSERT_EQ(form->currentMemory.cursorAddress, kCursorAddress);
    form->Edit1->setFocus();  // the fill must give the focus back to the grid
  }

  // The hexadecimal cell of an address as the grid shows it.
  QString Cell(uint32_t address) {
    return form->StringGrid1->model()
        ->index(static_cast<int>(address / 16), 1 + static_cast<int>(address % 16))
        .data()
        .toString();
  }

  void ExpectFilled(Expected expected, const char* source) {
    const uint32_t capacity = form->currentMemory.capacity;
    EXPECT_EQ(FirstDifference(
                  form->buffer,
                  [&](uint32_t i) { return i < capacity ? expected(i, Seeded(i)) : Seeded(i); }),
              kBufferBytes)
        << source;
    for (uint32_t address : {0u, kCursorAddress, capacity - 1}) {
      EXPECT_EQ(Cell(address), HexText(form->buffer[address])) << source << " at " << address;
    }
    // Only the refresh reloads the entry fields from the buffer.
    EXPECT_EQ(form->Edit1->text(), HexText(form->buffer[form->currentMemory.cursorAddress]))
        << source;
    EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1) << source;
    EXPECT_TRUE(form->StaticTextInfo->text().isEmpty()) << source;
  }
};

TEST_F(FillsTest, EveryFillRunsFromItsButtonAndItsMenuItemOverTheActiveWindowOnly) {
  for (const SourceCase& fill : kDeterministicFills) {
    if (fill.button != nullptr) {
      Prepare();
      Find<QToolButton>(fill.button)->click();
      ExpectFilled(fill.expected, fill.button);
    }
    Prepare();
    Trigger(fill.item);
    ExpectFilled(fill.expected, fill.item);
  }
  EXPECT_TRUE(dialogs->prompts().empty());
}

TEST_F(FillsTest, TheFirstTwoButtonsAreFFThen00AndTheFirstTwoItems00ThenFF) {
  Prepare();
  Find<QToolButton>("BoutonBuffer1")->click();
  EXPECT_EQ(form->buffer[0], 0xFF);
  Find<QToolButton>("BoutonBuffer2")->click();
  EXPECT_EQ(form->buffer[0], 0x00);
  Press(Qt::Key_F2, Qt::ControlModifier);
  EXPECT_EQ(form->buffer[0], 0xFF);
  Press(Qt::Key_F1, Qt::ControlModifier);
  EXPECT_EQ(form->buffer[0], 0x00);
}

TEST_F(FillsTest, BitReversalRunsFromCtrlF9AndHasNoButton) {
  Prepare();
  Press(Qt::Key_F9, Qt::ControlModifier);
  ExpectFilled([](uint32_t, uint8_t before) { return Mirror(before); }, "Ctrl+F9");
  for (QToolButton* button : form->findChildren<QToolButton*>()) {
    EXPECT_NE(button->toolTip(), QStringLiteral("[B7..B0]<->[B0..B7]"));
  }
  EXPECT_EQ(
      form->findChildren<QToolButton*>(QRegularExpression(QStringLiteral("^BoutonBuffer"))).size(),
      8);
}

TEST_F(FillsTest, ASmallerTypeKeepsTheBytesAboveItForALargerOne) {
  Prepare();
  Trigger("Option24C01");
  Trigger("OptionBufferFF");
  EXPECT_EQ(
      FirstDifference(form->buffer, [](uint32_t i) { return i < 128 ? uint8_t{0xFF} : Seeded(i); }),
      kBufferBytes);
  Trigger("Option24C02");
  EXPECT_EQ(form->StringGrid1->model()->rowCount(), 16);
  EXPECT_EQ(Cell(127), QStringLiteral("FF"));
  for (uint32_t i = 128; i < 256; ++i)
    ASSERT_EQ(Cell(i), HexText(Seeded(i))) << i;
}

TEST_F(FillsTest, ComplementAndBitReversalTwiceRestoreTheBuffer) {
  Prepare();
  Trigger("OptionBufferComplemente");
  Trigger("OptionBufferComplemente");
  Trigger("OptionBufferInvBits");
  Trigger("OptionBufferInvBits");
  EXPECT_EQ(FirstDifference(form->buffer, Seeded), kBufferBytes);
}

TEST_F(FillsTest, TheSelectedByteComesFromEitherSideOfTheCursorAndNotFromTheEntryField) {
  Prepare();
  const uint32_t address = 0x0123;
  form->buffer[address] = 0x41;
  form->RefreshGrid(form->buffer, form->currentMemory.capacity);
  ASSERT_TRUE(form->StringGrid1->SetCurrentCell(G::kFirstCharColumn + 3, G::kFirstDataRow + 0x12));
  ASSERT_EQ(form->currentMemory.cursorAddress, address);
  // Typed but not validated: the fill takes the buffer's byte.
  form->Edit1->setText(QStringLiteral("7E"));
  Trigger("OptionBufferOctet");
  EXPECT_EQ(
      FirstDifference(
          form->buffer, [](uint32_t) { return uint8_t{0x41}; }, 0, form->currentMemory.capacity),
      kBufferBytes);
  EXPECT_EQ(form->buffer[2048], Seeded(2048));
  EXPECT_EQ(form->Edit1->text(), QStringLiteral("41"));
}

TEST_F(FillsTest, EachRandomFillDrawsNewBytesInTheActiveWindowOnly) {
  Prepare();
  Trigger("Option24C512");
  const uint32_t capacity = form->currentMemory.capacity;
  Find<QToolButton>("BoutonBuffer4")->click();
  const Buffer first = form->buffer;
  Trigger("OptionBufferRandom");
  const Buffer second = form->buffer;

  uint32_t same = 0;
  std::set<uint8_t> values;
  for (uint32_t i = 0; i < capacity; ++i) {
    same += first[i] == second[i] ? 1 : 0;
    values.insert(second[i]);
  }
  // Two unrelated fills agree on about one byte in 256.
  EXPECT_LT(same, capacity / 64);
  EXPECT_EQ(values.size(), 256u);
  EXPECT_EQ(Cell(capacity - 1), HexText(second[capacity - 1]));

  Trigger("Option24C00");
  Trigger("OptionBufferRandom");
  EXPECT_EQ(FirstDifference(
                form->buffer, [&](uint32_t i) { return second[i]; }, 16),
            kBufferBytes);
}

}  // namespace
}  // namespace keldar::ui::testing
