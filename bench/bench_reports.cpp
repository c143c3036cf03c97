// Benchmarks of the report forms on a register of 100000 demo assets:
//  - the summary table: the department query built from the asset query, its rows read and
//    every page laid out, with both levels and the value analysis (no asset lines); target at
//    most 3 s; also the location view;
//  - a sheet of format-1 labels for the first 1000 assets, rows read and laid out; target at
//    most 2 s;
//  - a sheet of 1000 QR-code labels (format 5) laid out and written to PDF; target at most 3 s;
//    beside it the same 1000 format-1 labels without codes, laid out and written, as the baseline;
//  - the value-analysis list report of 10000 assets: the first page in the preview within 1 s,
//    all pages within 5 s, the pages written to PDF within 5 s.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <memory>

#include "appstate.h"
#include "benchinstallation.h"
#include "benchstate.h"
#include "clock.h"
#include "codelabelform.h"
#include "connection.h"
#include "depreciation.h"
#include "headlessmain.h"
#include "labelform.h"
#include "layout.h"
#include "listform.h"
#include "render.h"
#include "rowsource.h"
#include "summaryform.h"

namespace {

constexpr int kAssets = 100000;

fx::AppState& appState() {
    static const std::unique_ptr<fx::AppState> state = [] {
        auto s = fx::bench::administratorState(kAssets);
        s->openCurrent();
        return s;
    }();
    return *state;
}

void runSummary(benchmark::State& state, fx::reports::SummaryOptions::StorageLevel storage) {
    fx::reports::SummaryOptions o;
    o.storage = storage;
    o.values = true;
    int pages = 0;
    int rows = 0;
    for (auto _ : state) {
        const QString query = *fx::reports::summaryQuery(
            fx::reports::kAssetQuery + QStringLiteral(" and not ybf"), o);
        const fx::report::MemoryDataSource data =
            fx::reports::queryRows(*appState().current, query);
        const fx::report::Document doc =
            fx::report::layoutReport(fx::reports::summaryReport(o, QStringLiteral("汇总表")), data,
                                     fx::report::RunOptions{fx::Clock::now()});
        pages = doc.pageCount();
        rows = data.count();
    }
    state.counters["pages"] = pages;
    state.counters["rows"] = rows;
}

void BM_SummaryByDepartment(benchmark::State& state) {
    runSummary(state, fx::reports::SummaryOptions::StorageLevel::Department);
}
BENCHMARK(BM_SummaryByDepartment)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_SummaryByLocation(benchmark::State& state) {
    runSummary(state, fx::reports::SummaryOptions::StorageLevel::Location);
}
BENCHMARK(BM_SummaryByLocation)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_LabelSheet(benchmark::State& state) {
    int pages = 0;
    for (auto _ : state) {
        const fx::report::MemoryDataSource data = fx::reports::queryRows(
            *appState().current,
            fx::reports::kAssetQuery + QStringLiteral(" and ID1<=1000 order by ID1 asc"));
        const fx::reports::LabelRows rows(data);
        const fx::report::Document doc =
            fx::report::layoutReport(fx::reports::labelReport(fx::reports::LabelOptions{}), rows,
                                     fx::report::RunOptions{fx::Clock::now()});
        pages = doc.pageCount();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_LabelSheet)->Unit(benchmark::kMillisecond)->MinTime(3.0);

const fx::report::MemoryDataSource& firstThousand() {
    static const fx::report::MemoryDataSource rows = fx::reports::queryRows(
        *appState().current,
        fx::reports::kAssetQuery + QStringLiteral(" and ID1<=1000 order by ID1 asc"));
    return rows;
}

// Lays out the labels of the first 1000 assets and writes them to PDF.
void runLabelPdf(benchmark::State& state, const fx::report::Report& form,
                 const fx::report::DataSource& rows) {
    QTemporaryDir dir;
    int pages = 0;
    for (auto _ : state) {
        const fx::report::Document doc =
            fx::report::layoutReport(form, rows, fx::report::RunOptions{fx::Clock::now()});
        if (!fx::report::writePdf(doc, dir.filePath(QStringLiteral("labels.pdf"))))
            state.SkipWithError("the PDF could not be written");
        pages = doc.pageCount();
    }
    state.counters["pages"] = pages;
    state.counters["labels"] = rows.count();
}

void BM_QrLabelSheetPdf(benchmark::State& state) {
    fx::reports::CodeLabelOptions o;
    o.organisation = QStringLiteral("示范单位");
    runLabelPdf(state, fx::reports::codeLabelReport(o), firstThousand());
}
BENCHMARK(BM_QrLabelSheetPdf)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_PlainLabelSheetPdf(benchmark::State& state) {
    const fx::reports::LabelRows rows(firstThousand());
    runLabelPdf(state, fx::reports::labelReport(fx::reports::LabelOptions{}), rows);
}
BENCHMARK(BM_PlainLabelSheetPdf)->Unit(benchmark::kMillisecond)->MinTime(3.0);

const fx::report::MemoryDataSource& tenThousand() {
    static const fx::report::MemoryDataSource rows = fx::reports::queryRows(
        *appState().current,
        fx::reports::kAssetQuery + QStringLiteral(" and ID1<=10000 order by ID1 asc"));
    return rows;
}

fx::reports::ListReportOptions valueAnalysis() {
    fx::reports::ListReportOptions o;
    o.standardFormat = 3;
    o.title = QStringLiteral("固定资产报表（价值分析）");
    return o;
}

void BM_ListReportFirstPage(benchmark::State& state) {
    const fx::report::Report form = fx::reports::listReport(valueAnalysis());
    for (auto _ : state) {
        fx::report::ReportLayout layout(form, tenThousand(),
                                        fx::report::RunOptions{fx::Clock::now()});
        layout.layoutNextPage();
        benchmark::DoNotOptimize(layout.document().pageCount());
    }
}
BENCHMARK(BM_ListReportFirstPage)->Unit(benchmark::kMillisecond);

void BM_ListReportAllPages(benchmark::State& state) {
    const fx::report::Report form = fx::reports::listReport(valueAnalysis());
    int pages = 0;
    for (auto _ : state)
        pages =
            fx::report::layoutReport(form, tenThousand(), fx::report::RunOptions{fx::Clock::now()})
                .pageCount();
    state.counters["pages"] = pages;
    state.counters["rows"] = tenThousand().count();
}
BENCHMARK(BM_ListReportAllPages)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_ListReportPdf(benchmark::State& state) {
    const fx::report::Document doc =
        fx::report::layoutReport(fx::reports::listReport(valueAnalysis()), tenThousand(),
                                 fx::report::RunOptions{fx::Clock::now()});
    QTemporaryDir dir;
    for (auto _ : state) fx::report::writePdf(doc, dir.filePath(QStringLiteral("list.pdf")));
    state.counters["pages"] = doc.pageCount();
}
BENCHMARK(BM_ListReportPdf)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    // The installation is made before any timing.
    return fx::bench::runHeadlessBenchmarks(argc, argv, [] { appState(); });
}
