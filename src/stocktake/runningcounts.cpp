#include "runningcounts.h"

#include "connection.h"
#include "rowset.h"

namespace fx::stocktake {

namespace {

// Adds the rows of each found kind among the scans after `after` (up to `upTo` when it is not
// 0) to `n`; returns the highest scan number seen.
qint64 addScans(db::Connection& c, int id, qint64 after, qint64 upTo, Counts& n) {
    // After a first read only the scans after `after` are read, found by their numbers (the
    // table's own order) rather than through an index on the stocktake, which would walk every
    // scan counted already.
    QString sql = QStringLiteral(
                      "select jg, count(*) as n, max(smid) as top from pdsm%1 where "
                      "pdid=%2 and smid>%3")
                      .arg(after > 0 ? QStringLiteral(" not indexed") : QString())
                      .arg(id)
                      .arg(after);
    if (upTo > 0) sql += QStringLiteral(" and smid<=%1").arg(upTo);
    db::RowSet r(c, sql + QStringLiteral(" group by jg"));
    r.open();
    qint64 top = after;
    for (; !r.eof(); r.next()) {
        const QString result = r.text(QStringLiteral("jg"));
        const int rows = r.integer(QStringLiteral("n"));
        top = std::max(top, qint64(r.integer(QStringLiteral("top"))));
        // A found kind is one row per asset, a surplus code one row per code: a second scan of
        // either is recorded as 重复扫描, judged inside the scan's transaction.
        if (result == resultText(ScanResult::Found)) {
            n.found += rows;
        } else if (result == resultText(ScanResult::Misplaced)) {
            n.found += rows;
            n.misplaced += rows;
        } else if (result == resultText(ScanResult::Surplus)) {
            n.surplus += rows;
        }
    }
    return top;
}

}  // namespace

const Counts& RunningCounts::refresh(db::Connection& c) {
    // The highest scan number first: a scan committed meanwhile is left to the next update
    // instead of being counted twice.
    const qint64 top = c.queryValue(QStringLiteral("select max(smid) from pdsm")).toLongLong();
    Counts n;
    n.expected = c.queryValue(QStringLiteral("select ys from pdrw where pdid=%1").arg(id_)).toInt();
    if (top > 0) addScans(c, id_, 0, top, n);
    counts_ = n;
    lastScan_ = top;
    return counts_;
}

const Counts& RunningCounts::update(db::Connection& c) {
    Counts n = counts_;
    lastScan_ = addScans(c, id_, lastScan_, 0, n);
    counts_ = n;
    return counts_;
}

}  // namespace fx::stocktake
