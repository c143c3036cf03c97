#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "results.h"
#include "scan.h"
#include "stocktake.h"

namespace fx::stocktake {

// One list of a stocktake's results as text: what the command line prints, the spreadsheet
// holds and the printed report shows.
struct ListTable {
    QString title;  // "已盘点", "盘亏", "位置不符", "盘盈"
    QStringList columns;
    std::vector<QStringList> rows;
};

// The four lists: found, missing (with the values and the follow-up remark), misplaced (with
// both places) and surplus (with what was written about each).
std::array<ListTable, 4> listTables(const Results& r);

// The heading lines of a stocktake's report: name, scope, dates, the counts and the value of the
// missing assets ("盘亏资产原值：9200.00元  净值：3070.00元").
QStringList summaryLines(const Stocktake& s, const Counts& n, const Results& r);
// The same with the value of the missing assets given in cents.
QStringList summaryLines(const Stocktake& s, const Counts& n, qint64 missingOriginal,
                         qint64 missingNet);

// Writes the four lists into an .xlsx file, a sheet each, headed by the summary lines. Throws
// db::DbError with the writer's message when the file cannot be written.
void writeResultsXlsx(const QString& path, const QStringList& summary,
                      const std::array<ListTable, 4>& tables);

}  // namespace fx::stocktake
