// Every text of the six windows and the port chooser, and every text the status line, the port
// message field and the value field can show, fits its control in the font the program resolved: no
// wider than the room the style draws it in, inside every frame that holds it, under no control
// stacked above.
#include <iostream>

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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
#include "ui/grid/hex_grid_view.h"
#include "ui/port_chooser.h"
#include "ui/status_texts.h"

namespace keldar::ui::testing {
namespace {

struct Text {
  QString text;
  QRect room;  // in the control, where the style draws it
  int width;
  Qt::Alignment alignment = Qt::AlignLeft;
};

int Width(const QWidget& control, const QString& text) {
  return control.fontMetrics().size(Qt::TextShowMnemonic, text).width();
}

std::vector<Text> TextsOf(QWidget& control) {
  const QStyle& style = *control.style();
  if (auto* label = qobject_cast<QLabel*>(&control); label && !label->wordWrap()) {
    const int m = label->margin();
    return {{label->text(), label->contentsRect().adjusted(m, m, -m, -m),
             Width(*label, label->text()), label->alignment()}};
  }
  if (auto* button = qobject_cast<QAbstractButton*>(&control);
      button && !qobject_cast<QToolButton*>(button)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    auto contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<QCheckBox*>(button)) contents = QStyle::SE_CheckBoxContents;
    if (qobject_cast<QRadioButton*>(button)) contents = QStyle::SE_RadioButtonContents;
    if (auto* push = qobject_cast<QPushButton*>(button); push && push->autoDefault())
      option.features |= QStyleOptionButton::AutoDefaultButton;
    // A push button's picture stands four pixels from its caption.
    const int picture = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    return {{button->text(), style.subElementRect(contents, &option, button),
             Width(*button, button->text()) + picture,
             contents == QStyle::SE_PushButtonContents ? Qt::AlignHCenter : Qt::AlignLeft}};
  }
  if (auto* box = qobject_cast<QGroupBox*>(&control)) {
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    // The style sizes the title's room in the font it draws it with (bold in some styles).
    const QRect title =
        style.subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    return {{box->title(), title, title.width()}};
  }
  if (auto* line = qobject_cast<QLineEdit*>(&control)) {
    QStyleOptionFrame option;
    option.initFrom(line);
    option.lineWidth = line->hasFrame() ? style.pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
    // The field keeps its text two pixels inside its contents.
    const QRect room = style.subElementRect(QStyle::SE_LineEditContents, &option, line)
                           .marginsRemoved(line->textMargins())
                           .adjusted(2, 0, -2, 0);
    return {{line->text(), room, line->fontMetrics().horizontalAdvance(line->text()),
             line->alignment()}};
  }
  std::vector<Text> texts;
  if (auto* combo = qobject_cast<QComboBox*>(&control)) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const QRect room =
        style.subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    for (int i = 0; i < combo->count(); ++i)
      texts.push_back(
          {combo->itemText(i), room.adjusted(1, 0, -1, 0), Width(*combo, combo->itemText(i))});
  }
  if (auto* bar = qobject_cast<QTabBar*>(&control)) {
    const int padding = style.pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar) / 2;
    for (int i = 0; i < bar->count(); ++i) {
      texts.push_back({bar->tabText(i), bar->tabRect(i).adjusted(padding, 0, -padding, 0),
                       Width(*bar, bar->tabText(i)), Qt::AlignHCenter});
    }
  }
  return texts;
}

QRect InWindow(const QWidget& widget, const QRect& rect) {
  return rect.translated(widget.mapTo(widget.window(), QPoint(0, 0)));
}

void ExpectFits(QWidget& control) {
  for (const Text& text : TextsOf(control)) {
    if (text.text.isEmpty()) continue;
    SCOPED_TRACE((control.window()->objectName() + '/' + control.objectName() + " \"" + text.text +
                  "\" in " + QFontInfo(control.font()).family())
                     .toStdString());
    EXPECT_LE(text.width, text.room.width());
    const QRect drawn = InWindow(
        control, QStyle::alignedRect(Qt::LeftToRight, text.alignment & Qt::AlignHorizontal_Mask,
                                     QSize(text.width, text.room.height()), text.room));
    for (QWidget* widget = &control; !widget->isWindow(); widget = widget->parentWidget()) {
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
}

// What the shown window shows, on each page of each of its tab widgets in turn.
void ExpectAllFit(QWidget& window) {
  const auto walk = [&window] {
    for (QWidget* control : window.findChildren<QWidget*>()) {
      if (control->isVisible()) ExpectFits(*control);
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
  for (const QString& text : texts) {
    field.setText(text);
    ExpectFits(field);
  }
}

class TextsFitTest : public ProgramTest {};

TEST_F(TextsFitTest, EveryTextFitsItsControl) {
  Start();
  std::cout << "Polices : " << QFontInfo(form->font()).family().toStdString() << ", "
            << QFontInfo(form->Edit1->font()).family().toStdString() << '\n';
  for (QWidget* window :
       std::initializer_list<QWidget*>{form, &program->form2(), &program->form3(),
                                       &program->form4(), &program->form5(), &program->form6()}) {
    window->show();
    ExpectAllFit(*window);
    if (window != form) window->hide();
  }
  PortChooser chooser(*form);
  chooser.show();
  for (int port = 0; port < PortChooser::kPorts; ++port) {
    chooser.ComboPort->setCurrentIndex(port);  // each port's environment note
    ExpectAllFit(chooser);
  }
  ExpectEachFits(*form->StaticTextInfo, StatusLineTexts());
  ExpectEachFits(*form->EditMessPort, PortMessageTexts());
  ExpectEachFits(*form->StaticText1, ValueTexts());

  // Above 64 KiB addresses take five digits, in the address field and the grid's column.
  form->memoryTypeItems[14]->trigger();
  ExpectAllFit(*form);
  ExpectEachFits(*form->StaticText2, {QStringLiteral("$3FFFF")});
  ExpectEachFits(*form->StaticText1, ValueTexts());
  const QHeaderView& column = *form->StringGrid1->verticalHeader();
  EXPECT_LE(column.fontMetrics().horizontalAdvance(QStringLiteral("3FFF0")) +
                2 * column.style()->pixelMetric(QStyle::PM_HeaderMargin),
            column.width());

  // Shown only while an operation runs, over the memory buttons and beside the bar.
  form->EditMessPort->hide();
  form->BoutonArreter->show();
  form->StaticTextReste->show();
  ExpectEachFits(*form->BoutonArreter, StopButtonTexts());
  ExpectEachFits(*form->StaticTextReste, TimeLeftTexts());
}

}  // namespace
}  // namespace keldar::ui::testing
