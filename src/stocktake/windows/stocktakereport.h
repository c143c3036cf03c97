#pragma once

#include <QStringList>
#include <array>

#include "datasource.h"
#include "report.h"
#include "resulttables.h"

namespace fx::stocktake {

// The printed stocktake report: the organisation's title, the summary lines (name, scope, dates,
// counts, value of the missing assets) and the four lists, each under its title and column
// captions, on landscape A4.
report::Report stocktakeReport(const QString& organisation, const QStringList& summary);

// The rows of that report: per row the list it belongs to (lb), the list's captions (h0..h7)
// and the cells (c0..c7). An empty list prints one row saying so.
report::MemoryDataSource stocktakeReportRows(const std::array<ListTable, 4>& tables);

}  // namespace fx::stocktake
