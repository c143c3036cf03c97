// Importing a register from a spreadsheet (targets: the check of a 100000-row, 14-column xlsx or
// GBK CSV at most 3 s, its import into an empty register at most 5 s and at most 200 MB of
// memory above the program's own; 1000 rows into a register of 100000 at most 0.5 s):
//  - BM_Read/0 (xlsx) and /1 (GBK CSV): the raw reading alone (unzip and parse, or decode and
//    split), the baseline the others are compared with in the same run;
//  - BM_Check: reading and checking every row against an empty register;
//  - BM_Import: reading, checking and storing every row into an empty register, with the change
//    history's row of each asset (fresh copies of the empty databases per iteration, made
//    outside the timing);
//  - BM_ImportIntoLargeRegister: 1000 rows into a copy of a register of 100000 demo assets,
//    with their history rows.
// Each reports peak_mb: the process's peak resident memory above what it held when it started
// (after making the test files); run one benchmark per process (--benchmark_filter) for it to
// be that benchmark's own.
#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <stdexcept>

#include "benchinstallation.h"
#include "changerecorder.h"
#include "connection.h"
#include "importstore.h"
#include "schema.h"
#include "sourcefile.h"

namespace {

constexpr int kRows = 100000;
const QString kPassword = QStringLiteral("bench-import");

// The files are kept between runs in a folder of their own: writing a 100000-row workbook
// takes more memory than reading it, so the peak of a run is only the import's own from the
// second run on.
QString workFile(const QString& name) {
    static const QString dir = [] {
        const QString d = QDir::tempPath() + QStringLiteral("/fxasset-bench-import");
        QDir().mkpath(d);
        return d;
    }();
    return dir + QLatin1Char('/') + name;
}

const QStringList kHeader = {
    QStringLiteral("资产编号"), QStringLiteral("资产类别"), QStringLiteral("资产名称"),
    QStringLiteral("规格型号"), QStringLiteral("设备配置"), QStringLiteral("用途"),
    QStringLiteral("存放地点"), QStringLiteral("保管人"),   QStringLiteral("来源方式"),
    QStringLiteral("使用年限"), QStringLiteral("购置日期"), QStringLiteral("原值"),
    QStringLiteral("备注"),     QStringLiteral("是否报废")};

// The cells of data row i (0-based), as texts; the date and the price also as numbers.
QStringList rowTexts(int i, int first = 0) {
    static const QStringList categories = {QStringLiteral("电脑"),     QStringLiteral("办公家具"),
                                           QStringLiteral("打印设备"), QStringLiteral("网络设备"),
                                           QStringLiteral("车辆"),     QStringLiteral("空调"),
                                           QStringLiteral("电器"),     QStringLiteral("仪器"),
                                           QStringLiteral("图书"),     QStringLiteral("其他")};
    const int n = i + first;
    const int c = n % 10;
    const QString category = categories[c];
    const QString name = category + QStringLiteral("品种") + QString::number(n % 7);
    const QDate bought = QDate(2010, 1, 1).addDays(n % 5000);
    return {n % 3 == 0 ? QString() : QStringLiteral("IM%1-%2").arg(QChar(u'A' + c)).arg(n + 1),
            category,
            name,
            QStringLiteral("型号%1").arg(n % 40),
            QStringLiteral("标准配置%1").arg(n % 40),
            QStringLiteral("办公"),
            QStringLiteral("房间%1").arg(n % 100),
            QStringLiteral("职员%1").arg(n % 200),
            QStringLiteral("购置"),
            QStringLiteral("%1年").arg(3 + n % 8),
            bought.toString(Qt::ISODate),
            QString::number(100 + (n % 9000) * 1.25, 'f', 2),
            n % 5 == 0 ? QStringLiteral("第%1号备注").arg(n) : QString(),
            n % 50 == 0 ? QStringLiteral("是") : QStringLiteral("否")};
}

QString xlsxFile(int rows, int first = 0) {
    const QString path = workFile(QStringLiteral("register-%1-%2.xlsx").arg(rows).arg(first));
    if (QFile::exists(path)) return path;
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "yyyy-mm-dd");
    for (int c = 0; c < kHeader.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), kHeader[c].toUtf8().constData(), nullptr);
    for (int r = 0; r < rows; ++r) {
        const QStringList cells = rowTexts(r, first);
        for (int c = 0; c < cells.size(); ++c) {
            if (cells[c].isEmpty()) continue;
            const auto row = lxw_row_t(r + 1);
            const auto col = lxw_col_t(c);
            if (c == 10) {
                const QDate d = QDate::fromString(cells[c], Qt::ISODate);
                lxw_datetime dt = {d.year(), d.month(), d.day(), 0, 0, 0};
                worksheet_write_datetime(sheet, row, col, &dt, date);
            } else if (c == 11) {
                worksheet_write_number(sheet, row, col, cells[c].toDouble(), nullptr);
            } else {
                worksheet_write_string(sheet, row, col, cells[c].toUtf8().constData(), nullptr);
            }
        }
    }
    if (workbook_close(book) != LXW_NO_ERROR) throw std::runtime_error("xlsx not written");
    return path;
}

QString csvFile() {
    const QString path = workFile(QStringLiteral("register-gbk.csv"));
    if (QFile::exists(path)) return path;
    QString text = kHeader.join(u',') + u'\n';
    for (int r = 0; r < kRows; ++r) text += rowTexts(r).join(u',') + u'\n';
    QStringEncoder gbk("GB18030");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("csv not written");
    f.write(gbk.encode(text));
    return path;
}

QString sourceFile(int kind) {
    return kind == 0 ? xlsxFile(kRows) : csvFile();
}

// An empty register, made once; each import works on a fresh copy of it.
QString emptyHistory();

QString emptyDatabase() {
    static const QString path = [] {
        const QString data = workFile(QStringLiteral("empty")) + QLatin1Char('/');
        QDir(data).removeRecursively();
        QDir().mkpath(data);
        fx::schema::createDatabases(data, kPassword);
        return data + QLatin1String(fx::schema::kCurrentFile);
    }();
    return path;
}

QString copyOf(const QString& database, const QString& name = QStringLiteral("copy.qsk")) {
    const QString copy = workFile(name);
    QFile::remove(copy);
    if (!QFile::copy(database, copy)) throw std::runtime_error("copy failed");
    return copy;
}

QString emptyHistory() {
    return QFileInfo(emptyDatabase()).absolutePath() + QLatin1Char('/') +
           QLatin1String(fx::schema::kHistoryFile);
}

std::unique_ptr<fx::db::Connection> freshHistory() {
    return fx::db::Connection::open(copyOf(emptyHistory(), QStringLiteral("copy.his")),
                                    QString::fromLatin1(fx::schema::kHistoryPassword));
}

// Imports the rows as the window does: the history transaction around the register's.
fx::import::ImportResult importWithHistory(fx::db::Connection& c, fx::db::Connection& history,
                                           const fx::import::SheetTable& t, const QString& file) {
    fx::history::ChangeRecorder recorder(&history, QStringLiteral("bench"));
    recorder.begin();
    fx::import::ImportResult r = fx::import::runImport(c, t, {}, {}, &recorder, file);
    recorder.commit();
    return r;
}

qint64 statusKb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').front().toLongLong();
    return 0;
}

qint64 baseKb = 0;  // resident memory once the files are made

struct PeakMemory {
    qint64 worst = 0;
    void start() {}
    void stop() { worst = qMax(worst, statusKb("VmHWM:") - baseKb); }
    void report(benchmark::State& state) const {
        state.counters["peak_mb"] = double(worst) / 1024.0;
    }
};

void BM_Read(benchmark::State& state) {
    const QString file = sourceFile(int(state.range(0)));
    PeakMemory peak;
    for (auto _ : state) {
        peak.start();
        const fx::import::SheetTable t = fx::import::readSheet(file);
        benchmark::DoNotOptimize(t.rows.size());
        peak.stop();
    }
    peak.report(state);
}
BENCHMARK(BM_Read)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_Check(benchmark::State& state) {
    const QString file = sourceFile(int(state.range(0)));
    auto c = fx::db::Connection::open(emptyDatabase(), kPassword);
    PeakMemory peak;
    for (auto _ : state) {
        peak.start();
        const fx::import::SheetTable t = fx::import::readSheet(file);
        const fx::import::ImportPlan p = fx::import::planImport(*c, t, {});
        if (p.assets.size() != std::size_t(kRows)) state.SkipWithError("rows refused");
        peak.stop();
    }
    peak.report(state);
}
BENCHMARK(BM_Check)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_Import(benchmark::State& state) {
    const QString file = sourceFile(int(state.range(0)));
    PeakMemory peak;
    for (auto _ : state) {
        state.PauseTiming();
        auto c = fx::db::Connection::open(copyOf(emptyDatabase()), kPassword);
        auto h = freshHistory();
        state.ResumeTiming();
        peak.start();
        const fx::import::SheetTable t = fx::import::readSheet(file);
        const fx::import::ImportResult r = importWithHistory(*c, *h, t, file);
        if (r.added != kRows) state.SkipWithError("rows refused");
        peak.stop();
    }
    peak.report(state);
}
BENCHMARK(BM_Import)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ImportIntoLargeRegister(benchmark::State& state) {
    const auto& b = fx::bench::benchInstallation(100000);
    const QString file = xlsxFile(1000, 500000);
    for (auto _ : state) {
        state.PauseTiming();
        auto c = fx::db::Connection::open(copyOf(b.currentFile), b.currentPassword);
        auto h = freshHistory();
        state.ResumeTiming();
        const fx::import::SheetTable t = fx::import::readSheet(file);
        const fx::import::ImportResult r = importWithHistory(*c, *h, t, file);
        if (r.added != 1000) state.SkipWithError("rows refused");
    }
}
BENCHMARK(BM_ImportIntoLargeRegister)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // The files are made before any timing starts.
    sourceFile(0);
    sourceFile(1);
    emptyDatabase();
    baseKb = statusKb("VmRSS:");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
