// Benchmarks of the register on a database server against the same register in the files, in
// the same run, on 100000 demo assets (offscreen). The server is the benchmark's own (a Unix
// socket, the default flush settings: fsync on); the register is copied onto it with
// fxasset-admin server-import. Each benchmark runs on the files (/0) and on the server (/1):
//  - "显示打印全部 ": the query results window created, shown and painted; target on the server
//    at most twice the files;
//  - showing an asset by its asset number on the card, target at most 20 ms;
//  - "保存" of a batch of 500 identical assets, target at most 1 s;
//  - a backup of both databases to .qsl/.qsh files, target at most 3 s;
//  - ten processes at once, each saving 1000 assets under one prefix with colliding numbers
//    (each save in its own transaction with the numbering turn, a taken proposal replaced by the
//    next free number, as the card's "重试" does): every asset stored once under a number of
//    its own.
// Besides wall time (real_time), counters give the processor time: cpu_s of this program,
// server_cpu_s of the server's processes, writers_cpu_s of the ten writer processes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSpinBox>
#include <QTemporaryDir>
#include <array>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "appstate.h"
#include "assetnumber.h"
#include "backupoperations.h"
#include "batchdialog.h"
#include "benchinstallation.h"
#include "benchserver.h"
#include "benchstate.h"
#include "cardlists.h"
#include "connection.h"
#include "databaselocation.h"
#include "dberror.h"
#include "depreciation.h"
#include "headlessmain.h"
#include "mainform.h"
#include "modal.h"
#include "prompt.h"
#include "querystate.h"
#include "rowset.h"
#include "statelocation.h"
#include "tcxjgdlg1.h"

namespace {

constexpr int kAssets = 100000;
constexpr int kBatch = 500;
constexpr int kWriters = 10;
constexpr int kWrites = 1000;

enum EngineArg { kFile = 0, kServer = 1 };

double processCpuSeconds(int who) {
    rusage u{};
    ::getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// The processor time of this program and of the server over a benchmark's loop.
class CpuCounters {
public:
    CpuCounters()
        : self_(processCpuSeconds(RUSAGE_SELF)),
          children_(processCpuSeconds(RUSAGE_CHILDREN)),
          server_(fx::bench::benchServerCpuSeconds()) {}
    void report(benchmark::State& state, bool writers = false) const {
        const double n = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
        state.counters["cpu_s"] = (processCpuSeconds(RUSAGE_SELF) - self_) / n;
        state.counters["server_cpu_s"] = (fx::bench::benchServerCpuSeconds() - server_) / n;
        if (writers)
            state.counters["writers_cpu_s"] = (processCpuSeconds(RUSAGE_CHILDREN) - children_) / n;
    }

private:
    double self_;
    double children_;
    double server_;
};

fx::AppState& appState(int engine) {
    static std::array<std::unique_ptr<fx::AppState>, 2> states;
    auto& s = states[std::size_t(engine)];
    if (!s) {
        s = engine == kServer ? fx::bench::administratorServerState(kAssets)
                              : fx::bench::administratorState(kAssets);
        s->openCurrent();
        s->openHistory();
    }
    return *s;
}

// ---- the results window ----

void BM_ShowAll(benchmark::State& state) {
    fx::AppState& app = appState(int(state.range(0)));
    const CpuCounters cpu;
    int count = 0;
    for (auto _ : state) {
        fx::query::QueryState q;
        q.queryText = fx::reports::kAssetQuery;
        q.orderText = QStringLiteral(" order by ID1 asc");
        auto w = std::make_unique<fx::query::TcxjgDlg1>(app, q);
        w->show();
        QApplication::processEvents();
        count = q.recordCount;
        state.PauseTiming();
        w->reject();
        w.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    cpu.report(state);
    state.counters["rows"] = count;
}
BENCHMARK(BM_ShowAll)
    ->Arg(kFile)
    ->Arg(kServer)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// ---- the card ----

int batchCount = kBatch;

void answerAtOnce() {
    fx::ui::setPromptHandler([](const fx::ui::PromptRequest& r) {
        if (r.buttons.testFlag(QMessageBox::Retry)) return QMessageBox::Retry;
        return QMessageBox::Ok;
    });
    fx::ui::setModalHandler([](QDialog& d) {
        if (auto* batch = qobject_cast<fx::TplzjDlg*>(&d)) batch->SpinEdit1->setValue(batchCount);
        d.accept();
        return int(QDialog::Accepted);
    });
}

// The main windows, started once each; they go before the application does.
std::array<std::unique_ptr<fx::TMainForm>, 2> forms;

fx::TMainForm& mainForm(int engine) {
    auto& f = forms[std::size_t(engine)];
    if (!f) {
        answerAtOnce();
        f = std::make_unique<fx::TMainForm>(appState(engine));
        if (!f->startUp()) throw std::runtime_error("the main window did not start");
        f->show();
        QApplication::processEvents();
    }
    return *f;
}

QString freshPrefix() {
    static int next = 0;
    QString letters;
    for (int n = next++; letters.size() < 4; n /= 26) letters.prepend(QChar(u'A' + n % 26));
    return QStringLiteral("S") + letters + QLatin1Char('-');
}

void fillCard(fx::TMainForm& f, const QString& number) {
    fx::setListText(f.DBComboBox1, QStringLiteral("计算机设备"));
    f.DBComboBox1Exit();
    fx::setListText(f.DBComboBox2, f.DBComboBox2->itemText(0));
    f.DBComboBox2Exit();
    fx::setListText(f.DBComboBox3, f.DBComboBox3->itemText(0));
    fx::setListText(f.DBComboBox6, f.DBComboBox6->itemText(0));
    f.DBEdit1->setText(QStringLiteral("4999.00"));
    f.DBMemo1->setPlainText(QStringLiteral("批量测试"));
    f.ComboBox1->setEditText(number);
}

void BM_SaveBatchOf500(benchmark::State& state) {
    const int engine = int(state.range(0));
    fx::TMainForm& f = mainForm(engine);
    answerAtOnce();
    const CpuCounters cpu;
    for (auto _ : state) {
        batchCount = kBatch;
        f.New1Click();
        const QString prefix = freshPrefix();
        fillCard(f, prefix + QStringLiteral("1"));
        QElapsedTimer t;
        t.start();
        f.Save1Click();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (f.editMode() != fx::TMainForm::EditMode::Browse ||
            fx::numbering::firstFreeNumber(*appState(engine).current, prefix, 1) != kBatch + 1)
            state.SkipWithError("the batch was not saved");
    }
    cpu.report(state);
}
BENCHMARK(BM_SaveBatchOf500)
    ->Arg(kFile)
    ->Arg(kServer)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_ShowByAssetNumber(benchmark::State& state) {
    const int engine = int(state.range(0));
    fx::TMainForm& f = mainForm(engine);
    answerAtOnce();
    QStringList numbers;
    {
        fx::db::RowSet rows(*appState(engine).current,
                            QStringLiteral("select id,num from sbjl where ID1 in "
                                           "(17,4711,23456,50001,77777,99999)"));
        rows.open();
        for (rows.first(); !rows.eof(); rows.next())
            numbers << fx::numbering::formatAssetNumber(rows.text(QStringLiteral("id")),
                                                        rows.integer(QStringLiteral("num")));
    }
    const CpuCounters cpu;
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.ComboBox1->setEditText(numbers[i++ % numbers.size()]);
        state.ResumeTiming();
        f.showByAssetNumber();
    }
    cpu.report(state);
    if (f.shownSerial() == 0) state.SkipWithError("no asset was shown");
}
BENCHMARK(BM_ShowByAssetNumber)
    ->Arg(kFile)
    ->Arg(kServer)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();

// ---- backup ----

void BM_BackupBothDatabases(benchmark::State& state) {
    fx::AppState& app = appState(int(state.range(0)));
    const CpuCounters cpu;
    for (auto _ : state) {
        state.PauseTiming();
        const QString folder = fx::bench::freshBenchFolder();
        QDir().mkpath(folder);
        state.ResumeTiming();
        const fx::backup::BackupRun run = fx::backup::BackupRun::now();
        for (const auto kind :
             {fx::backup::DatabaseKind::Current, fx::backup::DatabaseKind::History}) {
            const QString target =
                folder + (kind == fx::backup::DatabaseKind::Current ? QStringLiteral("/b.qsl")
                                                                    : QStringLiteral("/b.qsh"));
            const fx::backup::Result r = fx::backup::backupDatabase(
                fx::backup::databaseLocation(app, kind), kind, target, {}, run);
            if (!r.ok()) {
                state.SkipWithError(r.message.toStdString().c_str());
                return;
            }
        }
    }
    cpu.report(state);
}
BENCHMARK(BM_BackupBothDatabases)
    ->Arg(kFile)
    ->Arg(kServer)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

// ---- ten writers at once ----

// A writer process: saves `count` assets under `prefix`, each in a transaction of its own, as
// the card's "保存" with "重试" does: the number proposed before the save (one above the highest
// registered, read outside the transaction, so every writer proposes the same one), and in the
// transaction the numbering turn, the first free number when the proposal is taken, the asset
// and the registry. Prints the collisions resolved and the saves retried after a refusal (a lock
// wait over its limit). Returns the exit status.
int runWriter(const QStringList& args) {
    const bool server = args.at(0) == QLatin1String("server");
    const QString where = args.at(1);
    const QString password = args.at(2);
    const QString prefix = args.at(3);
    const int count = args.at(4).toInt();
    try {
        auto c = server ? fx::db::Connection::openServer(where, QStringLiteral("gdzc"))
                        : fx::db::Connection::open(where, password);
        int collisions = 0;
        int retries = 0;
        for (int i = 0; i < count; ++i) {
            for (;;) {
                try {
                    const std::optional<int> registered = fx::numbering::registeredMax(*c, prefix);
                    int n = registered.value_or(0) + 1;
                    fx::db::Transaction t(*c);
                    fx::numbering::takeNumberingTurn(*c);
                    if (fx::numbering::isNumberTaken(*c, prefix, n)) {
                        ++collisions;
                        n = fx::numbering::firstFreeNumber(*c, prefix, n + 1);
                    }
                    c->execute(QStringLiteral("insert into sbjl (id,num,zclb,sbmc,wz,bxq,gmjg) "
                                              "values ('%1',%2,'计算机设备','台式机','机房',"
                                              "'五年',4999)")
                                   .arg(prefix)
                                   .arg(n));
                    fx::numbering::noteNumberIssued(*c, prefix, n);
                    t.commit();
                    break;
                } catch (const fx::db::DbError& e) {
                    if (!e.isBusy()) throw;
                    ++retries;
                }
            }
        }
        std::printf("%d %d\n", collisions, retries);
        return 0;
    } catch (const fx::db::DbError& e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
}

void BM_TenWritersWithCollidingNumbers(benchmark::State& state) {
    const int engine = int(state.range(0));
    fx::AppState& app = appState(engine);
    const CpuCounters cpu;
    qint64 stored = 0;
    qint64 distinct = 0;
    qint64 collisions = 0;
    qint64 retries = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString prefix = freshPrefix();
        const fx::backup::DatabaseLocation where =
            fx::backup::databaseLocation(app, fx::backup::DatabaseKind::Current);
        state.ResumeTiming();
        std::vector<std::unique_ptr<QProcess>> writers;
        for (int w = 0; w < kWriters; ++w) {
            auto p = std::make_unique<QProcess>();
            p->start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("--writer"),
                      engine == kServer ? QStringLiteral("server") : QStringLiteral("file"),
                      engine == kServer ? where.conninfo : where.path, where.password, prefix,
                      QString::number(kWrites)});
            writers.push_back(std::move(p));
        }
        bool ok = true;
        for (auto& p : writers) {
            ok = p->waitForFinished(3600000) && p->exitCode() == 0 && ok;
            const QByteArray problem = p->readAllStandardError();
            if (!problem.isEmpty()) std::fprintf(stderr, "writer: %s", problem.constData());
            const QList<QByteArray> counts = p->readAllStandardOutput().trimmed().split(' ');
            if (counts.size() == 2) {
                collisions += counts.at(0).toLongLong();
                retries += counts.at(1).toLongLong();
            }
        }
        state.PauseTiming();
        if (!ok) {
            state.SkipWithError("a writer failed");
            return;
        }
        fx::db::Connection& c = *app.current;
        stored = c.queryValue(QStringLiteral("select count(*) from sbjl where id='%1'").arg(prefix))
                     .toLongLong();
        distinct =
            c.queryValue(QStringLiteral("select count(*) from (select distinct num from sbjl where "
                                        "id='%1') as d")
                             .arg(prefix))
                .toLongLong();
        if (stored != kWriters * kWrites || distinct != stored) {
            state.SkipWithError("assets were lost or doubled");
            return;
        }
        state.ResumeTiming();
    }
    cpu.report(state, true);
    state.counters["stored"] = double(stored);
    state.counters["distinct_numbers"] = double(distinct);
    state.counters["collisions"] = double(collisions);
    state.counters["retries"] = double(retries);
}
BENCHMARK(BM_TenWritersWithCollidingNumbers)
    ->Arg(kFile)
    ->Arg(kServer)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], "--writer") == 0) {
        QCoreApplication app(argc, argv);
        return runWriter(app.arguments().mid(2));
    }
    // Both registers are made (and the server's copied) before any timing.
    return fx::bench::runHeadlessBenchmarks(
        argc, argv,
        [] {
            appState(kFile);
            appState(kServer);
        },
        [] { forms = {}; });
}
