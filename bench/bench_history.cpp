// Benchmarks of the change history and the password hashes, each against its baseline in the
// same run:
//  - one password verification (a sign-in attempt): at most 0.3 s;
//  - a modification of one asset with its history row against the same without: at most 5 ms
//    more;
//  - a batch of 500 new assets with 500 history rows against the batch without: at most 1.5x;
//  - a category rename carried into 100000 assets with their 100000 rows: at most 3 s;
//  - one asset's history among 1000000 rows, loaded as the results window loads it: 50 ms;
//  - the administrator's query over 1000000 rows for one month: at most 1 s.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QRandomGenerator>

#include "appstate.h"
#include "benchstate.h"
#include "changerecorder.h"
#include "connection.h"
#include "dictionaryedits.h"
#include "historyquery.h"
#include "passwordhash.h"
#include "resulttable.h"
#include "rowset.h"

namespace {

constexpr int kAssets = 100000;
constexpr int kHistoryRows = 1000000;
constexpr int kBatch = 500;

fx::AppState& appState() {
    static const std::unique_ptr<fx::AppState> state = [] {
        auto s = fx::bench::administratorState(kAssets);
        s->openCurrent();
        s->openHistory();
        return s;
    }();
    return *state;
}

// The register's fields of one asset, in the order of its row.
QList<QVariant> valuesOf(const fx::db::RowSet& row) {
    QList<QVariant> values;
    for (int i = 0; i < int(row.fieldNames().size()); ++i) values << row.value(i);
    return values;
}

void BM_PasswordVerification(benchmark::State& state) {
    const QString hash = fx::accounts::hashPassword(QStringLiteral("Abc123!"));
    for (auto _ : state) {
        if (!fx::accounts::passwordMatches(hash, QStringLiteral("Abc123?")))
            benchmark::DoNotOptimize(hash);
    }
}
BENCHMARK(BM_PasswordVerification)->Unit(benchmark::kMillisecond)->Iterations(10);

// A modification as the card stores it: the row read, one field changed, one transaction;
// with history (range 1) the changed fields are recorded in the history transaction.
void BM_Modification(benchmark::State& state) {
    fx::AppState& app = appState();
    const bool withHistory = state.range(0) == 1;
    int serial = 1;
    int n = 0;
    for (auto _ : state) {
        fx::history::ChangeRecorder recorder(app.history.get(), app.userName);
        fx::db::RowSet card(*app.current, QStringLiteral("select * from sbjl where ID1=") +
                                              QString::number(serial));
        card.open();
        if (withHistory) recorder.begin();
        fx::db::Transaction t(*app.current);
        card.edit();
        const QList<QVariant> before = valuesOf(card);
        card.setValue(QStringLiteral("sbpz"), QStringLiteral("配置%1").arg(++n));
        card.post();
        if (withHistory)
            recorder.record(QString::fromUtf8(fx::history::op::kModify), serial,
                            fx::history::assetNumberOf(card),
                            fx::history::changedFields(card.fieldNames(), before, valuesOf(card)));
        t.commit();
        if (withHistory) recorder.commit();
        serial = serial % 1000 + 1;
    }
}
BENCHMARK(BM_Modification)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// A batch of 500 identical new assets in one transaction, as the card stores a batch; with
// history (range 1) one row per asset.
void BM_BatchOf500(benchmark::State& state) {
    fx::AppState& app = appState();
    const bool withHistory = state.range(0) == 1;
    static int prefix = 0;
    for (auto _ : state) {
        const QString id = QStringLiteral("B%1-").arg(++prefix);
        fx::history::ChangeRecorder recorder(app.history.get(), app.userName);
        fx::db::RowSet card(*app.current, QStringLiteral("select * from sbjl where ID1=-1"));
        card.open();
        if (withHistory) recorder.begin();
        fx::db::Transaction t(*app.current);
        for (int i = 1; i <= kBatch; ++i) {
            card.append();
            for (const char* f : {"zclb", "sbmc", "sbxh", "yt", "wz", "bgr", "ly", "bxq"})
                card.setValue(QLatin1String(f), QStringLiteral("批量"));
            card.setValue(QStringLiteral("id"), id);
            card.setValue(QStringLiteral("num"), i);
            card.setValue(QStringLiteral("gmjg"), 4999.0);
            card.post();
            if (withHistory)
                recorder.record(QString::fromUtf8(fx::history::op::kAdd),
                                card.integer(QStringLiteral("ID1")),
                                fx::history::assetNumberOf(card));
        }
        t.commit();
        if (withHistory) recorder.commit();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_BatchOf500)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// A category used by every asset renamed, without (range 0) and with (range 1) history.
void BM_RenameCategoryOf100000Assets(benchmark::State& state) {
    fx::AppState& app = appState();
    fx::db::Connection& c = *app.current;
    static bool prepared = false;
    if (!prepared) {
        c.executeNative(
            QStringLiteral("INSERT INTO sortproc (sort,title,cz) VALUES ('甲类','JL',5)"));
        c.executeNative(QStringLiteral("UPDATE sbjl SET zclb='甲类'"));
        prepared = true;
    }
    const bool withHistory = state.range(0) == 1;
    fx::dictionary::Attributes a;
    a.number = 5;
    a.prefix = QStringLiteral("JL");
    static QString from = QStringLiteral("甲类");
    static QString to = QStringLiteral("乙类");
    for (auto _ : state) {
        fx::history::ChangeRecorder recorder(app.history.get(), app.userName);
        if (withHistory) recorder.begin();
        fx::dictionary::modifyItem(c, {fx::dictionary::ItemKind::Category, from}, to, a, a,
                                   withHistory ? &recorder : nullptr);
        if (withHistory) recorder.commit();
        if (withHistory && recorder.recorded() < kAssets) state.SkipWithError("rows missing");
        std::swap(from, to);
    }
}
BENCHMARK(BM_RenameCategoryOf100000Assets)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// Fills the history with 1000000 rows over two years, about ten per asset.
void fillHistory() {
    fx::db::Connection& h = *appState().history;
    const int have = h.queryValue(QStringLiteral("select count(*) from czjl")).toInt();
    if (have >= kHistoryRows) return;
    fx::db::Transaction t(h);
    h.executeNative(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<1000000) "
        "INSERT INTO czjl (sj,czy,gzz,cz,id,zcbh,bgnr) SELECT "
        "strftime('%Y-%m-%d %H:%M:%S', '2025-01-01', '+' || (i*63) || ' seconds'),"
        "'资产管理员','ws01','修改',(i*7919)%100000+1,'JSJ-'||((i*7919)%100000+1),"
        "'设备配置：i5 → i7' FROM n"));
    t.commit();
}

void BM_OneAssetsHistoryAmongAMillionRows(benchmark::State& state) {
    fillHistory();
    int serial = 1;
    int rows = 0;
    for (auto _ : state) {
        fx::query::ResultTable table;
        table.load(*appState().history,
                   fx::history::assetHistoryStatement(serial) + fx::history::newestFirst());
        rows = table.rowCount();
        serial = serial % kAssets + 1;
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_OneAssetsHistoryAmongAMillionRows)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_MonthQueryAmongAMillionRows(benchmark::State& state) {
    fillHistory();
    fx::history::HistoryFilter f;
    f.from = QDate(2025, 6, 1);
    f.to = QDate(2025, 6, 30);
    int rows = 0;
    for (auto _ : state) {
        fx::query::ResultTable table;
        table.load(*appState().history,
                   fx::history::historyStatement(f) + fx::history::newestFirst());
        rows = table.rowCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_MonthQueryAmongAMillionRows)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
