// Benchmarks of the stocktake on a register of 100000 demo assets, with the asset query of the
// value lists read in the same run as the baseline:
//  - creating a stocktake of the whole register (the snapshot of 100000 assets); target 2 s;
//  - judging and recording one scan, and reading the counts the scanning window shows after it,
//    with 50000 assets found already; target 20 ms;
//  - the four result lists of that stocktake with the value of the missing assets; target 1 s.
#include <benchmark/benchmark.h>

#include <QDateTime>

#include "benchinstallation.h"
#include "connection.h"
#include "depreciation.h"
#include "results.h"
#include "resulttables.h"
#include "rowset.h"
#include "scan.h"
#include "stocktake.h"

namespace {

constexpr int kAssets = 100000;
constexpr int kFound = 50000;

fx::db::Connection& database() {
    static const std::unique_ptr<fx::db::Connection> c = [] {
        const auto& b = fx::bench::benchInstallation(kAssets);
        return fx::db::Connection::open(b.currentFile, b.currentPassword);
    }();
    return *c;
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

void BM_JudgeScan_50000Found(benchmark::State& state) {
    const int id = walkedStocktake();
    fx::db::RowSet next(database(),
                        QStringLiteral("select bh from pdmx where pdid=%1 and sid not in (select "
                                       "sid from pdsm where pdid=%1) order by sid")
                            .arg(id));
    next.open();
    for (auto _ : state) {
        const QString code = next.text(QStringLiteral("bh"));
        next.next();
        const auto o = fx::stocktake::recordScan(
            database(), id, code, QString(), QStringLiteral("bench"), QDateTime::currentDateTime());
        benchmark::DoNotOptimize(o);
        benchmark::DoNotOptimize(fx::stocktake::counts(database(), id));
        if (o.result != fx::stocktake::ScanResult::Found) state.SkipWithError("not judged found");
    }
}
BENCHMARK(BM_JudgeScan_50000Found)->Unit(benchmark::kMillisecond)->Iterations(200);

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

void BM_Counts_50000Found(benchmark::State& state) {
    const int id = walkedStocktake();
    for (auto _ : state) benchmark::DoNotOptimize(fx::stocktake::counts(database(), id));
}
BENCHMARK(BM_Counts_50000Found)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_Results_100000(benchmark::State& state) {
    const int id = walkedStocktake();
    for (auto _ : state) {
        const auto r = fx::stocktake::results(database(), id, QDate::currentDate());
        benchmark::DoNotOptimize(fx::stocktake::listTables(r));
        if (r.found.size() + r.missing.size() + r.misplaced.size() < std::size_t(kAssets / 2))
            state.SkipWithError("lists too short");
    }
}
BENCHMARK(BM_Results_100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
