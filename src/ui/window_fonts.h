// The fonts the windows are laid out for, with the metric-compatible families that stand in for
// them where they are missing, and a last resort for the narrow places when only a wider family
// is found.
#pragma once

#include <QFont>

class QWidget;

namespace keldar::ui {

// MS Sans Serif, then families of about its width, then the platform's sans-serif.
QFont InterfaceFont(int pixels, bool bold = false);
// Arial or a family with its metrics, then the platform's sans-serif.
QFont ArialFont(int pixels, bool bold = false);
// Courier New or a family with its metrics, then the platform's fixed-pitch family.
QFont CourierFont(int pixels, bool bold = false);

// Lowers the widget's font size, one pixel at a time and never below `minimumPixels`, until its
// size hint is at most `width` wide: a wider stand-in family must not cut a caption or a title.
void FitFontToWidth(QWidget& widget, int width, int minimumPixels = 9);

}  // namespace keldar::ui
