#pragma once

#include <QPageLayout>
#include <QPointF>
#include <QString>
#include <functional>

#include "displaylist.h"

class QPainter;
class QPrinter;

namespace fx::report {

// Paints one page of a display list onto any painter (preview widget, printer, PDF writer):
// `pixelsPerMm` device pixels per millimetre, the paper's top left corner at `origin`. Text
// is drawn as text in the mapped fonts, so PDF output keeps it extractable. Does not paint the
// paper itself.
void paintPage(QPainter& painter, const Page& page, qreal pixelsPerMm, QPointF origin = {});

// The page layout (paper, orientation, no margins) for a page of `size` mm as it lies.
QPageLayout pageLayoutFor(const QSizeF& size);

// Called after each printed page with its number (from 1) and the number of pages to print;
// returning false stops printing.
using PrintProgress = std::function<bool(int page, int pageCount)>;

// Prints the document on `printer` as it is set up (chosen printer, copies, page range),
// each page on paper of its own size. False with a message when the printer cannot start or
// the user stopped it through `progress`.
bool printDocument(const Document& document, QPrinter& printer, const PrintProgress& progress = {},
                   QString* error = nullptr);

// Writes the document as a PDF file (fonts embedded, text selectable). False with a message
// when the file cannot be written or there are no pages.
bool writePdf(const Document& document, const QString& path, QString* error = nullptr);

}  // namespace fx::report
