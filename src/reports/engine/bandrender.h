#pragma once

#include <QDateTime>
#include <unordered_map>
#include <vector>

#include "displaylist.h"
#include "expression.h"
#include "report.h"
#include "textmetrics.h"

namespace fx::report {

class DataSource;

namespace detail {

// A band rendered for one record, in mm from the band's top left corner, waiting for its
// place on a page.
struct RenderedBand {
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

// Moves a rectangle to width `w` so that the edge its alignment names stays where it was.
QRectF alignedWidth(const QRectF& r, qreal w, HAlign align);

// Splits a rendered band at `cut` mm from its top: what lies above goes to `first`, the rest
// moves up and stays in `band`. Lines of text are never cut; the cut moves up to the top of a
// line it would cross. False (and nothing changed) when nothing would stay above the cut.
bool splitRenderedBand(RenderedBand& band, qreal cut, RenderedBand* first);

// Turns bands into drawing primitives for a record: evaluates the items (expressions parsed
// once, fields resolved once), measures and wraps their text, stretches the band, and keeps
// the running SUM and COUNT of every expression.
class BandRenderer {
public:
    // `report` and `data` must outlive the renderer.
    BandRenderer(const Report& report, const DataSource& data, const QDateTime& printedAt);
    BandRenderer(const BandRenderer&) = delete;
    BandRenderer& operator=(const BandRenderer&) = delete;

    // The band for `row` (-1: no record), as wide as a detail column when `columnar`.
    RenderedBand render(const Band& band, int row, bool columnar);
    // The band and its children for `row`, in print order; bands of height 0 are left out.
    void collect(const Band& band, int row, bool columnar, std::vector<RenderedBand>& out);

    // Adds record `row` to every SUM and COUNT of the report.
    void accumulate(int row);
    // Restarts SUM and COUNT of the items scoped to group `level` or an inner one.
    void resetFrom(int level);

    // The text of a system item on page `pageNumber` of `pageCount`.
    QString systemText(const Item& item, int pageNumber, int pageCount) const;
    // True for system items whose text depends on the page.
    static bool needsPage(const Item& item);

    TextMetrics& metrics() { return metrics_; }

private:
    struct CompiledItem {
        Expression expression;
        int field = -1;
        int scopeLevel = -1;  // group level whose break resets SUM and COUNT; -1: the report
    };

    void compileAll();
    void compileBand(const Band& band, int level);
    QString fieldText(const Item& item, int field, int row) const;
    QString itemText(const Item& item, const CompiledItem& c, int row) const;
    void renderBarcode(RenderedBand& job, const Band& band, const Item& item, const QRectF& box,
                       const QString& data);
    // Renders one item; returns the item's bottom when it stretched, else 0.
    qreal renderItem(RenderedBand& job, const Band& band, const Item& item, qreal bandWidth);

    const Report& report_;
    const DataSource& data_;
    QDateTime printedAt_;
    TextMetrics metrics_;
    std::unordered_map<const Item*, CompiledItem> compiled_;
    std::vector<Expression*> aggregating_;  // every expression holding SUM or COUNT
};

}  // namespace detail
}  // namespace fx::report
