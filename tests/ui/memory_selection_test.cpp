// Choosing the memory type, the writing mode and the base address: menus, combo box and
// CurrentMemory kept in step, the focus rules, and the explanation box.
#include <QMenu>

#include "sim_window_fixture.h"

namespace keldar::ui::testing {
namespace {

class MemorySelectionTest : public SimWindowTest {
 protected:
  void ExpectType(int32_t typeIndex) {
    const MemoryType& type = kMemoryTypes[static_cast<size_t>(typeIndex)];
    EXPECT_EQ(form->currentMemory.typeIndex, typeIndex);
    EXPECT_EQ(form->currentMemory.capacity, type.capacity);
    EXPECT_EQ(form->ComboBox->currentIndex(), typeIndex);
    for (size_t i = 0; i < form->memoryTypeItems.size(); ++i) {
      EXPECT_EQ(form->memoryTypeItems[i]->isChecked(), static_cast<int32_t>(i) == typeIndex)
          << kMemoryTypes[i].menuItem;
    }
    EXPECT_EQ(form->StringGrid1->model()->rowCount(), static_cast<int>(type.capacity / 16));
  }
  void ExpectWritingMode(bool byteModeOffered, bool pageChecked) {
    EXPECT_EQ(Action("OptionModePageNon")->isEnabled(), byteModeOffered);
    EXPECT_TRUE(Action("OptionModePageOui")->isEnabled());
    EXPECT_EQ(Action("OptionModePageOui")->isChecked(), pageChecked);
    EXPECT_EQ(Action("OptionModePageNon")->isChecked(), !pageChecked);
  }
};

TEST_F(MemorySelectionTest, TheLargestTypesGreyByteModeWhilePageModeKeepsItsValue) {
  Choose(2);
  Trigger("OptionModePageNon");
  EXPECT_FALSE(form->currentMemory.pageMode);
  ExpectWritingMode(true, false);
  for (int32_t large : {8, 9, 10, 12, 13, 14}) {
    Choose(large);
    ExpectWritingMode(false, true);
    EXPECT_FALSE(form->currentMemory.pageMode) << large;
  }
  Choose(7);
  ExpectWritingMode(true, false);

  Trigger("OptionModePageOui");
  EXPECT_TRUE(form->currentMemory.pageMode);
  Choose(10);
  ExpectWritingMode(false, true);
  Choose(11);
  ExpectWritingMode(true, true);
  EXPECT_TRUE(form->currentMemory.pageMode);
}

TEST_F(MemorySelectionTest, TheMenuMovesTheComboBoxAndFocusesTheGrid) {
  form->Edit1->setFocus();
  for (int32_t typeIndex = 14; typeIndex >= 0; --typeIndex) {
    Choose(typeIndex);
    ExpectType(typeIndex);
    EXPECT_EQ(QApplication::focusWidget(), form->StringGrid1);
  }
}

TEST_F(MemorySelectionTest, TheComboBoxChecksTheMenuAndKeepsTheFocus) {
  form->ComboBox->setFocus();
  int changes = 0;
  QObject::connect(form->ComboBox, &QComboBox::currentIndexChanged, [&changes] { ++changes; });
  // 24C16, then down to the 24C32 and, below it, the 24C64.
  QTest::keyClick(form->ComboBox, Qt::Key_Down);
  ExpectType(6);
  QTest::keyClick(form->ComboBox, Qt::Key_Down);
  ExpectType(7);
  EXPECT_EQ(changes, 2);  // the handler does not move the combo box again
  EXPECT_EQ(QApplication::focusWidget(), form->ComboBox);

  // Down to the 24C128: byte mode goes grey there too.
  Trigger("OptionModePageNon");
  form->ComboBox->setFocus();
  QTest::keyClick(form->ComboBox, Qt::Key_Down);
  ExpectType(8);
  ExpectWritingMode(false, true);
  EXPECT_EQ(QApplication::focusWidget(), form->ComboBox);
}

TEST_F(MemorySelectionTest, ChangingTypeKeepsEveryByteOfTheBuffer) {
  FillBuffer(262144, 21);
  const Buffer before = form->buffer;
  Choose(0);
  Choose(14);
  Choose(4);
  EXPECT_EQ(form->buffer, before);
}

TEST_F(MemorySelectionTest, TheBaseAddressItemsSetTheCaptionAndTheDeviceByte) {
  const auto* menu = Find<QMenu>("MenuAdresseBase");
  EXPECT_EQ(menu->title(), QStringLiteral("A&dresse $0"));
  for (int n : {6, 1, 7, 0, 3}) {
    Trigger(("MenuAdrBase" + std::to_string(n)).c_str());
    EXPECT_EQ(form->currentMemory.baseAddress, n);
    EXPECT_EQ(menu->title(), QStringLiteral("A&dresse $%1").arg(n));
    for (int other = 0; other < 8; ++other) {
      EXPECT_EQ(form->MenuAdrBase[static_cast<size_t>(other)]->isChecked(), other == n);
    }
  }

  // A memory whose pins read 6 answers only at that base address.
  Fit("sim:24C02,pins=6");
  Choose(2);
  dialogs->AnswerNextMessage(kIdOk);
  Trigger("OptionLire");
  ASSERT_EQ(dialogs->prompts().size(), 1u);
  EXPECT_EQ(dialogs->prompts()[0].caption, QString::fromUtf8("Attention, erreur de lecture !"));
  Trigger("MenuAdrBase6");
  std::fill(reader->memory().begin(), reader->memory().end(), uint8_t{0x3C});
  ReadWithoutMessage();
  EXPECT_EQ(BufferStart(256), Memory());
}

// M24M01/AT24CM01 keep A2 A1, the 24LC1025 A1 A0, M24M02/AT24CM02 A2: the menu offers those.
TEST_F(MemorySelectionTest, PartsAbove64KiBOfferOnlyThePinsTheyKeep) {
  Trigger("MenuAdrBase6");
  for (const auto& [type, offered, shown] :
       {std::tuple{12, 0x55, 6}, {13, 0x0F, 2}, {14, 0x11, 4}, {2, 0xFF, 6}}) {
    Choose(type);
    for (size_t n = 0; n < 8; ++n)
      EXPECT_EQ(form->MenuAdrBase[n]->isVisible(), ((offered >> n) & 1) != 0) << type << n;
    EXPECT_EQ(Find<QMenu>("MenuAdresseBase")->title(), QStringLiteral("A&dresse $%1").arg(shown));
  }
}

TEST_F(MemorySelectionTest, WhatIsAdrBaseExplainsThePinsInAnInformationBox) {
  dialogs->AnswerNextMessage(kIdOk);
  Trigger("Questcequecest");
  ASSERT_EQ(dialogs->prompts().size(), 1u);
  const Prompt& box = dialogs->prompts()[0];
  EXPECT_EQ(box.kind, Prompt::Kind::Message);
  EXPECT_EQ(box.caption, QString::fromUtf8(" Les bits A0/A1/A2 de l'EEPROM :"));
  EXPECT_EQ(box.flags, kMbOk | kMbIconInformation);
  EXPECT_EQ(box.text,
            QString::fromUtf8(
                "Pour une utilisation classique avec le programmateur standard,\nlaissez la "
                "valeur par défaut ($0).\n\nSi vous utilisez le programme pour une programmation "
                "'in situ', ces bits vous permettent d'indiquer une autre adresse de base de la "
                "mémoire, définie physiquement par l'état des broches A0, A1 et A2, lorsque "
                "celles-ci sont présentes (voir pour cela la doc du composant considéré). Dans la "
                "rubrique [Type de lecteur] du menu [Port série], choisissez les paramètres pour "
                "une programmation 'In Situ'.\n\nDans le menu [Informations], sélectionnez "
                "[Schéma programmation In Situ] et lisez attentivement les conseils et "
                "restrictions d'utilisation."));
  EXPECT_EQ(form->currentMemory.baseAddress, 0);
}

}  // namespace
}  // namespace keldar::ui::testing
