#pragma once

#include <gtest/gtest.h>

#include <QString>

#include "datasource.h"
#include "layout.h"
#include "report.h"

// Failure messages show texts as text rather than as code units.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace fx::report::test {

// Assets of three categories, sorted by category, with prices, ages and residual rates that
// exercise the depreciation formulas.
MemoryDataSource sampleAssets(int count);

// A list report on A5 paper: title, column header, a group per category with header and
// footer (count and price total), detail lines with depreciation, summary and page footer.
Report groupedListReport();

// A sheet of cards, `columns` across, each card a framed detail band.
Report labelSheet(int columns);

// A document of every primitive kind a first-version saved report holds, built by hand so that
// it depends on no font metrics (fixtures/version1.QRP holds it as that version wrote it).
Document versionOneDocument();

// The options every layout test uses: a fixed print date.
RunOptions fixedOptions();

// Compares `actual` with expected/<name>.txt; with FX_UPDATE_EXPECTED=1 in the environment,
// writes the file instead (after a deliberate change of layout; review the diff).
::testing::AssertionResult matchesExpected(const QString& name, const QString& actual);

}  // namespace fx::report::test
