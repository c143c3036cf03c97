// Benchmarks of the data-access layer on a register of 100000 demo assets:
//  - reading every column of sbjl through a RowSet, against the engine's own C API reading
//    the same columns as the same types (texts made QStrings, dates QDates);
//  - the asset query of the value lists (join with syq and sortproc, computed months in use
//    and asset number), whose target is at most 0.5 s;
//  - init --assets 100000;
//  - writing assets through the layer (execute, RowSet append) against one prepared insert.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include "sqliteengine.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <vector>

#include "benchinstallation.h"
#include "bulkinsert.h"
#include "connection.h"
#include "demoregister.h"
#include "installer.h"
#include "quote.h"
#include "rowset.h"

namespace {

constexpr int kAssets = 100000;
constexpr int kWrites = 10000;

const QString kAssetQuery = QStringLiteral(
    "select (YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq) AS ynum,"
    "(sbjl.id+TRIM(STR(sbjl.num))) AS bh,sbjl.*,syq.yue,sortproc.cz from sbjl,syq,sortproc "
    "where sbjl.bxq=syq.qx and sbjl.zclb=sortproc.sort");

std::unique_ptr<fx::db::Connection> openBenchDatabase() {
    const auto& b = fx::bench::benchInstallation(kAssets);
    return fx::db::Connection::open(b.currentFile, b.currentPassword);
}

void BM_ReadAssets_RowSet(benchmark::State& state) {
    auto c = openBenchDatabase();
    qint64 rows = 0;
    for (auto _ : state) {
        fx::db::RowSet rs(*c, QStringLiteral("select * from sbjl"));
        rs.open();
        const int fields = int(rs.fieldNames().size());
        for (rs.first(); !rs.eof(); rs.next()) {
            for (int i = 0; i < fields; ++i) benchmark::DoNotOptimize(rs.value(i));
            ++rows;
        }
    }
    state.SetItemsProcessed(rows);
}
BENCHMARK(BM_ReadAssets_RowSet)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The way windows read a row: typed fields by name.
void BM_ReadAssets_RowSetTypedByName(benchmark::State& state) {
    auto c = openBenchDatabase();
    qint64 rows = 0;
    for (auto _ : state) {
        fx::db::RowSet rs(*c, QStringLiteral("select * from sbjl"));
        rs.open();
        for (rs.first(); !rs.eof(); rs.next()) {
            benchmark::DoNotOptimize(rs.integer(QStringLiteral("ID1")));
            benchmark::DoNotOptimize(rs.text(QStringLiteral("id")));
            benchmark::DoNotOptimize(rs.integer(QStringLiteral("num")));
            for (const char* t : {"zclb", "sbmc", "sbxh", "sbpz", "yt", "wz", "bgr", "ly", "bxq",
                                  "other", "wxjl"}) {
                benchmark::DoNotOptimize(rs.text(QString::fromLatin1(t)));
            }
            benchmark::DoNotOptimize(rs.yesNo(QStringLiteral("worp")));
            benchmark::DoNotOptimize(rs.date(QStringLiteral("gmrq")));
            benchmark::DoNotOptimize(rs.date(QStringLiteral("pzrq")));
            benchmark::DoNotOptimize(rs.number(QStringLiteral("gmjg")));
            benchmark::DoNotOptimize(rs.yesNo(QStringLiteral("ybf")));
            benchmark::DoNotOptimize(rs.yesNo(QStringLiteral("yjc")));
            benchmark::DoNotOptimize(rs.yesNo(QStringLiteral("wx")));
            ++rows;
        }
    }
    state.SetItemsProcessed(rows);
}
BENCHMARK(BM_ReadAssets_RowSetTypedByName)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The engine's C API on the same connection: every column read as the type the schema gives it.
void BM_ReadAssets_RawApi(benchmark::State& state) {
    auto c = openBenchDatabase();
    using Kind = fx::db::Connection::ColumnKind;
    qint64 rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(static_cast<fx::db::detail::SqliteEngine&>(c->engine()).handle(),
                               "select * from sbjl", -1, &stmt, nullptr) != SQLITE_OK) {
            state.SkipWithError(
                sqlite3_errmsg(static_cast<fx::db::detail::SqliteEngine&>(c->engine()).handle()));
            break;
        }
        const int columns = sqlite3_column_count(stmt);
        std::vector<Kind> kinds;
        for (int i = 0; i < columns; ++i) {
            kinds.push_back(c->columnKind(QStringLiteral("sbjl"),
                                          QString::fromUtf8(sqlite3_column_name(stmt, i))));
        }
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int i = 0; i < columns; ++i) {
                switch (kinds[size_t(i)]) {
                    case Kind::Integer:
                    case Kind::Counter:
                        benchmark::DoNotOptimize(sqlite3_column_int64(stmt, i));
                        break;
                    case Kind::Number:
                        benchmark::DoNotOptimize(sqlite3_column_double(stmt, i));
                        break;
                    case Kind::YesNo:
                        benchmark::DoNotOptimize(sqlite3_column_int(stmt, i) != 0);
                        break;
                    case Kind::Date: {
                        const char* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                        benchmark::DoNotOptimize(
                            t ? QDate::fromString(QString::fromLatin1(t), Qt::ISODate) : QDate());
                        break;
                    }
                    case Kind::Text:
                    case Kind::Memo: {
                        const char* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                        benchmark::DoNotOptimize(
                            QString::fromUtf8(t, sqlite3_column_bytes(stmt, i)));
                        break;
                    }
                }
            }
            ++rows;
        }
        sqlite3_finalize(stmt);
    }
    state.SetItemsProcessed(rows);
}
BENCHMARK(BM_ReadAssets_RawApi)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_AssetQuery_Open(benchmark::State& state) {
    auto c = openBenchDatabase();
    for (auto _ : state) {
        fx::db::RowSet rs(*c, kAssetQuery);
        rs.open();
        if (rs.count() != kAssets) state.SkipWithError("asset query lost assets");
    }
    state.SetItemsProcessed(state.iterations() * kAssets);
}
BENCHMARK(BM_AssetQuery_Open)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Open and read what a value list needs of every row, as the results window does.
void BM_AssetQuery_OpenAndRead(benchmark::State& state) {
    auto c = openBenchDatabase();
    for (auto _ : state) {
        fx::db::RowSet rs(*c, kAssetQuery);
        rs.open();
        const int fields = int(rs.fieldNames().size());
        for (rs.first(); !rs.eof(); rs.next()) {
            for (int i = 0; i < fields; ++i) benchmark::DoNotOptimize(rs.value(i));
        }
    }
    state.SetItemsProcessed(state.iterations() * kAssets);
}
BENCHMARK(BM_AssetQuery_OpenAndRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Steps a native statement through the C API reading every column by the type the engine
// returns; the number of rows.
int stepAll(benchmark::State& state, sqlite3* db, const QByteArray& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        return -1;
    }
    const int columns = sqlite3_column_count(stmt);
    int rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i) {
            switch (sqlite3_column_type(stmt, i)) {
                case SQLITE_INTEGER:
                    benchmark::DoNotOptimize(sqlite3_column_int64(stmt, i));
                    break;
                case SQLITE_FLOAT:
                    benchmark::DoNotOptimize(sqlite3_column_double(stmt, i));
                    break;
                case SQLITE_TEXT:
                    benchmark::DoNotOptimize(QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                        sqlite3_column_bytes(stmt, i)));
                    break;
                default:
                    break;
            }
        }
        ++rows;
    }
    sqlite3_finalize(stmt);
    return rows;
}

void runRawAssetQuery(benchmark::State& state, const QByteArray& sql) {
    auto c = openBenchDatabase();
    for (auto _ : state) {
        if (stepAll(state, static_cast<fx::db::detail::SqliteEngine&>(c->engine()).handle(), sql) !=
            kAssets) {
            state.SkipWithError("asset query lost assets");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * kAssets);
}

// The same query as the layer translates it, stepped through the C API: what the engine and
// the Jet functions cost by themselves, without the row set.
void BM_AssetQuery_RawApi(benchmark::State& state) {
    runRawAssetQuery(state, openBenchDatabase()->translate(kAssetQuery).toUtf8());
}
BENCHMARK(BM_AssetQuery_RawApi)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// As above with NOW() replaced by a fixed text: the cost of NOW(), called twice per row.
void BM_AssetQuery_RawFixedNow(benchmark::State& state) {
    QString sql = openBenchDatabase()->translate(kAssetQuery);
    sql.replace(QStringLiteral("NOW()"), QStringLiteral("'2024-06-15 10:00:00'"),
                Qt::CaseInsensitive);
    runRawAssetQuery(state, sql.toUtf8());
}
BENCHMARK(BM_AssetQuery_RawFixedNow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The engine alone on the joins, without any Jet function: months in use and the asset number
// in plain SQL, to tell the cost of the functions from that of the join.
void BM_AssetQuery_RawNoFunctions(benchmark::State& state) {
    runRawAssetQuery(
        state, QByteArrayLiteral(
                   "select (2024-cast(substr(gmrq,1,4) as integer))*12+6-cast(substr(gmrq,6,2) "
                   "as integer) as ynum,(sbjl.id||sbjl.num) as bh,sbjl.*,syq.yue,sortproc.cz "
                   "from sbjl,syq,sortproc where sbjl.bxq=syq.qx and sbjl.zclb=sortproc.sort"));
}
BENCHMARK(BM_AssetQuery_RawNoFunctions)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_InitAssets100000(benchmark::State& state) {
    for (auto _ : state) {
        fx::admin::InitOptions options;
        options.appDir = fx::bench::freshBenchFolder();
        options.assets = kAssets;
        fx::admin::initInstallation(options);
    }
    state.SetItemsProcessed(state.iterations() * kAssets);
}
BENCHMARK(BM_InitAssets100000)->Unit(benchmark::kMillisecond)->Iterations(2);

// Writing kWrites assets in one transaction that is rolled back, so every run starts alike.
struct WriteTarget {
    std::unique_ptr<fx::db::Connection> c;
    std::vector<fx::admin::DemoAsset> assets;
    WriteTarget() {
        const fx::bench::BenchInstallation& empty = fx::bench::benchInstallation(0);
        c = fx::db::Connection::open(empty.currentFile, empty.currentPassword);
        assets = fx::admin::generateDemoRegister(kWrites, QDate::currentDate()).assets;
    }
};

void BM_WriteAssets_PreparedInsert(benchmark::State& state) {
    WriteTarget w;
    for (auto _ : state) {
        fx::db::Transaction tx(*w.c);
        fx::db::BulkInsert ins(*w.c, QStringLiteral("sbjl"),
                               {QStringLiteral("id"), QStringLiteral("num"), QStringLiteral("zclb"),
                                QStringLiteral("sbmc"), QStringLiteral("wz"), QStringLiteral("bgr"),
                                QStringLiteral("bxq"), QStringLiteral("gmrq"),
                                QStringLiteral("gmjg"), QStringLiteral("worp")});
        for (const auto& a : w.assets) {
            ins.insert(
                {a.prefix, a.num, a.zclb, a.sbmc, a.wz, a.bgr, a.bxq, a.gmrq, a.gmjg, a.worp});
        }
    }
    state.SetItemsProcessed(state.iterations() * kWrites);
}
BENCHMARK(BM_WriteAssets_PreparedInsert)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_WriteAssets_JetExecute(benchmark::State& state) {
    WriteTarget w;
    for (auto _ : state) {
        fx::db::Transaction tx(*w.c);
        for (const auto& a : w.assets) {
            w.c->execute(QStringLiteral("insert into sbjl (id,num,zclb,sbmc,wz,bgr,bxq,gmrq,gmjg,"
                                        "worp) values (") +
                         fx::db::quoted(a.prefix) + QLatin1Char(',') + QString::number(a.num) +
                         QLatin1Char(',') + fx::db::quoted(a.zclb) + QLatin1Char(',') +
                         fx::db::quoted(a.sbmc) + QLatin1Char(',') + fx::db::quoted(a.wz) +
                         QLatin1Char(',') + fx::db::quoted(a.bgr) + QLatin1Char(',') +
                         fx::db::quoted(a.bxq) + QLatin1Char(',') + fx::db::jetDate(a.gmrq) +
                         QLatin1Char(',') + QString::number(a.gmjg, 'f', 2) + QLatin1Char(',') +
                         (a.worp ? QStringLiteral("true") : QStringLiteral("false")) +
                         QLatin1Char(')'));
        }
    }
    state.SetItemsProcessed(state.iterations() * kWrites);
}
BENCHMARK(BM_WriteAssets_JetExecute)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_WriteAssets_RowSetAppend(benchmark::State& state) {
    WriteTarget w;
    for (auto _ : state) {
        fx::db::Transaction tx(*w.c);
        fx::db::RowSet rs(*w.c, QStringLiteral("select * from sbjl where 1=2"));
        rs.open();
        for (const auto& a : w.assets) {
            rs.append();
            rs.setValue(QStringLiteral("id"), a.prefix);
            rs.setValue(QStringLiteral("num"), a.num);
            rs.setValue(QStringLiteral("zclb"), a.zclb);
            rs.setValue(QStringLiteral("sbmc"), a.sbmc);
            rs.setValue(QStringLiteral("wz"), a.wz);
            rs.setValue(QStringLiteral("bgr"), a.bgr);
            rs.setValue(QStringLiteral("bxq"), a.bxq);
            rs.setValue(QStringLiteral("gmrq"), a.gmrq);
            rs.setValue(QStringLiteral("gmjg"), a.gmjg);
            rs.setValue(QStringLiteral("worp"), a.worp);
            rs.post();
        }
    }
    state.SetItemsProcessed(state.iterations() * kWrites);
}
BENCHMARK(BM_WriteAssets_RowSetAppend)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // The shared register is made before any timing starts; its init time is reported too.
    const auto& b = fx::bench::benchInstallation(kAssets);
    benchmark::AddCustomContext("init_100000_assets_seconds",
                                QString::number(b.initSeconds, 'f', 2).toStdString());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
