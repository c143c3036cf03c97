#include "layout.h"

#include <QDate>
#include <deque>
#include <functional>
#include <unordered_map>

#include "datasource.h"
#include "expression.h"
#include "textmetrics.h"

namespace fx::report {

namespace {

constexpr qreal kEpsilon = 1e-6;

// A band rendered for one record, in mm from the band's top left corner, waiting for its
// place on a page.
struct Job {
    const Band* band = nullptr;
    int row = -1;
    bool columnar = false;
    bool title = false;  // the title band or one of its children
    qreal width = 0;
    qreal height = 0;
    std::vector<Primitive> prims;
    // Parallel to prims: the system item whose text is known only once placed (page number,
    // page count), else null.
    std::vector<const Item*> pending;
};

struct CompiledItem {
    Expression expression;
    int field = -1;
    int scopeLevel = -1;  // group level whose break resets SUM and COUNT; -1: the report
};

enum class Placement { Placed, Split, NoRoom };

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

// Moves a rectangle of width `w` so that the edge its alignment names stays where it was.
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

bool isText(const Primitive& p) {
    return p.kind == Primitive::Kind::Text;
}

// Splits a rendered band at `cut` mm from its top: what lies above stays in `first`, the rest
// moves up into `job`. Lines of text are never cut; the cut moves up to the top of a line it
// would cross. Returns false when nothing would stay above the cut.
bool splitJob(Job& job, qreal cut, Job* first) {
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
    Job rest = job;
    rest.prims.clear();
    rest.pending.clear();
    rest.height = job.height - cut;
    auto keep = [](Job& j, const Primitive& p, const Item* pending) {
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

}  // namespace

struct ReportLayout::State {
    Report report;
    const DataSource& data;
    RunOptions options;
    TextMetrics metrics;
    Document doc;
    QSizeF pageSize;

    std::unordered_map<const Item*, CompiledItem> compiled;
    std::vector<Expression*> aggregating;  // every expression holding SUM or COUNT
    std::vector<Expression> groupKeys;

    // Record loop.
    int nextRow = 0;
    bool generatorDone = false;
    std::vector<QString> previousKeys;
    std::deque<Job> queue;

    // The page being filled.
    qreal y = 0;
    qreal limit = 0;
    bool bodyPlaced = false;
    bool columnHeaderPending = false;
    int column = 0;
    qreal rowTop = 0;
    qreal rowHeight = 0;
    int lastRow = -1;
    bool done = false;

    struct CountSlot {
        int page;
        size_t prim;
        const Item* item;
    };
    std::vector<CountSlot> countSlots;

    State(const Report& r, const DataSource& source, const RunOptions& o)
        : report(r), data(source), options(o) {}

    void compileBand(const Band& band, int level) {
        for (const Item& item : band.items) {
            CompiledItem c;
            if (item.kind == ItemKind::Expression) {
                c.expression = Expression(item.expression);
                c.expression.bind(&data);
            }
            if (!item.field.isEmpty()) c.field = data.fieldIndex(item.field);
            switch (item.scope) {
                case AggregateScope::Auto:
                case AggregateScope::Group:
                    c.scopeLevel = level;
                    break;
                case AggregateScope::Report:
                    c.scopeLevel = -1;
                    break;
            }
            auto& stored = compiled[&item] = std::move(c);
            if (stored.expression.hasAggregates()) aggregating.push_back(&stored.expression);
        }
        for (const Band& child : band.children) compileBand(child, level);
    }

    void compile() {
        if (report.pageHeader) compileBand(*report.pageHeader, -1);
        if (report.titleBand) compileBand(*report.titleBand, -1);
        if (report.columnHeader) compileBand(*report.columnHeader, -1);
        compileBand(report.detail, -1);
        for (size_t i = 0; i < report.groups.size(); ++i) {
            const Group& g = report.groups[i];
            if (g.header) compileBand(*g.header, int(i));
            if (g.footer) compileBand(*g.footer, int(i));
            groupKeys.emplace_back(g.expression);
            groupKeys.back().bind(&data);
        }
        if (report.summary) compileBand(*report.summary, -1);
        if (report.pageFooter) compileBand(*report.pageFooter, -1);
    }

    // ---- rendering -----------------------------------------------------------------------

    QString fieldText(const Item& item, int field, int row) const {
        if (field < 0 || row < 0) return {};
        const QVariant v = data.value(row, field);
        if (!item.format.isEmpty()) {
            if (v.typeId() == QMetaType::QDate) return v.toDate().toString(item.format);
            if (v.typeId() == QMetaType::QDateTime) return v.toDateTime().toString(item.format);
            const Value value = Value::fromVariant(v);
            if (value.type() == Value::Type::Number)
                return formatNumeric(item.format, value.toNumber());
        }
        return Value::fromVariant(v).toText();
    }

    QString systemText(const Item& item, int pageNumber, int pageCount) const {
        const QDateTime& at = options.printedAt;
        QString value;
        switch (item.system) {
            case SystemValue::ReportTitle:
                value = report.title;
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

    static bool needsPage(const Item& item) {
        return item.kind == ItemKind::System &&
               (item.system == SystemValue::PageNumber || item.system == SystemValue::PageCount ||
                item.system == SystemValue::PageOfCount);
    }

    QString itemText(const Item& item, const CompiledItem& c, int row) const {
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
            case ItemKind::Shape:
            case ItemKind::Image:
                break;
        }
        return {};
    }

    // Renders one item into the job; returns the bottom of the item when it stretched.
    qreal renderItem(Job& job, const Band& band, const Item& item, qreal bandWidth) {
        const CompiledItem& c = compiled.at(&item);
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
        } else if (needsPage(item)) {
            // The text is set when the page is known.
            const QRectF line(r.left(), r.top(), r.width(), metrics.lineHeight(item.font));
            job.prims.push_back(textPrimitive(band, item, line, QString()));
            job.pending.push_back(&item);
        } else {
            const QString text = itemText(item, c, job.row);
            const bool wrap = item.wordWrap || item.kind == ItemKind::RichText;
            QStringList lines;
            if (wrap && !item.autoSize) {
                lines = metrics.wrap(item.font, text, r.width());
            } else {
                lines = text.split(QLatin1Char('\n'));
                if (item.autoSize) {
                    qreal w = 0;
                    for (const QString& l : lines) w = qMax(w, metrics.width(item.font, l));
                    r = alignedWidth(r, w, item.align);
                }
            }
            const qreal lineHeight = metrics.lineHeight(item.font);
            int shown = int(lines.size());
            if (item.autoStretch) {
                const qreal needed = lines.size() * lineHeight;
                if (needed > r.height()) {
                    r.setHeight(needed);
                    stretchedBottom = r.bottom();
                }
            } else {
                // Lines below the item's box are cut off; the first line always shows.
                shown = 1;
                while (shown < lines.size() && shown * lineHeight < r.height() - kEpsilon) ++shown;
            }
            if (!text.isEmpty()) {
                for (int i = 0; i < shown; ++i) {
                    if (lines.at(i).isEmpty()) continue;
                    const QRectF lineRect(r.left(), r.top() + i * lineHeight, r.width(),
                                          lineHeight);
                    job.prims.push_back(textPrimitive(band, item, lineRect, lines.at(i)));
                    job.pending.push_back(nullptr);
                }
            }
        }
        addFrame(job.prims, job.pending, band.name, item.name, r, item.frame);
        return stretchedBottom;
    }

    Job render(const Band& band, int row, bool columnar) {
        Job job;
        job.band = &band;
        job.row = row;
        job.columnar = columnar;
        const qreal fullWidth = columnar ? report.page.columnWidth() : report.page.printableWidth();
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
    void collect(const Band& band, int row, bool columnar, std::vector<Job>& out) {
        if (band.height > kEpsilon) out.push_back(render(band, row, columnar));
        for (const Band& child : band.children) collect(child, row, columnar, out);
    }

    void enqueue(const Band* band, int row, bool columnar = false) {
        if (!band) return;
        std::vector<Job> jobs;
        collect(*band, row, columnar, jobs);
        for (Job& j : jobs) queue.push_back(std::move(j));
    }

    // ---- the record loop -----------------------------------------------------------------

    void resetFrom(int level) {
        for (auto& [item, c] : compiled)
            if (c.scopeLevel >= level && c.expression.hasAggregates())
                c.expression.resetAggregates();
    }

    // Queues the bands of the next record, or the closing bands; false when all is queued.
    bool generateMore() {
        if (generatorDone) return false;
        const int count = data.count();
        const int groupCount = int(report.groups.size());
        if (nextRow < count) {
            const int row = nextRow++;
            std::vector<QString> keys;
            keys.reserve(size_t(groupCount));
            for (const Expression& k : groupKeys) keys.push_back(k.evaluate(row).toText());
            int broken = groupCount;
            if (row == 0) {
                broken = 0;
            } else {
                for (int i = 0; i < groupCount; ++i) {
                    if (keys[size_t(i)] != previousKeys[size_t(i)]) {
                        broken = i;
                        break;
                    }
                }
                if (broken < groupCount) {
                    for (int level = groupCount - 1; level >= broken; --level) {
                        const Group& g = report.groups[size_t(level)];
                        enqueue(g.footer ? &*g.footer : nullptr, row - 1);
                    }
                    resetFrom(broken);
                }
            }
            for (int level = broken; level < groupCount; ++level) {
                const Group& g = report.groups[size_t(level)];
                enqueue(g.header ? &*g.header : nullptr, row);
            }
            previousKeys = std::move(keys);
            for (Expression* e : aggregating) e->accumulate(row);
            enqueue(&report.detail, row, report.page.columns > 1);
            return true;
        }
        const int last = count - 1;
        if (count > 0) {
            for (int level = groupCount - 1; level >= 0; --level) {
                const Group& g = report.groups[size_t(level)];
                enqueue(g.footer ? &*g.footer : nullptr, last);
            }
        }
        enqueue(report.summary ? &*report.summary : nullptr, last);
        generatorDone = true;
        return true;
    }

    // ---- pages ---------------------------------------------------------------------------

    int pageNumber() const { return int(doc.pages.size()); }

    void put(Job& job, qreal x, qreal top) {
        Page& page = doc.pages.back();
        for (size_t i = 0; i < job.prims.size(); ++i) {
            Primitive p = job.prims[i];
            if (p.kind == Primitive::Kind::Line)
                p.line.translate(x, top);
            else
                p.rect.translate(x, top);
            const Item* pending = job.pending[i];
            if (pending) {
                if (pending->system == SystemValue::PageNumber) {
                    p.text = systemText(*pending, pageNumber(), 0);
                    if (pending->autoSize)
                        p.rect =
                            alignedWidth(p.rect, metrics.width(p.font, p.text), pending->align);
                } else {
                    countSlots.push_back({pageNumber() - 1, page.primitives.size(), pending});
                }
            }
            page.primitives.push_back(std::move(p));
        }
        page.bands.push_back(BandPlacement{job.band->name, job.band->kind,
                                           QRectF(x, top, job.width, job.height), job.row});
        if (job.row >= 0) lastRow = job.row;
    }

    void closeRow() {
        if (column > 0) {
            y = rowTop + rowHeight;
            column = 0;
        }
    }

    Placement place(Job& job) {
        const Margins& m = report.page.margins;
        if (job.columnar) {
            if (column == 0) {
                rowTop = y;
                rowHeight = 0;
            }
            if (rowTop + job.height > limit + kEpsilon && bodyPlaced) return Placement::NoRoom;
            // Columns step by the card's own width when the band has one (label sheets).
            const qreal x = m.left + column * (job.width + report.page.columnSpacing);
            put(job, x, rowTop);
            rowHeight = qMax(rowHeight, job.height);
            bodyPlaced = true;
            if (++column >= report.page.columns) closeRow();
            return Placement::Placed;
        }
        closeRow();
        if (y + job.height > limit + kEpsilon) {
            if (bodyPlaced) return Placement::NoRoom;
            Job first;
            if (limit - y > kEpsilon && splitJob(job, limit - y, &first)) {
                put(first, m.left, y);
                y += first.height;
                bodyPlaced = true;
                return Placement::Split;
            }
        }
        put(job, m.left, y);
        y += job.height;
        bodyPlaced = true;
        return Placement::Placed;
    }

    // Places a page-top band (and its children) without asking for room.
    void placeFixed(const Band& band, int row) {
        std::vector<Job> jobs;
        collect(band, row, false, jobs);
        for (Job& j : jobs) {
            put(j, report.page.margins.left, y);
            y += j.height;
        }
    }

    qreal footerReserve() const {
        if (!report.pageFooter) return 0;
        qreal h = 0;
        std::function<void(const Band&)> add = [&](const Band& b) {
            if (b.height > kEpsilon) h += b.height;
            for (const Band& c : b.children) add(c);
        };
        add(*report.pageFooter);
        return h;
    }

    int currentRow() const {
        if (!queue.empty()) return queue.front().row;
        if (nextRow < data.count()) return nextRow;
        return lastRow;
    }

    void startPage() {
        Page page;
        page.size = pageSize;
        doc.pages.push_back(std::move(page));
        const Margins& m = report.page.margins;
        y = m.top;
        limit = pageSize.height() - m.bottom - footerReserve();
        bodyPlaced = false;
        column = 0;
        const int first = data.count() > 0 ? 0 : -1;
        if (report.pageHeader && (pageNumber() > 1 || report.options.firstPageHeader))
            placeFixed(*report.pageHeader, pageNumber() == 1 ? first : currentRow());
        if (pageNumber() == 1 && report.titleBand) {
            // The title flows like any band, so that a long one (a slip's list in a child
            // band) continues on the next page; the column header waits until it is done.
            std::vector<Job> jobs;
            collect(*report.titleBand, first, false, jobs);
            for (auto it = jobs.rbegin(); it != jobs.rend(); ++it) {
                it->title = true;
                queue.push_front(std::move(*it));
            }
        }
        columnHeaderPending = report.columnHeader.has_value();
    }

    void placeColumnHeader() {
        columnHeaderPending = false;
        closeRow();
        placeFixed(*report.columnHeader, currentRow());
    }

    void finishPage(bool last) {
        closeRow();
        // A page with nothing but the title still gets its column header where there is room.
        if (columnHeaderPending) {
            std::vector<Job> jobs;
            collect(*report.columnHeader, currentRow(), false, jobs);
            qreal h = 0;
            for (const Job& j : jobs) h += j.height;
            if (y + h <= limit + kEpsilon) placeColumnHeader();
            columnHeaderPending = false;
        }
        if (!report.pageFooter || (last && !report.options.lastPageFooter)) return;
        std::vector<Job> jobs;
        collect(*report.pageFooter, lastRow, false, jobs);
        qreal total = 0;
        for (const Job& j : jobs) total += j.height;
        qreal top = pageSize.height() - report.page.margins.bottom - total;
        for (Job& j : jobs) {
            put(j, report.page.margins.left, top);
            top += j.height;
        }
    }

    void fillPageCounts() {
        const int count = int(doc.pages.size());
        for (const CountSlot& s : countSlots) {
            Primitive& p = doc.pages[size_t(s.page)].primitives[s.prim];
            p.text = systemText(*s.item, s.page + 1, count);
            if (s.item->autoSize)
                p.rect = alignedWidth(p.rect, metrics.width(p.font, p.text), s.item->align);
        }
        countSlots.clear();
    }

    bool nextPage() {
        if (done) return false;
        startPage();
        bool pageFull = false;
        for (;;) {
            if (queue.empty()) {
                if (!generateMore()) break;
                continue;
            }
            if (columnHeaderPending && !queue.front().title) placeColumnHeader();
            const Placement result = place(queue.front());
            if (result == Placement::Placed) {
                queue.pop_front();
                continue;
            }
            pageFull = true;
            break;
        }
        const bool last = !pageFull;
        finishPage(last);
        if (last) {
            done = true;
            fillPageCounts();
        }
        return true;
    }
};

ReportLayout::ReportLayout(const Report& report, const DataSource& data, const RunOptions& options)
    : d(std::make_unique<State>(report, data, options)) {
    if (!d->options.printedAt.isValid()) d->options.printedAt = QDateTime::currentDateTime();
    d->doc.title = report.title;
    d->pageSize = d->report.page.pageSize();
    d->compile();
    if (data.count() == 0 && !report.options.printIfEmpty) d->done = true;
}

ReportLayout::~ReportLayout() = default;

bool ReportLayout::layoutNextPage() {
    return d->nextPage();
}

void ReportLayout::layoutAll() {
    while (d->nextPage()) {
    }
}

bool ReportLayout::finished() const {
    return d->done;
}

int ReportLayout::recordsDone() const {
    return d->nextRow;
}

int ReportLayout::recordCount() const {
    return d->data.count();
}

const Document& ReportLayout::document() const {
    return d->doc;
}

Document ReportLayout::takeDocument() {
    layoutAll();
    return std::move(d->doc);
}

Document layoutReport(const Report& report, const DataSource& data, const RunOptions& options) {
    ReportLayout layout(report, data, options);
    return layout.takeDocument();
}

}  // namespace fx::report
