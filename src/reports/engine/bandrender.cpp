#include "bandrender.h"

#include <QDate>

#include "datasource.h"

namespace fx::report::detail {

namespace {

constexpr qreal kEpsilon = 1e-6;

Primitive textPrimitive(const Band& band, const Item& item, const QRectF& rect,
                        const QString& text) {
    Primitive p;
    p.kind = Primitive::Kind::Text;
    p.band = band.name;
    p.item = item.name;
    p.rect = rect;
    p.text = text;
    p.font = item.font;
    p.align = item.align;
    p.color = item.color;
    return p;
}

Primitive linePrimitive(const QString& band, const QString& item, const QLineF& line,
                        const QColor& color, qreal width) {
    Primitive p;
    p.kind = Primitive::Kind::Line;
    p.band = band;
    p.item = item;
    p.line = line;
    p.color = color;
    p.penWidth = width;
    return p;
}

// Frame lines along the chosen sides of `r`.
void addFrame(std::vector<Primitive>& out, std::vector<const Item*>& pending, const QString& band,
              const QString& item, const QRectF& r, const Frame& frame) {
    if (frame.sides == Frame::None) return;
    auto add = [&](const QLineF& l) {
        out.push_back(linePrimitive(band, item, l, frame.color, frame.width));
        pending.push_back(nullptr);
    };
    if (frame.sides & Frame::Top) add(QLineF(r.topLeft(), r.topRight()));
    if (frame.sides & Frame::Bottom) add(QLineF(r.bottomLeft(), r.bottomRight()));
    if (frame.sides & Frame::Left) add(QLineF(r.topLeft(), r.bottomLeft()));
    if (frame.sides & Frame::Right) add(QLineF(r.topRight(), r.bottomRight()));
}

bool isText(const Primitive& p) {
    return p.kind == Primitive::Kind::Text;
}

// True when every line is within the width and all of them within the height (a single line
// always counts as fitting the height: the first line always prints).
bool fitsBox(TextMetrics& metrics, const FontDesc& font, const QStringList& lines,
             const QRectF& box) {
    for (const QString& l : lines)
        if (metrics.width(font, l) > box.width() + kEpsilon) return false;
    return lines.size() <= 1 || lines.size() * metrics.lineHeight(font) <= box.height() + kEpsilon;
}

// `line` shortened from the end until it and a closing "…" fit the width.
QString cutLine(TextMetrics& metrics, const FontDesc& font, QString line, qreal width) {
    const QString ellipsis(QChar(0x2026));
    while (!line.isEmpty() && metrics.width(font, line + ellipsis) > width + kEpsilon) line.chop(1);
    return line + ellipsis;
}

// The lines that fit the box, the last one cut when text had to be left out.
QStringList cutToBox(TextMetrics& metrics, const FontDesc& font, QStringList lines,
                     const QRectF& box) {
    const int room = qMax(1, int((box.height() + kEpsilon) / metrics.lineHeight(font)));
    const bool dropped = lines.size() > room;
    if (dropped) lines = lines.mid(0, room);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const bool last = i + 1 == lines.size();
        if ((last && dropped) || metrics.width(font, lines[i]) > box.width() + kEpsilon)
            lines[i] = cutLine(metrics, font, lines[i], box.width());
    }
    return lines;
}

}  // namespace

QRectF alignedWidth(const QRectF& r, qreal w, HAlign align) {
    QRectF out = r;
    switch (align) {
        case HAlign::Left:
            out.setWidth(w);
            break;
        case HAlign::Right:
            out.setLeft(r.right() - w);
            break;
        case HAlign::Center:
            out.setLeft(r.center().x() - w / 2);
            out.setWidth(w);
            break;
    }
    return out;
}

bool splitRenderedBand(RenderedBand& job, qreal cut, RenderedBand* first) {
    bool moved = true;
    while (moved) {
        moved = false;
        for (const Primitive& p : job.prims) {
            if (isText(p) && p.rect.top() < cut - kEpsilon && p.rect.bottom() > cut + kEpsilon) {
                cut = p.rect.top();
                moved = true;
            }
        }
    }
    if (cut <= kEpsilon) return false;
    *first = job;
    first->prims.clear();
    first->pending.clear();
    first->height = cut;
    RenderedBand rest = job;
    rest.prims.clear();
    rest.pending.clear();
    rest.height = job.height - cut;
    auto keep = [](RenderedBand& j, const Primitive& p, const Item* pending) {
        j.prims.push_back(p);
        j.pending.push_back(pending);
    };
    for (size_t i = 0; i < job.prims.size(); ++i) {
        const Primitive& p = job.prims[i];
        const Item* pending = job.pending[i];
        if (p.kind == Primitive::Kind::Line) {
            const qreal top = qMin(p.line.y1(), p.line.y2());
            const qreal bottom = qMax(p.line.y1(), p.line.y2());
            if (bottom <= cut + kEpsilon) {
                keep(*first, p, pending);
            } else if (top >= cut - kEpsilon) {
                Primitive q = p;
                q.line.translate(0, -cut);
                keep(rest, q, pending);
            } else if (p.line.x1() == p.line.x2()) {
                // A vertical frame line continues on the next page.
                Primitive a = p, b = p;
                a.line = QLineF(p.line.x1(), top, p.line.x1(), cut);
                b.line = QLineF(p.line.x1(), 0, p.line.x1(), bottom - cut);
                keep(*first, a, pending);
                keep(rest, b, pending);
            } else {
                keep(*first, p, pending);
            }
            continue;
        }
        if (p.rect.bottom() <= cut + kEpsilon) {
            keep(*first, p, pending);
        } else if (p.rect.top() >= cut - kEpsilon) {
            Primitive q = p;
            q.rect.translate(0, -cut);
            keep(rest, q, pending);
        } else if (p.kind == Primitive::Kind::Rect) {
            Primitive a = p, b = p;
            a.rect.setBottom(cut);
            b.rect = QRectF(p.rect.left(), 0, p.rect.width(), p.rect.bottom() - cut);
            keep(*first, a, pending);
            keep(rest, b, pending);
        } else {
            keep(*first, p, pending);
        }
    }
    job = std::move(rest);
    return true;
}

BandRenderer::BandRenderer(const Report& report, const DataSource& data, const QDateTime& printedAt)
    : report_(report), data_(data), printedAt_(printedAt) {
    compileAll();
}

void BandRenderer::compileBand(const Band& band, int level) {
    for (const Item& item : band.items) {
        CompiledItem c;
        if (item.kind == ItemKind::Expression ||
            (item.kind == ItemKind::Barcode && !item.expression.isEmpty())) {
            c.expression = Expression(item.expression);
            c.expression.bind(&data_);
        }
        if (!item.field.isEmpty()) c.field = data_.fieldIndex(item.field);
        switch (item.scope) {
            case AggregateScope::Auto:
            case AggregateScope::Group:
                c.scopeLevel = level;
                break;
            case AggregateScope::Report:
                c.scopeLevel = -1;
                break;
        }
        auto& stored = compiled_[&item] = std::move(c);
        if (stored.expression.hasAggregates()) aggregating_.push_back(&stored.expression);
    }
    for (const Band& child : band.children) compileBand(child, level);
}

void BandRenderer::compileAll() {
    if (report_.pageHeader) compileBand(*report_.pageHeader, -1);
    if (report_.titleBand) compileBand(*report_.titleBand, -1);
    if (report_.columnHeader) compileBand(*report_.columnHeader, -1);
    compileBand(report_.detail, -1);
    for (size_t i = 0; i < report_.groups.size(); ++i) {
        const Group& g = report_.groups[i];
        if (g.header) compileBand(*g.header, int(i));
        if (g.footer) compileBand(*g.footer, int(i));
    }
    if (report_.summary) compileBand(*report_.summary, -1);
    if (report_.pageFooter) compileBand(*report_.pageFooter, -1);
}

QString BandRenderer::fieldText(const Item& item, int field, int row) const {
    if (field < 0 || row < 0) return {};
    const QVariant v = data_.value(row, field);
    if (!item.format.isEmpty()) {
        if (v.typeId() == QMetaType::QDate) return v.toDate().toString(item.format);
        if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().toString(item.format);
        const Value value = Value::fromVariant(v);
        if (value.type() == Value::Type::Number)
            return formatNumeric(item.format, value.toNumber());
    }
    return Value::fromVariant(v).toText();
}

QString BandRenderer::systemText(const Item& item, int pageNumber, int pageCount) const {
    const QDateTime& at = printedAt_;
    QString value;
    switch (item.system) {
        case SystemValue::ReportTitle:
            value = report_.title;
            break;
        case SystemValue::PageNumber:
            value = QString::number(pageNumber);
            break;
        case SystemValue::PageCount:
            value = QString::number(pageCount);
            break;
        case SystemValue::PageOfCount:
            value = (item.format.isEmpty() ? QStringLiteral("%1/%2") : item.format)
                        .arg(pageNumber)
                        .arg(pageCount);
            break;
        case SystemValue::Date:
            value = at.date().toString(item.format.isEmpty() ? QStringLiteral("yyyy-MM-dd")
                                                             : item.format);
            break;
        case SystemValue::Time:
            value = at.time().toString(item.format.isEmpty() ? QStringLiteral("hh:mm:ss")
                                                             : item.format);
            break;
        case SystemValue::DateTime:
            value = at.toString(item.format.isEmpty() ? QStringLiteral("yyyy-MM-dd hh:mm:ss")
                                                      : item.format);
            break;
    }
    return item.text + value;
}

bool BandRenderer::needsPage(const Item& item) {
    return item.kind == ItemKind::System &&
           (item.system == SystemValue::PageNumber || item.system == SystemValue::PageCount ||
            item.system == SystemValue::PageOfCount);
}

QString BandRenderer::itemText(const Item& item, const CompiledItem& c, int row) const {
    switch (item.kind) {
        case ItemKind::Label:
            return item.text;
        case ItemKind::Field:
            return fieldText(item, c.field, row);
        case ItemKind::RichText:
            return item.field.isEmpty() ? item.text : fieldText(item, c.field, row);
        case ItemKind::Expression: {
            const Value v = c.expression.evaluate(row);
            if (!item.format.isEmpty() && v.type() == Value::Type::Number)
                return formatNumeric(item.format, v.toNumber());
            return v.toText();
        }
        case ItemKind::System:
            return needsPage(item) ? QString() : systemText(item, 0, 0);
        case ItemKind::Barcode:
            if (!item.expression.isEmpty()) return c.expression.evaluate(row).toText();
            return item.field.isEmpty() ? item.text : fieldText(item, c.field, row);
        case ItemKind::Shape:
        case ItemKind::Image:
            break;
    }
    return {};
}

// The symbol of a barcode item at the top of its box: modules of the item's size, or smaller
// where the symbol would not fit the box.
void BandRenderer::renderBarcode(RenderedBand& job, const Band& band, const Item& item,
                                 const QRectF& box, const QString& data) {
    if (data.isEmpty()) return;
    const BarcodeSymbol symbol = encodeBarcode(item.symbology, data);
    if (!symbol.ok()) {
        // Said on the label itself, so that the preview shows why the code is missing.
        const QRectF line(box.left(), box.top(), box.width(), metrics_.lineHeight(item.font));
        job.prims.push_back(
            textPrimitive(band, item, line, QStringLiteral("无法编码为条码：") + data));
        job.pending.push_back(nullptr);
        return;
    }
    const bool square = item.symbology == Symbology::QrCode;
    const int quiet = item.quietZone >= 0 ? item.quietZone : standardQuietZone(item.symbology);
    const qreal across = symbol.columns + 2 * quiet;
    const qreal down = square ? symbol.rows + 2 * quiet : 0;
    qreal module = item.moduleMm;
    if (module <= 0 || module * across > box.width()) module = box.width() / across;
    if (square && module * down > box.height()) module = box.height() / down;
    if (module <= 0) return;
    Primitive p;
    p.kind = Primitive::Kind::Barcode;
    p.band = band.name;
    p.item = item.name;
    p.text = data;
    p.color = item.color;
    p.symbology = item.symbology;
    const qreal height = square ? module * down : box.height();
    p.rect = alignedWidth(QRectF(box.left(), box.top(), box.width(), height), module * across,
                          item.align);
    const qreal barTop = square ? module * quiet : 0;
    p.bars.reserve(symbol.bars.size());
    for (const QRect& b : symbol.bars) {
        const qreal h = square ? b.height() * module : height;
        p.bars.emplace_back(module * (quiet + b.x()), barTop + module * b.y(), module * b.width(),
                            h);
    }
    job.prims.push_back(std::move(p));
    job.pending.push_back(nullptr);
}

// Renders one item into the job; returns the bottom of the item when it stretched.
qreal BandRenderer::renderItem(RenderedBand& job, const Band& band, const Item& item,
                               qreal bandWidth) {
    const CompiledItem& c = compiled_.at(&item);
    QRectF r = item.rect;
    if (item.alignToBand) {
        r.setLeft(0);
        r.setWidth(bandWidth);
    }
    qreal stretchedBottom = 0;
    if (item.kind == ItemKind::Shape) {
        Primitive p;
        p.band = band.name;
        p.item = item.name;
        p.color = item.color;
        p.penWidth = item.penWidth;
        switch (item.shape) {
            case ShapeKind::HorizontalLine:
                p.kind = Primitive::Kind::Line;
                p.line = QLineF(r.left(), r.center().y(), r.right(), r.center().y());
                break;
            case ShapeKind::VerticalLine:
                p.kind = Primitive::Kind::Line;
                p.line = QLineF(r.center().x(), r.top(), r.center().x(), r.bottom());
                break;
            case ShapeKind::Rectangle:
                p.kind = Primitive::Kind::Rect;
                p.rect = r;
                p.fill = item.fill;
                break;
            case ShapeKind::Ellipse:
                p.kind = Primitive::Kind::Ellipse;
                p.rect = r;
                p.fill = item.fill;
                break;
        }
        job.prims.push_back(p);
        job.pending.push_back(nullptr);
    } else if (item.kind == ItemKind::Image) {
        Primitive p;
        p.kind = Primitive::Kind::Image;
        p.band = band.name;
        p.item = item.name;
        p.rect = r;
        // One pixel format, so a saved and reopened report compares equal.
        if (!item.image.isNull()) p.image = item.image.convertToFormat(QImage::Format_ARGB32);
        job.prims.push_back(p);
        job.pending.push_back(nullptr);
    } else if (item.kind == ItemKind::Barcode) {
        renderBarcode(job, band, item, r, itemText(item, c, job.row));
    } else if (needsPage(item)) {
        // The text is set when the page is known.
        const QRectF line(r.left(), r.top(), r.width(), metrics_.lineHeight(item.font));
        job.prims.push_back(textPrimitive(band, item, line, QString()));
        job.pending.push_back(&item);
    } else {
        const QString text = itemText(item, c, job.row);
        const bool wrap = item.wordWrap || item.kind == ItemKind::RichText;
        FontDesc font = item.font;
        auto breakLines = [&] {
            return wrap && !item.autoSize ? metrics_.wrap(font, text, r.width())
                                          : text.split(QLatin1Char('\n'));
        };
        QStringList lines = breakLines();
        if (item.autoSize) {
            qreal w = 0;
            for (const QString& l : lines) w = qMax(w, metrics_.width(font, l));
            r = alignedWidth(r, w, item.align);
        } else if (item.shrinkTo > 0 && !item.autoStretch) {
            while (!fitsBox(metrics_, font, lines, r) &&
                   font.pointSize - 0.5 >= item.shrinkTo - kEpsilon) {
                font.pointSize -= 0.5;
                lines = breakLines();
            }
            if (!fitsBox(metrics_, font, lines, r)) lines = cutToBox(metrics_, font, lines, r);
        }
        const qreal lineHeight = metrics_.lineHeight(font);
        int shown = int(lines.size());
        if (item.autoStretch) {
            const qreal needed = lines.size() * lineHeight;
            if (needed > r.height()) {
                r.setHeight(needed);
                stretchedBottom = r.bottom();
            }
        } else {
            // Only lines that fit wholly in the box print; the first always does.
            shown = 1;
            while (shown < lines.size() && (shown + 1) * lineHeight <= r.height() + kEpsilon)
                ++shown;
        }
        if (!text.isEmpty()) {
            for (int i = 0; i < shown; ++i) {
                if (lines.at(i).isEmpty()) continue;
                const QRectF lineRect(r.left(), r.top() + i * lineHeight, r.width(), lineHeight);
                job.prims.push_back(textPrimitive(band, item, lineRect, lines.at(i)));
                job.prims.back().font = font;
                job.pending.push_back(nullptr);
            }
        }
    }
    addFrame(job.prims, job.pending, band.name, item.name, r, item.frame);
    return stretchedBottom;
}

RenderedBand BandRenderer::render(const Band& band, int row, bool columnar) {
    RenderedBand job;
    job.band = &band;
    job.row = row;
    job.columnar = columnar;
    const qreal fullWidth = columnar ? report_.page.columnWidth() : report_.page.printableWidth();
    job.width = band.width > 0 ? band.width : fullWidth;
    qreal height = band.height;
    for (const Item& item : band.items) {
        if (!item.visible) continue;
        height = qMax(height, renderItem(job, band, item, job.width));
    }
    job.height = height;
    const QRectF bandRect(0, 0, job.width, height);
    if (band.background.isValid()) {
        Primitive bg;
        bg.kind = Primitive::Kind::Rect;
        bg.band = band.name;
        bg.rect = bandRect;
        bg.fill = band.background;
        bg.penWidth = 0;
        job.prims.insert(job.prims.begin(), bg);
        job.pending.insert(job.pending.begin(), nullptr);
    }
    addFrame(job.prims, job.pending, band.name, QString(), bandRect, band.frame);
    return job;
}

// The band and its children, rendered for `row`, in print order.
void BandRenderer::collect(const Band& band, int row, bool columnar,
                           std::vector<RenderedBand>& out) {
    if (band.height > kEpsilon) out.push_back(render(band, row, columnar));
    for (const Band& child : band.children) collect(child, row, columnar, out);
}

void BandRenderer::accumulate(int row) {
    for (Expression* e : aggregating_) e->accumulate(row);
}

void BandRenderer::resetFrom(int level) {
    for (auto& [item, c] : compiled_)
        if (c.scopeLevel >= level && c.expression.hasAggregates()) c.expression.resetAggregates();
}

}  // namespace fx::report::detail
