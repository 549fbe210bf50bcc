#include "ui/toolbar_pictures.h"

#include <QPainter>
#include <QSvgRenderer>

namespace keldar::ui {

QPixmap ToolbarPicture(const QString& name, QSize size) {
  QSvgRenderer renderer(QStringLiteral(":/toolbar/%1.svg").arg(name));
  if (!renderer.isValid()) return {};
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

}  // namespace keldar::ui
