// Benchmark of the maintenance query on a register of 50000 demo assets with one maintenance
// record each (50000 records, offscreen):
//  - the query dialog opened with its lists and its default query text built;
//  - the results window of that query created (statement run, layout read, count shown), shown
//    and painted; target for both together at most 1 s.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "appstate.h"
#include "benchinstallation.h"
#include "benchstate.h"
#include "connection.h"
#include "headlessmain.h"
#include "querystate.h"
#include "resulttable.h"
#include "tcxjgdlg1.h"
#include "twxcxdlg.h"

namespace {

constexpr int kAssets = 50000;

fx::AppState& appState() {
    static const std::unique_ptr<fx::AppState> state = [] {
        auto s = fx::bench::administratorState(kAssets);
        s->openCurrent();
        // One record per asset, sent and repaired on dates spread over twenty years.
        fx::db::Connection& c = *s->current;
        c.executeNative(QStringLiteral(
            "begin; delete from wxjlb;"
            "insert into wxjlb (id,sxrq,wxrq,sxdd,ghpj,gzyy,wxfy,wxzk,sxr)"
            " select ID1, date('2004-01-01','+'||(ID1 % 7000)||' days'),"
            " date('2004-01-01','+'||(ID1 % 7000 + 3)||' days'), '维修站', '电源', '不开机',"
            " ID1 % 500, '已修好', '张三' from sbjl;"
            "commit"));
        return s;
    }();
    return *state;
}

// The default query text, as "确定" builds it on an untouched dialog.
QString defaultQuery() {
    fx::movements::TwxcxDlg d(appState());
    d.BitBtn1Click();
    return d.queryText();
}

void BM_QueryDialog(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(defaultQuery());
}
BENCHMARK(BM_QueryDialog)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_MaintenanceQuery(benchmark::State& state) {
    int rows = 0;
    for (auto _ : state) {
        fx::query::QueryState q;
        q.kind = fx::query::ResultKind::MaintenanceQuery;
        q.queryText = defaultQuery();
        auto w = std::make_unique<fx::query::TcxjgDlg1>(appState(), q);
        w->show();
        QApplication::processEvents();
        rows = w->table().rowCount();
        w->reject();
        w.reset();
        QApplication::processEvents();
    }
    state.counters["records"] = rows;
}
BENCHMARK(BM_MaintenanceQuery)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    // The installation and its records are made before any timing.
    return fx::bench::runHeadlessBenchmarks(argc, argv, [] { appState(); });
}
