#include "render.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include "units.h"

namespace fx::report {

namespace {

void setError(QString* error, const QString& message) {
    if (error) *error = message;
}

Qt::Alignment alignmentOf(HAlign a) {
    switch (a) {
        case HAlign::Left:
            return Qt::AlignLeft;
        case HAlign::Center:
            return Qt::AlignHCenter;
        case HAlign::Right:
            return Qt::AlignRight;
    }
    return Qt::AlignLeft;
}

QPen penFor(const QColor& color, qreal widthMm, qreal pixelsPerMm) {
    QPen pen(color);
    // Never thinner than one device pixel, or hairlines vanish in a zoomed-out preview.
    pen.setWidthF(qMax(widthMm * pixelsPerMm, 1.0));
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

}  // namespace

void paintPage(QPainter& painter, const Page& page, qreal pixelsPerMm, QPointF origin) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    auto map = [&](QPointF p) { return origin + p * pixelsPerMm; };
    auto mapRect = [&](const QRectF& r) {
        return QRectF(map(r.topLeft()), r.size() * pixelsPerMm);
    };
    const int dpi = painter.device() ? painter.device()->logicalDpiY() : 96;
    // A font of n points at the device's resolution is n * dpi / 72 pixels high; the page wants
    // n points of paper, which is n / 72 * 25.4 * pixelsPerMm pixels.
    const qreal fontScale = kMmPerInch * pixelsPerMm / (dpi > 0 ? dpi : 96);
    for (const Primitive& p : page.primitives) {
        switch (p.kind) {
            case Primitive::Kind::Text: {
                if (p.text.isEmpty()) break;
                painter.setFont(mappedFont(p.font, p.font.pointSize * fontScale));
                painter.setPen(p.color);
                painter.drawText(mapRect(p.rect),
                                 int(alignmentOf(p.align) | Qt::AlignTop) | Qt::TextSingleLine |
                                     Qt::TextDontClip,
                                 p.text);
                break;
            }
            case Primitive::Kind::Line:
                painter.setPen(penFor(p.color, p.penWidth, pixelsPerMm));
                painter.drawLine(QLineF(map(p.line.p1()), map(p.line.p2())));
                break;
            case Primitive::Kind::Rect:
            case Primitive::Kind::Ellipse: {
                if (p.penWidth > 0)
                    painter.setPen(penFor(p.color, p.penWidth, pixelsPerMm));
                else
                    painter.setPen(Qt::NoPen);
                painter.setBrush(p.fill.isValid() ? QBrush(p.fill) : QBrush(Qt::NoBrush));
                const QRectF r = mapRect(p.rect);
                if (p.kind == Primitive::Kind::Rect)
                    painter.drawRect(r);
                else
                    painter.drawEllipse(r);
                painter.setBrush(Qt::NoBrush);
                break;
            }
            case Primitive::Kind::Image:
                if (!p.image.isNull()) painter.drawImage(mapRect(p.rect), p.image);
                break;
            case Primitive::Kind::Barcode: {
                // One path for all bars, without smoothing: neighbouring bars meet without a
                // seam and the modules stay sharp in the preview as on paper.
                QPainterPath path;
                for (const QRectF& bar : p.bars)
                    path.addRect(mapRect(bar.translated(p.rect.topLeft())));
                painter.setRenderHint(QPainter::Antialiasing, false);
                painter.fillPath(path, p.color);
                painter.setRenderHint(QPainter::Antialiasing, true);
                break;
            }
        }
    }
    painter.restore();
}

QPageLayout pageLayoutFor(const QSizeF& size) {
    const bool landscape = size.width() > size.height();
    const QSizeF portrait = landscape ? size.transposed() : size;
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool printDocument(const Document& document, QPrinter& printer, const PrintProgress& progress,
                   QString* error) {
    if (document.pages.empty()) {
        setError(error, QStringLiteral("报表没有可打印的页。"));
        return false;
    }
    int first = 1, last = document.pageCount();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = qMax(1, printer.fromPage());
        last = qMin(last, printer.toPage() > 0 ? printer.toPage() : last);
    }
    if (first > last) {
        setError(error, QStringLiteral("所选页码范围内没有可打印的页。"));
        return false;
    }
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutFor(document.pages[size_t(first - 1)].size));
    if (printer.docName().isEmpty()) printer.setDocName(document.title);
    QPainter painter;
    if (!painter.begin(&printer)) {
        setError(error, QStringLiteral("无法启动打印机。"));
        return false;
    }
    const qreal pixelsPerMm = printer.logicalDpiX() / kMmPerInch;
    const int count = last - first + 1;
    for (int n = first; n <= last; ++n) {
        const Page& page = document.pages[size_t(n - 1)];
        if (n > first) {
            if (page.size != document.pages[size_t(n - 2)].size)
                printer.setPageLayout(pageLayoutFor(page.size));
            printer.newPage();
        }
        paintPage(painter, page, pixelsPerMm);
        if (progress && !progress(n - first + 1, count)) {
            printer.abort();
            painter.end();
            setError(error, QStringLiteral("打印已取消。"));
            return false;
        }
    }
    painter.end();
    return true;
}

bool writePdf(const Document& document, const QString& path, QString* error) {
    if (document.pages.empty()) {
        setError(error, QStringLiteral("报表没有可保存的页。"));
        return false;
    }
    // The PDF goes to a temporary file that replaces the target only when it is whole: a
    // failed write (a full disk, a share gone) never leaves a cut-off file in place of a good one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("无法创建文件“%1”：%2").arg(path, file.errorString()));
        return false;
    }
    bool ok = true;
    {
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setTitle(document.title);
        writer.setCreator(QStringLiteral("青石岭固定资产管理"));
        writer.setPageLayout(pageLayoutFor(document.pages.front().size));
        QPainter painter;
        if (!painter.begin(&writer)) {
            ok = false;
        } else {
            const qreal pixelsPerMm = writer.resolution() / kMmPerInch;
            for (size_t i = 0; i < document.pages.size(); ++i) {
                const Page& page = document.pages[i];
                if (i > 0) {
                    if (page.size != document.pages[i - 1].size)
                        writer.setPageLayout(pageLayoutFor(page.size));
                    writer.newPage();
                }
                paintPage(painter, page, pixelsPerMm);
            }
            ok = painter.end();
        }
    }
    if (!ok || file.error() != QFileDevice::NoError || !file.commit()) {
        file.cancelWriting();
        setError(error, QStringLiteral("无法写入 PDF 文件“%1”：%2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

}  // namespace fx::report
