// Benchmarks of the query results window on a register of 100000 demo assets (offscreen):
//  - the engine's own C API stepping through the translated "显示打印全部 " statement, the
//    baseline;
//  - "显示打印全部 ": the window created (statement run, layout read, count shown), shown and
//    painted; target at most 1 s and at most twice the baseline;
//  - a re-sort by a title click (购买价格), target at most 1 s;
//  - "选择全部" with the figures refreshed, target at most 0.3 s;
//  - the export of the 100000 rows to .xlsx, target at most 5 s;
//  - the resident memory the open window adds, target at most 150 MB (counter rss_added_MB).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include "sqliteengine.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "appstate.h"
#include "benchinstallation.h"
#include "benchstate.h"
#include "connection.h"
#include "depreciation.h"
#include "headlessmain.h"
#include "modal.h"
#include "prompt.h"
#include "querystate.h"
#include "resulttable.h"
#include "tcxjgdlg1.h"

namespace {

constexpr int kAssets = 100000;
constexpr int kPriceColumn = 10;  // 购买价格 in the installed asset layout

// Resident set size of this process in bytes.
double residentBytes() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toDouble() * 4096.0 : 0;
}

fx::AppState& appState() {
    static const std::unique_ptr<fx::AppState> state = [] {
        auto s = fx::bench::administratorState(kAssets);
        s->openCurrent();
        s->openHistory();
        return s;
    }();
    return *state;
}

fx::query::QueryState showAllState() {
    fx::query::QueryState q;
    q.queryText = fx::reports::kAssetQuery;
    q.orderText = QStringLiteral(" order by ID1 asc");
    return q;
}

// Opens, shows and paints the window of "显示打印全部 ".
std::unique_ptr<fx::query::TcxjgDlg1> openShown(fx::query::QueryState& q) {
    auto w = std::make_unique<fx::query::TcxjgDlg1>(appState(), q);
    w->show();
    QApplication::processEvents();
    return w;
}

void closeWindow(std::unique_ptr<fx::query::TcxjgDlg1>& w) {
    w->reject();
    w.reset();
    QApplication::processEvents();
}

void BM_WindowMemory(benchmark::State& state) {
    fx::AppState& app = appState();
    (void)app;
    double added = 0;
    double cells = 0;
    for (auto _ : state) {
        fx::query::QueryState q = showAllState();
        const double before = residentBytes();
        auto w = openShown(q);
        added = residentBytes() - before;
        cells = double(w->table().cellBytes());
        benchmark::DoNotOptimize(w->model().rowCount());
        state.PauseTiming();
        closeWindow(w);
        state.ResumeTiming();
    }
    state.counters["rss_added_MB"] = added / (1024.0 * 1024.0);
    state.counters["cells_MB"] = cells / (1024.0 * 1024.0);
}
BENCHMARK(BM_WindowMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_RawStep(benchmark::State& state) {
    fx::db::Connection& c = *appState().current;
    const QByteArray sql =
        c.translate(fx::reports::kAssetQuery + QStringLiteral(" order by ID1 asc")).toUtf8();
    qint64 rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(static_cast<fx::db::detail::SqliteEngine&>(c.engine()).handle(),
                           sql.constData(), int(sql.size()), &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) ++rows;
        sqlite3_finalize(st);
    }
    state.SetItemsProcessed(rows);
}
BENCHMARK(BM_RawStep)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The rows alone, read into the window's result table (the part of BM_ShowAll that grows with
// the register).
void BM_LoadRows(benchmark::State& state) {
    fx::db::Connection& c = *appState().current;
    const QString sql = fx::reports::kAssetQuery + QStringLiteral(" order by ID1 asc");
    for (auto _ : state) {
        fx::query::ResultTable t;
        t.load(c, sql);
        benchmark::DoNotOptimize(t.rowCount());
    }
}
BENCHMARK(BM_LoadRows)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_ShowAll(benchmark::State& state) {
    int count = 0;
    for (auto _ : state) {
        fx::query::QueryState q = showAllState();
        auto w = openShown(q);
        count = q.recordCount;
        state.PauseTiming();
        closeWindow(w);
        state.ResumeTiming();
    }
    state.counters["rows"] = count;
}
BENCHMARK(BM_ShowAll)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_ReSort(benchmark::State& state) {
    fx::query::QueryState q = showAllState();
    auto w = openShown(q);
    for (auto _ : state) {
        w->DBGrid1TitleClick(kPriceColumn);
        QApplication::processEvents();
    }
    closeWindow(w);
}
BENCHMARK(BM_ReSort)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_SelectAll(benchmark::State& state) {
    fx::query::QueryState q = showAllState();
    auto w = openShown(q);
    for (auto _ : state) {
        w->N1Click();
        w->DBGrid1CellClick();
        QApplication::processEvents();
    }
    state.counters["selected"] = w->selectedCount();
    closeWindow(w);
}
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Export(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export.xlsx"));
    fx::ui::setFileHandler([&](const fx::ui::FileRequest&) { return path; });
    fx::ui::setOpenHandler([](const QString&) { return true; });
    fx::ui::setPromptHandler([](const fx::ui::PromptRequest&) { return QMessageBox::Ok; });
    fx::query::QueryState q = showAllState();
    auto w = openShown(q);
    for (auto _ : state) w->BitBtn3Click();
    state.counters["file_MB"] = double(QFile(path).size()) / (1024.0 * 1024.0);
    closeWindow(w);
    fx::ui::setFileHandler({});
    fx::ui::setOpenHandler({});
    fx::ui::setPromptHandler({});
}
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->MinTime(5.0);

}  // namespace

int main(int argc, char** argv) {
    // The installation is made before any timing.
    return fx::bench::runHeadlessBenchmarks(argc, argv, [] { appState(); });
}
