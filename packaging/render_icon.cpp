// keldar_render_icon SVG SIZE PNG: draws the program's one hand-written icon at one of the icon
// theme's pixel sizes, with the renderer the program itself uses for it.
#include <cstdio>
#include <cstdlib>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char* argv[]) {
  if (argc != 4) {
    std::fprintf(stderr, "usage : keldar_render_icon SVG TAILLE PNG\n");
    return 2;
  }
  // The icon's text needs the font database, which needs a platform: the offscreen one needs no
  // display, so packages build on headless machines.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);

  QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
  const int size = std::atoi(argv[2]);
  if (!renderer.isValid() || size < 16 || size > 1024) {
    std::fprintf(stderr, "keldar_render_icon : %s illisible ou taille %s invalide\n", argv[1],
                 argv[2]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  painter.end();
  if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "keldar_render_icon : %s ne peut pas être écrit\n", argv[3]);
    return 1;
  }
  return 0;
}
