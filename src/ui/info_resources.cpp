#include "ui/info_resources.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>

// Outside any namespace, as the resource initialiser requires. The resources live in a static
// library, so nothing registers them unless asked.
static void InitialiseInfoResources() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(info);
    return true;
  }();
  (void)registered;
}

namespace keldar::ui {

namespace {

// Anything darker than this becomes black. The renderer antialiases; a threshold above the
// middle grey keeps thin strokes and small punctuation that straddle two pixels.
constexpr int kBlackBelow = 192;

QImage RenderOnto(const QString& path, QSize size, QColor ground) {
  InitialiseInfoResources();
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(ground);
  QSvgRenderer renderer(path);
  if (renderer.isValid()) {
    QPainter painter(&image);
    renderer.render(&painter);
  }
  return image;
}

}  // namespace

qreal ScreenPixelRatio() {
  return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
}

QImage RenderMonochrome(const QString& path, QSize size, qreal ratio) {
  const QSize pixels = size * ratio;
  const QImage grey =
      RenderOnto(path, pixels, Qt::white).convertToFormat(QImage::Format_Grayscale8);
  QImage mono(pixels, QImage::Format_Mono);
  mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  mono.fill(1);
  for (int y = 0; y < pixels.height(); ++y) {
    const uchar* in = grey.constScanLine(y);
    uchar* out = mono.scanLine(y);
    for (int x = 0; x < pixels.width(); ++x) {
      if (in[x] < kBlackBelow) out[x / 8] &= static_cast<uchar>(~(0x80U >> (x % 8)));
    }
  }
  mono.setDevicePixelRatio(ratio);
  return mono;
}

QPixmap RenderPicture(const QString& path, QSize size, qreal ratio) {
  InitialiseInfoResources();
  if (!QFile::exists(path)) return {};
  QPixmap picture = QPixmap::fromImage(RenderOnto(path, size * ratio, Qt::transparent));
  picture.setDevicePixelRatio(ratio);
  return picture;
}

QString ResourceText(const QString& path) {
  InitialiseInfoResources();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

}  // namespace keldar::ui
