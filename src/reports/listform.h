#pragma once

#include <QList>
#include <QString>
#include <array>
#include <optional>

#include "report.h"

// The list report: every list of assets (and the other lists of the results window) prints
// through one form with thirteen column slots, filled at run time from a standard format or
// from the columns the user chose.
namespace fx::reports {

// A column of a list report: header caption, data field and width in screen pixels.
struct ListColumn {
    QString caption;
    QString field;
    int width = 0;

    friend bool operator==(const ListColumn&, const ListColumn&) = default;
};

// The sixteen columns a user can choose, in the order of their check boxes, with their default
// widths. The fields e1 and e2 are in no data set: the depreciation and net value cells are
// laid over their slots.
const QList<ListColumn>& columnChoices();
// The choice with this caption, or nullptr.
const ListColumn* columnChoice(const QString& caption);

constexpr int kColumnSlots = 13;

// A summary caption and its expression.
struct SummaryLine {
    QString caption;
    QString expression;
};

struct ListReportOptions {
    enum class Source { Standard, Custom };
    Source source = Source::Standard;
    int standardFormat = 1;                   // 1 基本, 2 配置, 3 价值分析, 4 价值汇总
    bool numberAsIdentity = false;            // "编号作为唯一标识" (standard formats)
    QList<ListColumn> columns;                // the chosen columns in the order ticked (custom)
    report::Paper paper = report::Paper::A4;  // custom only; standard formats print A4 portrait
    report::Orientation orientation = report::Orientation::Portrait;
    bool showDepreciation = true;  // the user's zjxs is 0
    QString title;
    // The other lists of the results window (loans, histories, repairs, transfers) print their
    // own two summary items instead of the asset count, price total and value totals.
    std::optional<std::array<SummaryLine, 2>> listSummary;
};

// The report form for the options; rows are asset query rows (ynum, bh, sbjl fields, yue, cz).
report::Report listReport(const ListReportOptions& options);

// The title of a standard format after the organisation name ("固定资产报表（基本）"...).
QString standardFormatTitle(int format);

}  // namespace fx::reports
