// Qt's own French texts. Qt 6 moved the file dialog's type names ("Folder", "File", "%1 File",
// "Drive") from QFileDialog to QAbstractFileIconProvider, and Qt's French translation (6.4, as
// Debian 12 ships it) still has them under QFileDialog only: the type column said "Folder".
#pragma once

#include <QTranslator>

namespace keldar::ui {

class QtFrench final : public QTranslator {
 public:
  QString translate(const char* context, const char* sourceText, const char* disambiguation,
                    int n) const override;
};

}  // namespace keldar::ui
