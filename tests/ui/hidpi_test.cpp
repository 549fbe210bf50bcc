// At 200 % scaling every picture is drawn with two device pixels to each window pixel: the
// toolbar, the door, the window icons, the diagrams (one bit per pixel still) and the about
// pictures. The clipboard still receives the diagrams at their own size.
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>

#include "program_fixture.h"
#include "ui/Keldaru2.h"
#include "ui/Keldaru3.h"
#include "ui/Keldaru5.h"

namespace keldar::ui::testing {
namespace {

// The largest picture an icon holds, as it was drawn.
QSize Drawn(const QIcon& icon) {
  QSize largest;
  for (const QSize size : icon.availableSizes())
    largest = largest.expandedTo(size);
  return largest;
}

void ExpectSharp(const QPixmap& picture, QSize windowPixels) {
  EXPECT_EQ(picture.devicePixelRatio(), 2.0);
  EXPECT_EQ(picture.size(), windowPixels * 2);
}

class HighDpiTest : public ProgramTest {};

TEST_F(HighDpiTest, PicturesAreDrawnForTheScreen) {
  ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
  Start();
  // The toolbar's buttons, not the menu bar's own.
  for (const QToolButton* button :
       form->findChildren<QToolButton*>(QRegularExpression(QStringLiteral("^Bouton"))))
    EXPECT_EQ(Drawn(button->icon()), button->iconSize() * 2) << button->objectName().toStdString();
  EXPECT_EQ(Drawn(form->BitBtn1->icon()), QSize(50, 38));
  EXPECT_EQ(Drawn(form->windowIcon()), QSize(64, 64));
  EXPECT_EQ(Drawn(program->form5().windowIcon()), QSize(64, 64));

  TForm2& diagrams = program->form2();
  for (const auto& [label, size] :
       {std::pair{diagrams.Image1, QSize(529, 382)}, std::pair{diagrams.Image2, QSize(418, 326)}}) {
    const QPixmap shown = label->pixmap();
    ExpectSharp(shown, size);
    const QImage pixels = shown.toImage();
    for (int y = 0; y < pixels.height(); ++y) {
      for (int x = 0; x < pixels.width(); ++x) {
        const QRgb colour = pixels.pixel(x, y) & 0xFFFFFFu;
        ASSERT_TRUE(colour == 0 || colour == 0xFFFFFFu) << x << "," << y;
      }
    }
  }
  for (const QLabel* picture :
       {program->form3().Image1, program->form3().Image2, program->form3().Image3})
    ExpectSharp(picture->pixmap(), picture->size());

  dialogs->AnswerNextMessage(kIdOk);
  diagrams.BoutonCopierPP1->click();
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(529, 382));
  dialogs->AnswerNextMessage(kIdOk);
  diagrams.BoutonCopierPP2->click();
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(418, 326));
}

}  // namespace
}  // namespace keldar::ui::testing
