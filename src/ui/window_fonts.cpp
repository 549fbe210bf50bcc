#include "ui/window_fonts.h"

#include <QLineEdit>
#include <QStringList>
#include <QWidget>

namespace keldar::ui {

namespace {

// A frameless line edit's text margins, both sides together.
constexpr int kLineEditMargins = 6;

QFont FontOf(const QStringList& families, QFont::StyleHint hint, int pixels, bool bold) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(hint);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace

QFont InterfaceFont(int pixels, bool bold) {
  return FontOf({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                 QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                 QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")},
                QFont::SansSerif, pixels, bold);
}

QFont ArialFont(int pixels, bool bold) {
  return FontOf({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                 QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")},
                QFont::SansSerif, pixels, bold);
}

QFont CourierFont(int pixels, bool bold) {
  QFont font = FontOf({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                       QStringLiteral("Nimbus Mono PS"), QStringLiteral("Courier")},
                      QFont::TypeWriter, pixels, bold);
  font.setFixedPitch(true);
  return font;
}

namespace {

// A line edit's size hint ignores its text: what must fit there is the text itself.
int NeededWidth(const QWidget& widget) {
  if (const auto* line = qobject_cast<const QLineEdit*>(&widget)) {
    return line->fontMetrics().horizontalAdvance(line->text()) + kLineEditMargins;
  }
  return widget.sizeHint().width();
}

}  // namespace

void FitFontToWidth(QWidget& widget, int width, int minimumPixels) {
  QFont font = widget.font();
  while (NeededWidth(widget) > width && font.pixelSize() > minimumPixels) {
    font.setPixelSize(font.pixelSize() - 1);
    widget.setFont(font);
  }
}

}  // namespace keldar::ui
