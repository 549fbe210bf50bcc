#include "ui/toolbar_pictures.h"

#include "ui/info_resources.h"

namespace keldar::ui {

QPixmap ToolbarPicture(const QString& name, QSize size) {
  return RenderPicture(QStringLiteral(":/toolbar/%1.svg").arg(name), size, ScreenPixelRatio());
}

}  // namespace keldar::ui
