// Every text of the six windows, and every text the status line, the port message field and the
// value field can show, fits its control in the font the program resolved: as wide as the room
// the style gives it, inside every frame that holds it, and under no control stacked above it.
#include <iostream>
#include <vector>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include "program_fixture.h"
#include "ui/Keldaru2.h"
#include "ui/Keldaru3.h"
#include "ui/Keldaru4.h"
#include "ui/Keldaru5.h"
#include "ui/Keldaru6.h"
#include "ui/grid/entry_field.h"
#include "ui/status_texts.h"

namespace keldar::ui::testing {
namespace {

// A text as its control draws it: the room the style gives it and the size it needs there.
struct Text {
  QString text;
  QRect room;
  QSize needed;  // height 0: one line, only the width counts
  Qt::Alignment alignment = Qt::AlignLeft;
};

int Advance(const QWidget& control, const QString& text) {
  return control.fontMetrics().size(Qt::TextShowMnemonic, text).width();
}

Text LabelText(const QLabel& label) {
  const int margin = label.margin();
  const QRect room = label.contentsRect().adjusted(margin, margin, -margin, -margin);
  QSize needed(Advance(label, label.text()), 0);
  if (label.wordWrap()) {
    needed = QSize(room.width(),
                   label.fontMetrics().boundingRect(room, Qt::TextWordWrap, label.text()).height());
  }
  return {label.text(), room, needed, label.alignment()};
}

Text ButtonText(const QAbstractButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  QStyle::SubElement contents = QStyle::SE_PushButtonContents;
  if (qobject_cast<const QCheckBox*>(&button)) contents = QStyle::SE_CheckBoxContents;
  if (qobject_cast<const QRadioButton*>(&button)) contents = QStyle::SE_RadioButtonContents;
  if (const auto* push = qobject_cast<const QPushButton*>(&button); push && push->autoDefault())
    option.features |= QStyleOptionButton::AutoDefaultButton;
  int width = Advance(button, button.text());
  // A push button's picture stands beside its caption, four pixels apart.
  if (!button.icon().isNull()) width += button.iconSize().width() + 4;
  const QRect room = button.style()->subElementRect(contents, &option, &button);
  return {button.text(),
          room,
          {width, 0},
          contents == QStyle::SE_PushButtonContents ? Qt::AlignHCenter : Qt::AlignLeft};
}

Text GroupTitle(const QGroupBox& box) {
  QStyleOptionGroupBox option;
  option.initFrom(&box);
  option.text = box.title();
  option.lineWidth = 1;
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  option.textAlignment = box.alignment();
  // The style sizes the title's room to the title in the font it draws it with (bold in some).
  const QRect room =
      box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
  return {box.title(), room, {room.width(), 0}};
}

QRect LineEditRoom(const QLineEdit& line) {
  QStyleOptionFrame option;
  option.initFrom(&line);
  option.lineWidth =
      line.hasFrame() ? line.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &line) : 0;
  // The line edit keeps its text two pixels inside its contents.
  return line.style()
      ->subElementRect(QStyle::SE_LineEditContents, &option, &line)
      .marginsRemoved(line.textMargins())
      .adjusted(2, 0, -2, 0);
}

std::vector<Text> TextsOf(QWidget& control) {
  std::vector<Text> texts;
  if (auto* label = qobject_cast<QLabel*>(&control); label && !label->text().isEmpty()) {
    texts.push_back(LabelText(*label));
  } else if (auto* button = qobject_cast<QAbstractButton*>(&control);
             button && !qobject_cast<QToolButton*>(button) && !button->text().isEmpty()) {
    texts.push_back(ButtonText(*button));
  } else if (auto* box = qobject_cast<QGroupBox*>(&control); box && !box->title().isEmpty()) {
    texts.push_back(GroupTitle(*box));
  } else if (auto* line = qobject_cast<QLineEdit*>(&control)) {
    texts.push_back({line->text(),
                     LineEditRoom(*line),
                     {line->fontMetrics().horizontalAdvance(line->text()), 0},
                     line->alignment()});
  } else if (auto* combo = qobject_cast<QComboBox*>(&control)) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    const QRect room =
        combo->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
            .adjusted(1, 0, -1, 0);
    for (int i = 0; i < combo->count(); ++i)
      texts.push_back({combo->itemText(i), room, {Advance(*combo, combo->itemText(i)), 0}});
  } else if (auto* bar = qobject_cast<QTabBar*>(&control)) {
    const int padding = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar) / 2;
    for (int i = 0; i < bar->count(); ++i) {
      texts.push_back({bar->tabText(i),
                       bar->tabRect(i).adjusted(padding, 0, -padding, 0),
                       {Advance(*bar, bar->tabText(i)), 0},
                       Qt::AlignHCenter});
    }
  }
  return texts;
}

QRect InWindow(const QWidget& widget, const QRect& rect) {
  return rect.translated(widget.mapTo(widget.window(), QPoint(0, 0)));
}

void ExpectFits(QWidget& control, const Text& text) {
  const QString where = control.window()->objectName() + QLatin1Char('/') + control.objectName() +
                        QStringLiteral(" \"") + text.text + QStringLiteral("\" in ") +
                        QFontInfo(control.font()).family();
  SCOPED_TRACE(where.toStdString());
  EXPECT_LE(text.needed.width(), text.room.width());
  EXPECT_LE(text.needed.height(), text.room.height());
  // Where the text is drawn, by its alignment, on the window.
  const QRect drawn = InWindow(
      control, QStyle::alignedRect(Qt::LeftToRight, text.alignment & Qt::AlignHorizontal_Mask,
                                   QSize(text.needed.width(), text.room.height()), text.room));
  for (QWidget* widget = &control; widget != nullptr && !widget->isWindow();
       widget = widget->parentWidget()) {
    const QRect frame = InWindow(*widget, widget->rect());
    EXPECT_TRUE(frame.left() <= drawn.left() && drawn.right() <= frame.right())
        << "cut by " << widget->objectName().toStdString();
    // Siblings created later are drawn over it.
    const QObjectList& siblings = widget->parentWidget()->children();
    for (qsizetype i = siblings.indexOf(widget) + 1; i < siblings.size(); ++i) {
      const auto* above = qobject_cast<const QWidget*>(siblings[i]);
      if (above == nullptr || above->isHidden() || above->isWindow()) continue;
      EXPECT_FALSE(InWindow(*above, above->rect()).intersects(drawn))
          << "under " << above->objectName().toStdString();
    }
  }
}

// What the shown window shows, on each page of each of its tab widgets in turn.
void ExpectAllFit(QWidget& window) {
  const auto walk = [&window] {
    for (QWidget* control : window.findChildren<QWidget*>()) {
      if (!control->isVisible()) continue;
      for (const Text& text : TextsOf(*control))
        ExpectFits(*control, text);
    }
  };
  walk();
  for (QTabWidget* tabs : window.findChildren<QTabWidget*>()) {
    for (int page = 0; page < tabs->count(); ++page) {
      tabs->setCurrentIndex(page);
      walk();
    }
  }
}

template <typename Field>
void ExpectEachFits(Field& field, const QStringList& texts) {
  const QString shown = field.text();
  for (const QString& text : texts) {
    field.setText(text);
    for (const Text& placed : TextsOf(field))
      ExpectFits(field, placed);
  }
  field.setText(shown);
}

class TextsFitTest : public ProgramTest {};

TEST_F(TextsFitTest, EveryTextFitsItsControl) {
  Start();
  std::cout << "Polices : " << QFontInfo(form->font()).family().toStdString() << ", "
            << QFontInfo(form->StaticText1->font()).family().toStdString() << ", "
            << QFontInfo(form->Edit1->font()).family().toStdString() << ", "
            << QFontInfo(program->form2().MemoInSitu->font()).family().toStdString() << '\n';
  QWidget* const windows[] = {form,
                              &program->form2(),
                              &program->form3(),
                              &program->form4(),
                              &program->form5(),
                              &program->form6()};
  for (QWidget* window : windows) {
    window->show();
    ExpectAllFit(*window);
  }
  ExpectEachFits(*form->StaticTextInfo, StatusLineTexts());
  ExpectEachFits(*form->EditMessPort, PortMessageTexts());
  ExpectEachFits(*form->StaticText1, ValueTexts());
  for (QWidget* window : windows)
    window->hide();
}

}  // namespace
}  // namespace keldar::ui::testing
