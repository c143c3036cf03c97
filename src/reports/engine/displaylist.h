#pragma once

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

#include "barcode.h"
#include "fontdesc.h"
#include "report.h"

namespace fx::report {

// One drawing operation of a finished page, in mm from the paper's top left corner. `band`
// and `item` name where it came from (for the text dump; painting ignores them).
struct Primitive {
    enum class Kind : quint8 { Text, Line, Rect, Ellipse, Image, Barcode };
    Kind kind = Kind::Text;
    QString band;
    QString item;
    QRectF rect;    // Text: the line's box; Rect, Ellipse, Image: the shape's box; Barcode: the
                    // symbol with its quiet zone
    QLineF line;    // Line
    QString text;   // Text: one line, drawn as it is; Barcode: the data it holds
    FontDesc font;  // Text
    HAlign align = HAlign::Left;  // Text: placement within rect
    QColor color = Qt::black;     // text colour or pen colour
    qreal penWidth = 0;           // mm; 0 with Rect/Ellipse: no outline
    QColor fill;                  // Rect/Ellipse fill; invalid: none
    QImage image;
    // Barcode: the dark bars, in mm from the top left corner of `rect`, filled with `color`.
    Symbology symbology = Symbology::QrCode;
    std::vector<QRectF> bars;

    friend bool operator==(const Primitive& a, const Primitive& b);
};

// Where a band was placed on a page (for the dump and for tests; painting ignores it).
struct BandPlacement {
    QString band;
    BandKind kind = BandKind::Detail;
    QRectF rect;      // mm
    int record = -1;  // the record the band printed for, -1 for none

    friend bool operator==(const BandPlacement&, const BandPlacement&) = default;
};

struct Page {
    QSizeF size;  // mm, as the paper lies
    std::vector<BandPlacement> bands;
    std::vector<Primitive> primitives;

    friend bool operator==(const Page&, const Page&) = default;
};

// A laid-out report: the finished pages, ready to preview, print, save or dump.
struct Document {
    QString title;
    std::vector<Page> pages;

    int pageCount() const { return int(pages.size()); }
    friend bool operator==(const Document&, const Document&) = default;
};

}  // namespace fx::report
