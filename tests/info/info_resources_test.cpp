// The pictures render at exactly their windows' sizes and are drawings, not blanks; the texts
// are there and decode.
#include "ui/info_resources.h"

#include <gtest/gtest.h>
#include <QImage>

namespace keldar::ui {
namespace {

double BlackShare(const QImage& mono) {
  qsizetype black = 0;
  for (int y = 0; y < mono.height(); ++y) {
    for (int x = 0; x < mono.width(); ++x)
      black += mono.pixelIndex(x, y) == 0 ? 1 : 0;
  }
  return static_cast<double>(black) / (static_cast<double>(mono.width()) * mono.height());
}

TEST(InfoResourcesTest, DiagramsAreOneBitDrawingsOfTheirExactSize) {
  for (const auto& [path, size] : {std::pair{kStandardReaderDiagram, kStandardReaderSize},
                                   std::pair{kInSituModuleDiagram, kInSituModuleSize}}) {
    SCOPED_TRACE(path.toStdString());
    const QImage diagram = RenderMonochrome(path, size);
    EXPECT_EQ(diagram.size(), size);
    EXPECT_EQ(diagram.format(), QImage::Format_Mono);
    EXPECT_EQ(diagram.pixel(0, 0), qRgb(255, 255, 255));
    // Black lines and letters on white: a few percent of the pixels, never none or most.
    const double black = BlackShare(diagram);
    EXPECT_GT(black, 0.02);
    EXPECT_LT(black, 0.30);
  }
}

TEST(InfoResourcesTest, CopyButtonCornersOfTheDiagramsAreLeftEmpty) {
  // The windows lay their copy buttons over these areas of the pictures.
  const QImage standard = RenderMonochrome(kStandardReaderDiagram, kStandardReaderSize);
  const QImage inSitu = RenderMonochrome(kInSituModuleDiagram, kInSituModuleSize);
  for (const auto& [image, area] : {std::pair{&standard, QRect(4, 5, 185, 25)},
                                    std::pair{&inSitu, QRect(104 - 29, 295 - 4, 89, 25)}}) {
    EXPECT_EQ(BlackShare(image->copy(area)), 0.0) << area.x() << "," << area.y();
  }
}

TEST(InfoResourcesTest, AboutPicturesFillTheirExactSize) {
  for (const auto& [path, size] : {std::pair{kChip24Lc16bPicture, QSize(137, 137)},
                                   std::pair{kReaderDb9Picture, QSize(189, 137)},
                                   std::pair{kChip24Lc256Picture, QSize(137, 137)}}) {
    SCOPED_TRACE(path.toStdString());
    const QImage picture = RenderPicture(path, size).toImage();
    ASSERT_EQ(picture.size(), size);
    // A photograph's stand-in covers its whole frame: the corners are opaque.
    for (const QPoint corner : {QPoint(0, 0), QPoint(size.width() - 1, size.height() - 1)}) {
      EXPECT_EQ(qAlpha(picture.pixel(corner)), 255);
    }
  }
}

TEST(InfoResourcesTest, TheReaderPictureShowsItsGreenLed) {
  const QImage reader = RenderPicture(kReaderDb9Picture, QSize(189, 137)).toImage();
  bool green = false;
  for (int y = 0; y < reader.height() && !green; ++y) {
    for (int x = 0; x < reader.width() && !green; ++x) {
      const QRgb c = reader.pixel(x, y);
      green = qGreen(c) > 180 && qRed(c) < 120 && qBlue(c) < 120;
    }
  }
  EXPECT_TRUE(green);
}

TEST(InfoResourcesTest, MissingResourcesGiveBlanksOfTheAskedSize) {
  const QImage blank = RenderMonochrome(QStringLiteral(":/info/none.svg"), QSize(10, 7));
  EXPECT_EQ(blank.size(), QSize(10, 7));
  EXPECT_EQ(BlackShare(blank), 0.0);
  EXPECT_TRUE(RenderPicture(QStringLiteral(":/info/none.svg"), QSize(10, 7)).isNull());
  EXPECT_TRUE(ResourceText(QStringLiteral(":/none.txt")).isEmpty());
}

TEST(InfoResourcesTest, TextsAreWellFormedUtf8) {
  for (const QString& path : {kInSituAdviceText, kHelpText}) {
    const QString text = ResourceText(path);
    EXPECT_GT(text.size(), 1000) << path.toStdString();
    EXPECT_FALSE(text.contains(QChar::ReplacementCharacter)) << path.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("é"))) << path.toStdString();
  }
}

}  // namespace
}  // namespace keldar::ui
