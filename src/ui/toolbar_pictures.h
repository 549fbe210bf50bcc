// The pictures of the toolbar buttons and of the program, drawn as SVG in the resources and
// rendered at the size each button shows them.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace keldar::ui {

// ":/toolbar/<name>.svg" rendered at `size` for the sharpest screen; a null pixmap when the
// resource is missing.
QPixmap ToolbarPicture(const QString& name, QSize size);

}  // namespace keldar::ui
