// The fill commands of the toolbar and the "Buffer" menu.
#include "ui/Keldaru1.h"

#include <QAction>
#include <QToolButton>

#include "data/fills.h"
#include "ui/grid/hex_grid_view.h"

namespace keldar::ui {
namespace {

// One fill with the toolbar button and the menu item that run it. The toolbar starts with $FF
// then $00 while the menu starts with $00 then $FF, so the pairs are spelled out one by one.
struct FillSource {
  QToolButton* TForm1::*button;  // nullptr: menu only
  QAction* TForm1::*item;
  FillPattern pattern;
};

constexpr FillSource kFillSources[] = {
    {&TForm1::BoutonBuffer2, &TForm1::OptionBuffer00, FillPattern::All00},
    {&TForm1::BoutonBuffer1, &TForm1::OptionBufferFF, FillPattern::AllFF},
    {&TForm1::BoutonBuffer3, &TForm1::OptionBufferEspaces, FillPattern::Spaces},
    {&TForm1::BoutonBuffer4, &TForm1::OptionBufferRandom, FillPattern::Random},
    {&TForm1::BoutonBuffer5, &TForm1::OptionBufferIncremente, FillPattern::Incrementing},
    {&TForm1::BoutonBuffer6, &TForm1::OptionBufferDecremente, FillPattern::Decrementing},
    {&TForm1::BoutonBuffer7, &TForm1::OptionBufferOctet, FillPattern::SelectedByte},
    {&TForm1::BoutonBuffer8, &TForm1::OptionBufferComplemente, FillPattern::Complement},
    {nullptr, &TForm1::OptionBufferInvBits, FillPattern::ReverseBits},
};

}  // namespace

void TForm1::ModifierBuffer(QObject* Sender) {
  emit commandStarted(QStringLiteral("ModifierBuffer"), Sender);
  for (const FillSource& source : kFillSources) {
    const bool fromButton = source.button != nullptr && Sender == this->*source.button;
    if (!fromButton && Sender != this->*source.item) continue;
    ApplyFill(source.pattern, buffer, currentMemory.capacity, currentMemory.cursorAddress,
              randomGenerator);
    break;
  }
  RefreshGrid(buffer, currentMemory.capacity);
  StringGrid1->setFocus();
}

}  // namespace keldar::ui
