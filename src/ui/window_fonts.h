// The fonts the windows are laid out for, with the metric-compatible families that stand in for
// them where they are missing, and a last resort for the narrow places when only a wider family
// is found.
#pragma once

#include <QFont>
#include <QStringList>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QWidget;

namespace keldar::ui {

// MS Sans Serif, then families of about its width, then the platform's sans-serif.
QFont InterfaceFont(int pixels, bool bold = false);
// Arial or a family with its metrics, then the platform's sans-serif.
QFont ArialFont(int pixels, bool bold = false);
// Courier New or a family with its metrics, then the platform's fixed-pitch family.
QFont CourierFont(int pixels, bool bold = false);

// Lowers the widget's font size, one pixel at a time and never below `minimumPixels`, until its
// text needs at most `width` pixels: a wider stand-in family must not cut a caption or a title.
void FitFontToWidth(QWidget& widget, int width, int minimumPixels = 9);

// The same for every caption, title, line and list entry of the window, each in its own width.
void FitTextsToControls(QWidget& window);

// A field that shows one text at a time gets the size that fits the widest of `texts`, so that
// its font does not change from one text to the next.
void FitFontToTexts(QLabel& field, const QStringList& texts);
void FitFontToTexts(QLineEdit& field, const QStringList& texts);
void FitFontToTexts(QAbstractButton& field, const QStringList& texts);

}  // namespace keldar::ui
