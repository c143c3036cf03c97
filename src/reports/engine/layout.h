#pragma once

#include <QDateTime>
#include <memory>

#include "displaylist.h"
#include "report.h"

namespace fx::report {

class DataSource;

struct RunOptions {
    // What system items print as the date and time; invalid: the moment the layout starts.
    // Report code passes the program clock here so that printed dates are testable.
    QDateTime printedAt;
};

// Lays out a report over a data source, one page at a time, into a Document.
//
// Bands print in this order: the page header (every page), the title (first page), the
// column header (every page); for each record the group headers from the outermost group that
// broke inwards, the detail band; before a break the footers of the groups that end, innermost
// first; after the last record every group footer and the summary; the page footer at the
// bottom of every page, its height kept free on each page. A band of height 0 prints nothing;
// its child bands print after it unless their own height is 0. A band that does not fit on a
// page goes to the next; one taller than a whole page is split between lines of text. With
// several columns the detail band (its children kept under it) fills the page left to right,
// then down, a band's width (or, without one, the column width) plus the column spacing
// apart.
//
// Group headers read the first record of their group, group footers and the summary the last
// one; a page footer reads the last record placed. SUM and COUNT run over the records laid out
// so far in their scope: the report, or their group (reset after the group's footer).
class ReportLayout {
public:
    // Copies the report; `data` must outlive the layout.
    ReportLayout(const Report& report, const DataSource& data, const RunOptions& options = {});
    ~ReportLayout();
    ReportLayout(const ReportLayout&) = delete;
    ReportLayout& operator=(const ReportLayout&) = delete;

    // Lays out the next page; false when the report was already complete.
    bool layoutNextPage();
    // Lays out every remaining page.
    void layoutAll();
    bool finished() const;
    // Records laid out so far (for progress).
    int recordsDone() const;
    int recordCount() const;

    // The pages laid out so far. Page counts ("共 N 页") are filled in once finished.
    const Document& document() const;
    // Lays out what remains and hands over the document.
    Document takeDocument();

private:
    struct State;
    std::unique_ptr<State> d;
};

// Lays out a whole report.
Document layoutReport(const Report& report, const DataSource& data, const RunOptions& options = {});

}  // namespace fx::report
