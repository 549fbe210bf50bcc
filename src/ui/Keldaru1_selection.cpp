// The memory type, writing mode and base address: menus and combo box kept in step with
// CurrentMemory.
#include <QAction>
#include <QComboBox>
#include <QMenu>

#include "messages/port_messages.h"
#include "messages/system_errors.h"
#include "ui/Keldaru1.h"
#include "ui/grid/hex_grid_view.h"

namespace keldar::ui {

void TForm1::ChoixMemoire(QObject* Sender) {
  SelectMemoryType(Sender);
}

void TForm1::SelectMemoryType(QObject* source) {
  for (size_t index = 0; index < memoryTypeItems.size(); ++index) {
    if (source == memoryTypeItems[index]) {
      // Set from the program, the index raises no change of its own.
      const QSignalBlocker blocker(ComboBox);
      ComboBox->setCurrentIndex(static_cast<int>(index));
    }
  }
  if (TypeRefusedByAdapter(ComboBox->currentIndex())) {
    ShowPageModeItems();  // the menu and the combo box back on the type kept
    return;
  }
  if (currentMemory.Select(ComboBox->currentIndex())) {
    memoryTypeItems[static_cast<size_t>(currentMemory.typeIndex)]->setChecked(true);
  }
  ShowPageModeItems();
  ShowBaseAddress();
  RefreshGrid(buffer, currentMemory.capacity);
  if (source != ComboBox) StringGrid1->setFocus();
}

bool TForm1::TypeRefusedByAdapter(int32_t typeIndex) {
  if (session_.i2cAdapter() == nullptr || !portHandle.checkUse || typeIndex < 0 ||
      static_cast<size_t>(typeIndex) >= kMemoryTypes.size())
    return false;
  // Only a type no I2C adapter can carry is refused here; an address a kernel driver holds may be
  // released before the next operation, which checks it again.
  const std::optional<PortRefusal> refusal = portHandle.checkUse(
      kMemoryTypes[static_cast<size_t>(typeIndex)], currentMemory.baseAddress, false);
  if (!refusal || refusal->reason != PortRefusalReason::PseudoI2cOnBus) return false;
  dialogs_->ShowMessage(
      QString::fromStdString(messages::Sentence(messages::PortRefusalText(*refusal))),
      QStringLiteral(" Attention, adaptateur I2C !"), kMbOk | kMbIconExclamation);
  return true;
}

void TForm1::ShowPageModeItems() {
  {
    const QSignalBlocker blocker(ComboBox);
    ComboBox->setCurrentIndex(currentMemory.typeIndex);
  }
  memoryTypeItems[static_cast<size_t>(currentMemory.typeIndex)]->setChecked(true);
  // Above 8 KiB there is no byte mode; pageMode keeps its value for the smaller types.
  const bool byteModeAllowed = currentMemory.type().byteModeAllowed;
  OptionModePageNon->setEnabled(byteModeAllowed);
  if (!byteModeAllowed || currentMemory.pageMode) {
    OptionModePageOui->setChecked(true);
  } else {
    OptionModePageNon->setChecked(true);
  }
}

void TForm1::OptionModePageClick(QObject* Sender) {
  currentMemory.pageMode = Sender == OptionModePageOui;
  if (auto* item = qobject_cast<QAction*>(Sender)) item->setChecked(true);
}

void TForm1::MenuAdrBaseClick(QObject* Sender) {
  for (size_t n = 0; n < MenuAdrBase.size(); ++n) {
    if (Sender == MenuAdrBase[n]) currentMemory.baseAddress = static_cast<int32_t>(n);
  }
  ShowBaseAddress();
}

void TForm1::ShowBaseAddress() {
  // The parts above 64 KiB are offered only the pins they keep, and show the base address they
  // use; baseAddress keeps its other pins for the types that have them.
  const MemoryType& type = currentMemory.type();
  const int32_t kept = type.capacity > 0x10000 ? type.baseMask : 7;
  for (size_t n = 0; n < MenuAdrBase.size(); ++n)
    MenuAdrBase[n]->setVisible((static_cast<int32_t>(n) & ~kept) == 0);
  const int32_t used = currentMemory.baseAddress & kept;
  MenuAdrBase[static_cast<size_t>(used)]->setChecked(true);
  MenuAdresseBase->setTitle(QStringLiteral("A&dresse $%1").arg(used));
}

void TForm1::WhatIsAdrBase(QObject*) {
  dialogs_->ShowMessage(
      QString::fromUtf8(
          "Pour une utilisation classique avec le programmateur standard,\nlaissez la valeur "
          "par défaut ($0).\n\nSi vous utilisez le programme pour une programmation 'in situ', "
          "ces bits vous permettent d'indiquer une autre adresse de base de la mémoire, définie "
          "physiquement par l'état des broches A0, A1 et A2, lorsque celles-ci sont présentes "
          "(voir pour cela la doc du composant considéré). Dans la rubrique [Type de lecteur] "
          "du menu [Port série], choisissez les paramètres pour une programmation 'In Situ'."
          "\n\nDans le menu [Informations], sélectionnez [Schéma programmation In Situ] et "
          "lisez attentivement les conseils et restrictions d'utilisation."),
      QString::fromUtf8(" Les bits A0/A1/A2 de l'EEPROM :"), kMbOk | kMbIconInformation);
}

}  // namespace keldar::ui
