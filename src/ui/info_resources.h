// The pictures and texts of the information windows, and how every picture of the program is
// drawn. The pictures are kept as SVG in the resources and rendered at the exact size their
// window shows them, in as many device pixels as the sharpest screen has; the texts are UTF-8.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace keldar::ui {

// Resource paths.
inline const QString kStandardReaderDiagram = QStringLiteral(":/info/standard_reader.svg");
inline const QString kInSituModuleDiagram = QStringLiteral(":/info/insitu_module.svg");
inline const QString kChip24Lc16bPicture = QStringLiteral(":/info/chip_24lc16b.svg");
inline const QString kChip24Lc256Picture = QStringLiteral(":/info/chip_24lc256.svg");
inline const QString kReaderDb9Picture = QStringLiteral(":/info/reader_db9.svg");
inline const QString kInSituAdviceText = QStringLiteral(":/insitu_advice.txt");
inline const QString kHelpText = QStringLiteral(":/help.txt");

// Sizes of the two diagrams, which are also the sizes of what the clipboard receives.
inline constexpr QSize kStandardReaderSize{529, 382};
inline constexpr QSize kInSituModuleSize{418, 326};

// Device pixels per window pixel on the sharpest screen (2 at 200 % scaling): pictures drawn at
// that ratio stay sharp on every screen.
qreal ScreenPixelRatio();

// A one-bit image (QImage::Format_Mono, index 0 black, 1 white) of exactly `size` window pixels,
// each drawn with `ratio` × `ratio` device pixels; a white image when the resource is missing.
QImage RenderMonochrome(const QString& path, QSize size, qreal ratio = 1.0);
// A colour picture of exactly `size` window pixels at `ratio` on a transparent ground; null when
// the resource is missing.
QPixmap RenderPicture(const QString& path, QSize size, qreal ratio = 1.0);
// A text resource, empty when missing.
QString ResourceText(const QString& path);

}  // namespace keldar::ui
