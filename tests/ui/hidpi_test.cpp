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

// The largest picture an icon was given, in device pixels.
QSize Drawn(const QIcon& icon) {
  QSize largest;
  for (const QSize size : icon.availableSizes())
    largest = largest.expandedTo(size);
  return largest;
}

class HighDpiTest : public ProgramTest {};

TEST_F(HighDpiTest, PicturesAreDrawnForTheScreen) {
  ASSERT_EQ(qApp->devicePixelRatio(), 2.0);
  Start();
  for (const QToolButton* button :
       form->findChildren<QToolButton*>(QRegularExpression(QStringLiteral("^Bouton"))))
    EXPECT_EQ(Drawn(button->icon()), button->iconSize() * 2) << button->objectName().toStdString();
  EXPECT_EQ(Drawn(form->BitBtn1->icon()), QSize(50, 38));
  EXPECT_EQ(Drawn(form->windowIcon()), QSize(64, 64));
  EXPECT_EQ(Drawn(program->form5().windowIcon()), QSize(64, 64));
  TForm3& about = program->form3();
  for (const QLabel* picture : {about.Image1, about.Image2, about.Image3, program->form2().Image1,
                                program->form2().Image2}) {
    EXPECT_EQ(picture->pixmap().devicePixelRatio(), 2.0);
    EXPECT_EQ(picture->pixmap().size(), picture->size() * 2);
  }
  const QImage diagram = program->form2().Image2->pixmap().toImage();
  for (int y = 0; y < diagram.height(); ++y) {
    for (int x = 0; x < diagram.width(); ++x)
      ASSERT_TRUE(qGray(diagram.pixel(x, y)) % 255 == 0) << "grey at " << x << "," << y;
  }

  dialogs->AnswerNextMessage(kIdOk);
  program->form2().BoutonCopierPP1->click();
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(529, 382));
  dialogs->AnswerNextMessage(kIdOk);
  program->form2().BoutonCopierPP2->click();
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(418, 326));
}

}  // namespace
}  // namespace keldar::ui::testing
