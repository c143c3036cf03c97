#include "layout.h"

#include <deque>
#include <functional>

#include "bandrender.h"
#include "datasource.h"
#include "expression.h"

namespace fx::report {

namespace {

using detail::alignedWidth;
using detail::BandRenderer;
using detail::RenderedBand;
using detail::splitRenderedBand;

constexpr qreal kEpsilon = 1e-6;

enum class Placement { Placed, Split, NoRoom };

RunOptions withDate(RunOptions o) {
    if (!o.printedAt.isValid()) o.printedAt = QDateTime::currentDateTime();
    return o;
}

}  // namespace

struct ReportLayout::State {
    Report report;
    const DataSource& data;
    RunOptions options;
    BandRenderer renderer;
    Document doc;
    QSizeF pageSize;
    std::vector<Expression> groupKeys;

    // Record loop.
    int nextRow = 0;
    bool generatorDone = false;
    std::vector<QString> previousKeys;
    std::deque<RenderedBand> queue;

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
        : report(r),
          data(source),
          options(withDate(o)),
          renderer(report, data, options.printedAt),
          pageSize(report.page.pageSize()) {
        doc.title = report.title;
        for (const Group& g : report.groups) {
            groupKeys.emplace_back(g.expression);
            groupKeys.back().bind(&data);
        }
        done = data.count() == 0 && !report.options.printIfEmpty;
    }

    void enqueue(const Band* band, int row, bool columnar = false) {
        if (!band) return;
        std::vector<RenderedBand> jobs;
        renderer.collect(*band, row, columnar, jobs);
        if (columnar && jobs.size() > 1) {
            // Across the page a card and its child bands stay together in one column.
            RenderedBand& card = jobs.front();
            for (size_t i = 1; i < jobs.size(); ++i) {
                for (Primitive p : jobs[i].prims) {
                    if (p.kind == Primitive::Kind::Line)
                        p.line.translate(0, card.height);
                    else
                        p.rect.translate(0, card.height);
                    card.prims.push_back(std::move(p));
                }
                card.pending.insert(card.pending.end(), jobs[i].pending.begin(),
                                    jobs[i].pending.end());
                card.height += jobs[i].height;
            }
            jobs.resize(1);
        }
        for (RenderedBand& j : jobs) queue.push_back(std::move(j));
    }

    // ---- the record loop -----------------------------------------------------------------

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
                    renderer.resetFrom(broken);
                }
            }
            for (int level = broken; level < groupCount; ++level) {
                const Group& g = report.groups[size_t(level)];
                enqueue(g.header ? &*g.header : nullptr, row);
            }
            previousKeys = std::move(keys);
            renderer.accumulate(row);
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

    void put(RenderedBand& job, qreal x, qreal top) {
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
                    p.text = renderer.systemText(*pending, pageNumber(), 0);
                    if (pending->autoSize)
                        p.rect = alignedWidth(p.rect, renderer.metrics().width(p.font, p.text),
                                              pending->align);
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

    Placement place(RenderedBand& job) {
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
            RenderedBand first;
            if (limit - y > kEpsilon && splitRenderedBand(job, limit - y, &first)) {
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
        std::vector<RenderedBand> jobs;
        renderer.collect(band, row, false, jobs);
        for (RenderedBand& j : jobs) {
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
            std::vector<RenderedBand> jobs;
            renderer.collect(*report.titleBand, first, false, jobs);
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
            std::vector<RenderedBand> jobs;
            renderer.collect(*report.columnHeader, currentRow(), false, jobs);
            qreal h = 0;
            for (const RenderedBand& j : jobs) h += j.height;
            if (y + h <= limit + kEpsilon) placeColumnHeader();
            columnHeaderPending = false;
        }
        if (!report.pageFooter || (last && !report.options.lastPageFooter)) return;
        std::vector<RenderedBand> jobs;
        renderer.collect(*report.pageFooter, lastRow, false, jobs);
        qreal total = 0;
        for (const RenderedBand& j : jobs) total += j.height;
        qreal top = pageSize.height() - report.page.margins.bottom - total;
        for (RenderedBand& j : jobs) {
            put(j, report.page.margins.left, top);
            top += j.height;
        }
    }

    void fillPageCounts() {
        const int count = int(doc.pages.size());
        for (const CountSlot& s : countSlots) {
            Primitive& p = doc.pages[size_t(s.page)].primitives[s.prim];
            p.text = renderer.systemText(*s.item, s.page + 1, count);
            if (s.item->autoSize)
                p.rect =
                    alignedWidth(p.rect, renderer.metrics().width(p.font, p.text), s.item->align);
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
    : d(std::make_unique<State>(report, data, options)) {}

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
