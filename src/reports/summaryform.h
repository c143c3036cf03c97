#pragma once

#include <optional>

#include <QString>

#include "report.h"

// The summary table: assets of the last query counted (and on request valued) in two nested
// levels, one by asset (category, name or model) and one by where they are kept (department,
// or location and person), in either order.
namespace fx::reports {

struct SummaryOptions {
    enum class AssetLevel { Category, Name, Model };   // zclb, sbmc, sbxh
    enum class StorageLevel { Department, Location };  // bmmc, wz
    AssetLevel asset = AssetLevel::Category;
    StorageLevel storage = StorageLevel::Department;
    bool storageOuter = false;  // the storage level is the outer group
    bool details = false;       // one line per asset
    bool values = false;        // original and net values
};

// The field of each level.
QString assetField(SummaryOptions::AssetLevel level);
QString storageField(SummaryOptions::StorageLevel level);

// The query the table runs, built from the base query of the last asset query (its conditions
// start at its first "where"): the department query when grouping by department, else the base
// query itself, each with the ORDER BY of the two levels. nullopt when the base query holds no
// "where" (it is then no asset query the table can take its conditions from).
std::optional<QString> summaryQuery(const QString& baseQuery, const SummaryOptions& options);

// The report form with the given title; an empty data source prints no pages.
report::Report summaryReport(const SummaryOptions& options, const QString& title);

}  // namespace fx::reports
