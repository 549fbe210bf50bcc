// Stand-in fonts: a caption too wide in the family found is brought down to its room, one pixel
// at a time and never below the floor; one that fits is left alone.
#include "ui/window_fonts.h"

#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QLabel>

namespace keldar::ui {
namespace {

TEST(WindowFontsTest, ACaptionTooWideShrinksUntilItFits) {
  QLabel title(QString::fromUtf8("Programmateur de mémoires I2C sur port série"));
  title.setFont(InterfaceFont(20, true));
  const int natural = title.sizeHint().width();
  FitFontToWidth(title, natural - 60);
  EXPECT_LE(title.sizeHint().width(), natural - 60);
  EXPECT_LT(title.font().pixelSize(), 20);
  EXPECT_TRUE(title.font().bold());
  // The largest size that fits: one pixel more would not.
  QLabel bigger(title.text());
  bigger.setFont(InterfaceFont(title.font().pixelSize() + 1, true));
  EXPECT_GT(bigger.sizeHint().width(), natural - 60);
}

TEST(WindowFontsTest, ACaptionThatFitsKeepsItsSize) {
  QLabel label(QStringLiteral("Retour"));
  label.setFont(InterfaceFont(13));
  FitFontToWidth(label, label.sizeHint().width());
  EXPECT_EQ(label.font().pixelSize(), 13);
}

TEST(WindowFontsTest, ShrinkingStopsAtTheFloor) {
  QLabel label(QStringLiteral("Conseils importants, et restrictions d'utilisation"));
  label.setFont(InterfaceFont(13));
  FitFontToWidth(label, 20, 10);
  EXPECT_EQ(label.font().pixelSize(), 10);
}

TEST(WindowFontsTest, TheHelpFontKeepsColumns) {
  const QFontMetrics metrics(CourierFont(18, true));
  EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')),
            metrics.horizontalAdvance(QLatin1Char('M')));
  EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("....")),
            metrics.horizontalAdvance(QStringLiteral("WWWW")));
}

}  // namespace
}  // namespace keldar::ui
