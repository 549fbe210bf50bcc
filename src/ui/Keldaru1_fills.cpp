// The fill commands of the toolbar and the "Buffer" menu.
#include "ui/Keldaru1.h"

namespace keldar::ui {

void TForm1::ModifierBuffer(QObject* Sender) {
  emit commandStarted(QStringLiteral("ModifierBuffer"), Sender);
}

}  // namespace keldar::ui
