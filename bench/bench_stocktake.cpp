// Benchmarks of the stocktake on a register of 100000 demo assets (offscreen), with the asset
// query of the value lists and one committed row read or written in the same run as baselines:
//  - creating a stocktake of the whole register (the snapshot of 100000 assets); target 2 s;
//  - judging one scan with 50000 assets found already, from Enter to the result shown: the
//    scanning window's handler of Enter (judged, committed, shown, counts brought up to date);
//    target 20 ms; beside it the scan with the counts read in full, as they were before;
//  - the results of that stocktake listed: the overview (the counts of the four lists and the
//    value of the missing assets) and the 50000 missing assets in the results window, created
//    and shown; target 1 s each; beside them the four lists read in full as the printed report
//    and the workbook read them.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QLabel>

#include "appstate.h"
#include "benchstate.h"
#include "clock.h"
#include "connection.h"
#include "depreciation.h"
#include "headlessmain.h"
#include "liststatements.h"
#include "querystate.h"
#include "results.h"
#include "resulttables.h"
#include "rowset.h"
#include "runningcounts.h"
#include "scan.h"
#include "stocktake.h"
#include "stocktakelists.h"
#include "stocktakeresultsdlg.h"
#include "stocktakescandlg.h"
#include "tcxjgdlg1.h"

namespace {

constexpr int kAssets = 100000;
constexpr int kFound = 50000;

fx::AppState& appState() {
    static const std::unique_ptr<fx::AppState> state = [] {
        auto s = fx::bench::administratorState(kAssets);
        s->openCurrent();
        return s;
    }();
    return *state;
}

fx::db::Connection& database() {
    return *appState().current;
}

// A stocktake of the whole register with kFound assets found, made once.
int walkedStocktake() {
    static const int id = [] {
        fx::db::Connection& c = database();
        const auto s = fx::stocktake::create(c, QStringLiteral("半程"), {}, QStringLiteral("bench"),
                                             QDate::currentDate());
        c.executeNative(QStringLiteral("insert into pdsm (pdid, code, sid, dd, jg, smsj, czy) "
                                       "select pdid, bh, sid, dd, '已盘点', '2026-01-01 10:00:00', "
                                       "'bench' from pdmx where pdid=%1 order by sid limit %2")
                            .arg(s.id)
                            .arg(kFound));
        return s.id;
    }();
    return id;
}

// The numbers of the assets of the walked stocktake not found yet, in serial order.
class NextUnfound {
public:
    NextUnfound()
        : rows_(database(), QStringLiteral("select bh from pdmx where pdid=%1 and sid not in "
                                           "(select sid from pdsm where pdid=%1) order by sid")
                                .arg(walkedStocktake())) {
        rows_.open();
    }
    QString next() {
        const QString code = rows_.text(QStringLiteral("bh"));
        rows_.next();
        return code;
    }

private:
    fx::db::RowSet rows_;
};

void BM_Baseline_AssetQuery(benchmark::State& state) {
    for (auto _ : state) {
        fx::db::RowSet r(database(), fx::reports::kAssetQuery);
        r.open();
        benchmark::DoNotOptimize(r.count());
    }
}
BENCHMARK(BM_Baseline_AssetQuery)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CreateStocktake(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) {
        const auto s = fx::stocktake::create(database(), QStringLiteral("建立%1").arg(++n), {},
                                             QStringLiteral("bench"), QDate::currentDate());
        if (s.expected < kAssets / 2) state.SkipWithError("snapshot too small");
    }
}
BENCHMARK(BM_CreateStocktake)->Unit(benchmark::kMillisecond)->Iterations(3);

// The baseline of a scan: one committed row written to the same file (the journal and its
// flush to disk are the floor of every committed scan).
void BM_Baseline_CommittedRow(benchmark::State& state) {
    fx::db::Connection& c = database();
    for (auto _ : state) {
        c.begin();
        c.executeNative(QStringLiteral("update username set mm=mm"));
        c.commit();
    }
}
BENCHMARK(BM_Baseline_CommittedRow)->Unit(benchmark::kMillisecond)->Iterations(200);

// Enter in the scanning window: the scan judged and committed, the result and the counts shown.
void BM_ScanWindow_50000Found(benchmark::State& state) {
    fx::stocktake::StocktakeScanDlg w(appState(), walkedStocktake());
    w.show();
    QApplication::processEvents();
    NextUnfound codes;
    for (auto _ : state) {
        w.scan(codes.next());
        if (!w.ResultLabel->text().startsWith(QStringLiteral("已盘点")))
            state.SkipWithError("not judged found");
    }
    benchmark::DoNotOptimize(w.CountsLabel->text());
}
BENCHMARK(BM_ScanWindow_50000Found)->Unit(benchmark::kMillisecond)->Iterations(200);

// The same scan with the counts read in full after it, as the window did before.
void BM_ScanFullCount_50000Found(benchmark::State& state) {
    const int id = walkedStocktake();
    NextUnfound codes;
    for (auto _ : state) {
        const auto o =
            fx::stocktake::recordScan(database(), id, codes.next(), QString(),
                                      QStringLiteral("bench"), QDateTime::currentDateTime());
        benchmark::DoNotOptimize(fx::stocktake::counts(database(), id));
        if (o.result != fx::stocktake::ScanResult::Found) state.SkipWithError("not judged found");
    }
}
BENCHMARK(BM_ScanFullCount_50000Found)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_FullCounts_50000Found(benchmark::State& state) {
    const int id = walkedStocktake();
    for (auto _ : state) benchmark::DoNotOptimize(fx::stocktake::counts(database(), id));
}
BENCHMARK(BM_FullCounts_50000Found)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_RunningCountsUpdate_50000Found(benchmark::State& state) {
    fx::stocktake::RunningCounts running(walkedStocktake());
    running.refresh(database());
    for (auto _ : state) benchmark::DoNotOptimize(running.update(database()));
}
BENCHMARK(BM_RunningCountsUpdate_50000Found)->Unit(benchmark::kMillisecond)->Iterations(200);

// "盘点结果": the overview with the counts and the four lists of 100000 assets, shown.
void BM_ResultsOverview_100000(benchmark::State& state) {
    const int id = walkedStocktake();
    fx::query::QueryState q;
    for (auto _ : state) {
        fx::stocktake::StocktakeResultsDlg d(appState(), q, id);
        d.show();
        QApplication::processEvents();
        if (d.shownCounts().expected < kAssets / 2) state.SkipWithError("stocktake too small");
    }
}
BENCHMARK(BM_ResultsOverview_100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReportLists_100000(benchmark::State& state) {
    const int id = walkedStocktake();
    for (auto _ : state) {
        const auto r = fx::stocktake::results(database(), id, QDate::currentDate());
        benchmark::DoNotOptimize(fx::stocktake::listTables(r));
        if (r.found.size() + r.missing.size() + r.misplaced.size() < std::size_t(kAssets / 2))
            state.SkipWithError("lists too short");
    }
}
BENCHMARK(BM_ReportLists_100000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The missing assets (about 50000) in the results window, created (statement run, layout read,
// count shown), shown and painted.
void BM_MissingListWindow_100000(benchmark::State& state) {
    const int id = walkedStocktake();
    for (auto _ : state) {
        fx::query::QueryState q;
        q.kind = fx::stocktake::resultKindOf(fx::stocktake::ResultList::Missing);
        q.queryText = fx::stocktake::listStatement(fx::stocktake::ResultList::Missing, id,
                                                   fx::Clock::today());
        fx::query::TcxjgDlg1 w(appState(), q);
        w.show();
        QApplication::processEvents();
        if (w.table().rowCount() < kAssets / 4) state.SkipWithError("list too short");
        state.counters["rows"] = w.table().rowCount();
        w.reject();
    }
}
BENCHMARK(BM_MissingListWindow_100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    return fx::bench::runHeadlessBenchmarks(argc, argv, [] { walkedStocktake(); });
}
