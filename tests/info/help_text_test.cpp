// The help text follows the main window: chapter II has one section per menu, in menu-bar order,
// naming every item with the shortcut the item really has. Both texts fit their unwrapped views.
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabWidget>

#include "main_window_fixture.h"
#include "ui/Keldaru2.h"
#include "ui/Keldaru4.h"
#include "ui/info_resources.h"

namespace keldar::ui::testing {
namespace {

struct Section {
  QString title;
  qsizetype first = 0;  // line indices in the chapter, header excluded
  qsizetype end = 0;
};

class HelpTextTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    const QStringList lines = ResourceText(kHelpText).split(QLatin1Char('\n'));
    qsizetype begin = -1;
    qsizetype end = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
      if (lines[i].startsWith(QStringLiteral("II) Les menus"))) begin = i + 1;
      if (lines[i].startsWith(QStringLiteral("III) Divers"))) end = i;
    }
    ASSERT_GE(begin, 0);
    ASSERT_GT(end, begin);
    chapter = lines.mid(begin, end - begin);

    static const QRegularExpression header(QStringLiteral(R"re(^\s*\d+\) Menu "(.+)"\s*$)re"));
    for (qsizetype i = 0; i < chapter.size(); ++i) {
      const QRegularExpressionMatch match = header.match(chapter[i]);
      if (!match.hasMatch()) continue;
      if (!sections.empty()) sections.back().end = i;
      sections.push_back({match.captured(1), i + 1, chapter.size()});
    }
  }

  // A menu's title as the help names it: no accelerator mark, and the address menu, whose
  // title carries the current address, as "Adresse $N".
  static QString HelpTitle(const QMenu& menu) {
    QString title = menu.title().remove(QLatin1Char('&'));
    static const QRegularExpression address(QStringLiteral(R"(\$\d$)"));
    return title.replace(address, QStringLiteral("$N"));
  }

  // The command line of `caption` in the section: the caption alone, or followed by dot leaders.
  qsizetype FindCommand(const Section& section, const QString& caption) const {
    for (qsizetype i = section.first; i < section.end; ++i) {
      const QString line = chapter[i].trimmed();
      if (line == caption || line.startsWith(caption + QStringLiteral(" .."))) return i;
    }
    return -1;
  }

  QStringList chapter;
  std::vector<Section> sections;
};

TEST_F(HelpTextTest, ChapterTwoHasOneSectionPerMenuInMenuBarOrder) {
  std::vector<QString> menus;
  for (const QAction* entry : form->menuBar()->actions()) {
    if (entry->menu() != nullptr) menus.push_back(HelpTitle(*entry->menu()));
  }
  std::vector<QString> titles;
  for (const Section& section : sections)
    titles.push_back(section.title);
  EXPECT_EQ(titles, menus);
  EXPECT_EQ(menus.size(), 7u);
}

TEST_F(HelpTextTest, EveryMenuItemIsNamedWithItsShortcut) {
  std::set<qsizetype> commandLines;
  size_t items = 0;
  size_t withShortcut = 0;
  for (const QAction* entry : form->menuBar()->actions()) {
    const QMenu* menu = entry->menu();
    if (menu == nullptr) continue;
    const QString title = HelpTitle(*menu);
    const auto section = std::find_if(sections.begin(), sections.end(),
                                      [&](const Section& s) { return s.title == title; });
    ASSERT_NE(section, sections.end()) << title.toStdString();
    for (const QAction* item : menu->actions()) {
      if (item->isSeparator()) continue;
      ++items;
      const QString caption = item->text().remove(QLatin1Char('&'));
      const qsizetype line = FindCommand(*section, caption);
      ASSERT_GE(line, 0) << title.toStdString() << ": " << caption.toStdString();
      commandLines.insert(line);
      const QString shortcut = item->shortcut().toString(QKeySequence::PortableText);
      if (shortcut.isEmpty()) {
        EXPECT_EQ(chapter[line].trimmed(), caption) << "no shortcut for " << caption.toStdString();
      } else {
        ++withShortcut;
        EXPECT_TRUE(chapter[line].endsWith(QLatin1Char(' ') + shortcut))
            << chapter[line].toStdString() << " should end with " << shortcut.toStdString();
      }
    }
  }
  EXPECT_GE(items, 50u);
  EXPECT_EQ(withShortcut, 32u);

  // No shortcut is named anywhere else in the chapter, where it could be a stale one.
  static const QRegularExpression anyShortcut(QStringLiteral(R"(\b(Ctrl|Shift|Alt)\+\w+)"));
  for (qsizetype i = 0; i < chapter.size(); ++i) {
    if (commandLines.count(i) == 0) {
      EXPECT_FALSE(anyShortcut.match(chapter[i]).hasMatch()) << chapter[i].toStdString();
    }
  }
}

TEST_F(HelpTextTest, HelpFollowsItsOutline) {
  const QStringList lines = ResourceText(kHelpText).split(QLatin1Char('\n'));
  ASSERT_GT(lines.size(), 10);
  EXPECT_TRUE(lines[0].isEmpty());
  EXPECT_EQ(lines[1], QString::fromUtf8("Programmateur de mémoires I2C sur le port série"));
  EXPECT_TRUE(lines[2].contains(QStringLiteral("1.3")));
  qsizetype previous = 2;
  for (const char* chapterTitle :
       {"I) Généralités", "II) Les menus", "III) Divers", "IV) Historique des versions"}) {
    const qsizetype at = lines.indexOf(QString::fromUtf8(chapterTitle));
    EXPECT_GT(at, previous) << chapterTitle;
    // Chapters are separated by dashed rules.
    EXPECT_TRUE(at > 0 && lines[at - 1].startsWith(QStringLiteral("-----"))) << chapterTitle;
    previous = at;
  }
  qsizetype last = lines.size() - 1;
  while (last > 0 && lines[last].isEmpty())
    --last;
  EXPECT_TRUE(lines[last].startsWith(QStringLiteral("*****")));
}

TEST_F(HelpTextTest, AdviceFollowsItsOutline) {
  const QStringList lines = ResourceText(kInSituAdviceText).split(QLatin1Char('\n'));
  ASSERT_GT(lines.size(), 10);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("-----")));
  qsizetype previous = 1;
  for (const char* number : {"1)", "2)", "3)", "4)", "5)"}) {
    const auto at = std::find_if(lines.begin() + previous, lines.end(), [&](const QString& line) {
      return line.startsWith(QLatin1String(number));
    });
    ASSERT_NE(at, lines.end()) << number;
    previous = at - lines.begin();
  }
  EXPECT_TRUE(ResourceText(kInSituAdviceText).contains(QStringLiteral("Type de lecteur")));
}

// No horizontal scrolling is needed to read either text in its window's font.
void ExpectLinesFit(QPlainTextEdit& view, const QString& text) {
  const int room =
      view.viewport()->width() - 2 * static_cast<int>(view.document()->documentMargin());
  const QFontMetrics metrics(view.font());
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    EXPECT_LE(metrics.horizontalAdvance(line), room) << line.toStdString();
  }
  EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
}

TEST_F(HelpTextTest, BothTextsFitTheirViewsWithoutScrollingSideways) {
  TForm4& help = program->form4();
  help.open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
  ExpectLinesFit(*help.RichEdit1, ResourceText(kHelpText));
  help.BoutonRetour3->click();

  Trigger("ProgrammationInSitu1");
  TForm2& diagrams = program->form2();
  diagrams.PageControl2->setCurrentWidget(diagrams.TabSheet4);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&diagrams));
  ExpectLinesFit(*diagrams.MemoInSitu, ResourceText(kInSituAdviceText));
  diagrams.BoutonRetour->click();
}

}  // namespace
}  // namespace keldar::ui::testing
