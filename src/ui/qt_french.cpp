#include "ui/qt_french.h"

#include <QByteArrayView>

namespace keldar::ui {

QString QtFrench::translate(const char* context, const char* sourceText, const char* disambiguation,
                            int n) const {
  QString text = QTranslator::translate(context, sourceText, disambiguation, n);
  if (text.isEmpty() && QByteArrayView(context) == "QAbstractFileIconProvider") {
    text = QTranslator::translate("QFileDialog", sourceText, disambiguation, n);
  }
  return text;
}

}  // namespace keldar::ui
