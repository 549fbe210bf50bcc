#include "ui/window_fonts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>
#include <QWidget>

namespace keldar::ui {

namespace {

// A line edit keeps its text this far inside its contents, on each side.
constexpr int kLineEditInnerMargin = 2;
// Between a push button's picture and its caption.
constexpr int kIconSpacing = 4;

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
  return FontOf(
      {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
       QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
       QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")},
      QFont::SansSerif, pixels, bold);
}

QFont ArialFont(int pixels, bool bold) {
  return FontOf(
      {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
       QStringLiteral("Nimbus Sans"), QStringLiteral("Helvetica")},
      QFont::SansSerif, pixels, bold);
}

QFont CourierFont(int pixels, bool bold) {
  QFont font = FontOf(
      {QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"), QStringLiteral("Cousine"),
       QStringLiteral("Nimbus Mono PS"), QStringLiteral("Courier")},
      QFont::TypeWriter, pixels, bold);
  font.setFixedPitch(true);
  return font;
}

namespace {

// A line edit's size hint ignores its text: what must fit there is the text itself, inside the
// frame and margins the style and the field keep.
int NeededWidth(const QWidget& widget) {
  if (const auto* line = qobject_cast<const QLineEdit*>(&widget)) {
    QStyleOptionFrame option;
    option.initFrom(line);
    option.lineWidth = line->hasFrame()
                           ? line->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, line)
                           : 0;
    const int contents =
        line->style()->subElementRect(QStyle::SE_LineEditContents, &option, line).width();
    const QMargins margins = line->textMargins();
    return line->fontMetrics().horizontalAdvance(line->text()) + line->width() - contents +
           margins.left() + margins.right() + 2 * kLineEditInnerMargin;
  }
  // A button's size hint leaves room for a focus frame around its caption; what must fit is
  // the caption and its picture in the room the style draws them in.
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button)) contents = QStyle::SE_CheckBoxContents;
    if (qobject_cast<const QRadioButton*>(button)) contents = QStyle::SE_RadioButtonContents;
    if (const auto* push = qobject_cast<const QPushButton*>(button); push && push->autoDefault())
      option.features |= QStyleOptionButton::AutoDefaultButton;
    int needed = button->fontMetrics().size(Qt::TextShowMnemonic, button->text()).width();
    if (!button->icon().isNull()) needed += button->iconSize().width() + kIconSpacing;
    return needed + button->width() -
           button->style()->subElementRect(contents, &option, button).width();
  }
  // A group box without a layout has no size hint; its smallest size holds its title.
  if (qobject_cast<const QGroupBox*>(&widget)) return widget.minimumSizeHint().width();
  return widget.sizeHint().width();
}

template <typename Field>
void FitFontToAll(Field& field, const QStringList& texts) {
  const QString shown = field.text();
  for (const QString& text : texts) {
    field.setText(text);
    FitFontToWidth(field, field.width());
  }
  field.setText(shown);
}

bool HasFittableText(const QWidget& widget) {
  if (const auto* label = qobject_cast<const QLabel*>(&widget))
    return !label->text().isEmpty() && !label->wordWrap();
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
    return !qobject_cast<const QToolButton*>(button) && !button->text().isEmpty();
  return qobject_cast<const QGroupBox*>(&widget) || qobject_cast<const QComboBox*>(&widget) ||
         qobject_cast<const QLineEdit*>(&widget);
}

}  // namespace

void FitFontToWidth(QWidget& widget, int width, int minimumPixels) {
  QFont font = widget.font();
  while (NeededWidth(widget) > width && font.pixelSize() > minimumPixels) {
    font.setPixelSize(font.pixelSize() - 1);
    widget.setFont(font);
  }
}

void FitTextsToControls(QWidget& window) {
  for (QWidget* control : window.findChildren<QWidget*>()) {
    if (HasFittableText(*control)) FitFontToWidth(*control, control->width());
  }
}

void FitFontToTexts(QLabel& field, const QStringList& texts) {
  FitFontToAll(field, texts);
}

void FitFontToTexts(QLineEdit& field, const QStringList& texts) {
  FitFontToAll(field, texts);
}

void FitFontToTexts(QAbstractButton& field, const QStringList& texts) {
  FitFontToAll(field, texts);
}

}  // namespace keldar::ui
