#include "dump.h"

#include <QStringList>

namespace fx::report {

namespace {

QString mm(qreal v) {
    // Avoid "-0.00" for values that round to zero.
    QString s = QString::number(v, 'f', 2);
    if (s == QStringLiteral("-0.00")) s = QStringLiteral("0.00");
    return s;
}

QString box(const QRectF& r) {
    return QStringLiteral("(%1, %2) %3 x %4")
        .arg(mm(r.left()), mm(r.top()), mm(r.width()), mm(r.height()));
}

QString colour(const QColor& c) {
    if (!c.isValid()) return QStringLiteral("none");
    return c.name(c.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb);
}

QString alignName(HAlign a) {
    switch (a) {
        case HAlign::Left:
            return QStringLiteral("left");
        case HAlign::Center:
            return QStringLiteral("center");
        case HAlign::Right:
            return QStringLiteral("right");
    }
    return {};
}

QString fontText(const FontDesc& f) {
    QString s = f.family + QLatin1Char(' ') + QString::number(f.pointSize) + QStringLiteral("pt");
    if (f.bold) s += QStringLiteral(" bold");
    if (f.italic) s += QStringLiteral(" italic");
    if (f.underline) s += QStringLiteral(" underline");
    return s;
}

QString origin(const Primitive& p) {
    return p.band + QLatin1Char('/') + (p.item.isEmpty() ? QStringLiteral("-") : p.item);
}

QString primitiveLine(const Primitive& p) {
    switch (p.kind) {
        case Primitive::Kind::Text: {
            QString s = QStringLiteral("text %1 %2 %3 %4")
                            .arg(origin(p), box(p.rect), alignName(p.align), fontText(p.font));
            if (p.color != QColor(Qt::black)) s += QLatin1Char(' ') + colour(p.color);
            return s + QStringLiteral(": ") + p.text;
        }
        case Primitive::Kind::Line:
            return QStringLiteral("line %1 (%2, %3)-(%4, %5) %6mm %7")
                .arg(origin(p), mm(p.line.x1()), mm(p.line.y1()), mm(p.line.x2()), mm(p.line.y2()),
                     mm(p.penWidth), colour(p.color));
        case Primitive::Kind::Rect:
        case Primitive::Kind::Ellipse:
            return QStringLiteral("%1 %2 %3 pen %4mm %5 fill %6")
                .arg(p.kind == Primitive::Kind::Rect ? QStringLiteral("rect")
                                                     : QStringLiteral("ellipse"),
                     origin(p), box(p.rect), mm(p.penWidth), colour(p.color), colour(p.fill));
        case Primitive::Kind::Barcode: {
            // The box with its quiet zone, then the dark part: the code's printed size.
            QRectF symbol;
            for (const QRectF& bar : p.bars) symbol |= bar;
            return QStringLiteral("barcode %1 %2 %3 symbol %4 bars %5: %6")
                .arg(origin(p), box(p.rect), symbologyName(p.symbology),
                     box(symbol.translated(p.rect.topLeft())))
                .arg(p.bars.size())
                .arg(p.text);
        }
        case Primitive::Kind::Image:
            return QStringLiteral("image %1 %2 %3x%4px")
                .arg(origin(p), box(p.rect))
                .arg(p.image.width())
                .arg(p.image.height());
    }
    return {};
}

}  // namespace

QString dumpPage(const Page& page, int number) {
    QStringList lines;
    lines << QStringLiteral("page %1 %2 x %3 mm")
                 .arg(number)
                 .arg(mm(page.size.width()), mm(page.size.height()));
    for (const BandPlacement& b : page.bands)
        lines << QStringLiteral("  band %1 %2 record %3 %4")
                     .arg(bandKindName(b.kind), b.band)
                     .arg(b.record)
                     .arg(box(b.rect));
    for (const Primitive& p : page.primitives) lines << QStringLiteral("  ") + primitiveLine(p);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString dumpDocument(const Document& document) {
    QString out =
        QStringLiteral("document \"%1\" pages %2\n").arg(document.title).arg(document.pageCount());
    for (size_t i = 0; i < document.pages.size(); ++i)
        out += dumpPage(document.pages[i], int(i) + 1);
    return out;
}

}  // namespace fx::report
