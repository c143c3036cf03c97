#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include "displaylist.h"

// Reading printed codes back in tests, with the tools a user's scanner stands in for: zbarimg
// (zbar-tools) decodes, pdftoppm and pdfinfo (poppler-utils) render and measure PDF pages.
namespace fx::report::test {

// The codes zbarimg finds in the image, one "<kind>:<data>" a code ("QR-Code:JSJ-121",
// "CODE-128:JSJ-121"), sorted; empty when it finds none.
QStringList decodeImage(const QImage& image);

// Page `page` (from 1) of a PDF file rendered in grey at `dpi`; a null image when it fails.
QImage renderPdfPage(const QString& pdf, int page, int dpi);

// The size of page `page` (from 1) of a PDF file in points; empty when it cannot be read.
QSizeF pdfPageSize(const QString& pdf, int page);

// A display-list page painted on white at `pixelsPerMm`.
QImage paintToImage(const Page& page, qreal pixelsPerMm);

// The smallest rectangle holding every dark pixel (grey below 128) of the image.
QRect darkBounds(const QImage& image);

}  // namespace fx::report::test
