// Backup of an installation with 100000 demo assets, against `cp` followed by `sync` of the
// same two files in the same run (target: the backup takes at most 1.5 times as long; the
// flush is the physical limit of a backup that survives, so a bare cp is no fair baseline):
//  - BM_BackupAgainstCp: each iteration backs up both databases as the backup command does
//    (presence lock, a read transaction on the database for the whole copy, chunked copy into a
//    temporary file, PRAGMA quick_check of the copy while the kernel writes it out, fsync of
//    the copy, the earlier backup linked as .bak, one rename, fsync of the folder) and copies
//    the same two files with cp and then sync, in alternating order; the counters give the
//    three times and the ratios to cp followed by sync and to a bare cp;
//  - BM_Backup, BM_Cp, BM_CpSync: the same operations measured alone;
//  - BM_CheckOfTheCopy: the share of the check in a backup, for opening both copies with their
//    passwords (0) and for reading every page (1, PRAGMA quick_check).
// Every iteration writes into a fresh folder, removed afterwards; the sources stay in the page
// cache throughout.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "backupoperations.h"
#include "benchinstallation.h"
#include "databasecheck.h"

extern char** environ;

namespace {

constexpr int kAssets = 100000;

const fx::bench::BenchInstallation& installation() {
    return fx::bench::benchInstallation(kAssets);
}

// Runs a program and waits for it; throws when it fails.
void run(const QStringList& argv) {
    std::vector<QByteArray> bytes;
    for (const QString& a : argv) bytes.push_back(QFile::encodeName(a));
    std::vector<char*> args;
    for (QByteArray& b : bytes) args.push_back(b.data());
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0)
        throw std::runtime_error("cannot start " + argv.front().toStdString());
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(argv.join(u' ').toStdString() + " failed");
}

QString newFolder() {
    const QString dir = fx::bench::freshBenchFolder();
    QDir().mkpath(dir);
    return dir;
}

void backupBoth(const QString& dir) {
    const auto& b = installation();
    const auto current = fx::backup::backupDatabase(b.currentFile, b.currentPassword,
                                                    fx::backup::DatabaseKind::Current,
                                                    dir + QStringLiteral("/b.qsl"));
    const auto history = fx::backup::backupDatabase(b.historyFile, fx::backup::historyPassword(),
                                                    fx::backup::DatabaseKind::History,
                                                    dir + QStringLiteral("/b.qsh"));
    if (!current.ok() || !history.ok())
        throw std::runtime_error((current.message + history.message).toStdString());
}

void cpBoth(const QString& dir) {
    const auto& b = installation();
    run({QStringLiteral("cp"), b.currentFile, b.historyFile, dir});
}

void syncBoth(const QString& dir) {
    run({QStringLiteral("sync"), dir + QStringLiteral("/gdzc.qsk"),
         dir + QStringLiteral("/dbjl.his")});
}

double msSince(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

void reportSizes(benchmark::State& state) {
    const qint64 bytes =
        QFileInfo(installation().currentFile).size() + QFileInfo(installation().historyFile).size();
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["MB"] = double(bytes) / (1024.0 * 1024.0);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void BM_BackupAgainstCp(benchmark::State& state) {
    std::vector<double> backup, cp, cpSync;
    bool backupFirst = true;
    for (auto _ : state) {
        const auto timeBackup = [&] {
            const QString dir = newFolder();
            QElapsedTimer t;
            t.start();
            backupBoth(dir);
            backup.push_back(msSince(t));
            QDir(dir).removeRecursively();
        };
        const auto timeCp = [&] {
            const QString dir = newFolder();
            QElapsedTimer t;
            t.start();
            cpBoth(dir);
            cp.push_back(msSince(t));
            syncBoth(dir);
            cpSync.push_back(msSince(t));
            QDir(dir).removeRecursively();
        };
        if (backupFirst) {
            timeBackup();
            timeCp();
        } else {
            timeCp();
            timeBackup();
        }
        backupFirst = !backupFirst;
    }
    state.counters["backup_ms"] = median(backup);
    state.counters["cp_ms"] = median(cp);
    state.counters["cp_sync_ms"] = median(cpSync);
    state.counters["backup_per_cp"] = median(backup) / median(cp);
    state.counters["backup_per_cp_sync"] = median(backup) / median(cpSync);
    reportSizes(state);
}
BENCHMARK(BM_BackupAgainstCp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(15);

void BM_Backup(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const QString dir = newFolder();
        state.ResumeTiming();
        backupBoth(dir);
        state.PauseTiming();
        QDir(dir).removeRecursively();
        state.ResumeTiming();
    }
    reportSizes(state);
}
BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_Cp(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const QString dir = newFolder();
        state.ResumeTiming();
        cpBoth(dir);
        state.PauseTiming();
        QDir(dir).removeRecursively();
        state.ResumeTiming();
    }
    reportSizes(state);
}
BENCHMARK(BM_Cp)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_CpSync(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const QString dir = newFolder();
        state.ResumeTiming();
        cpBoth(dir);
        syncBoth(dir);
        state.PauseTiming();
        QDir(dir).removeRecursively();
        state.ResumeTiming();
    }
    reportSizes(state);
}
BENCHMARK(BM_CpSync)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_CheckOfTheCopy(benchmark::State& state) {
    const auto& b = installation();
    const auto check =
        state.range(0) == 0 ? fx::backup::IntegrityCheck::None : fx::backup::IntegrityCheck::Quick;
    const QString dir = newFolder();
    backupBoth(dir);
    for (auto _ : state) {
        const auto current =
            fx::backup::probeDatabase(dir + QStringLiteral("/b.qsl"), b.currentPassword, check);
        const auto history = fx::backup::probeDatabase(dir + QStringLiteral("/b.qsh"),
                                                       fx::backup::historyPassword(), check);
        if (!current.intact || !history.intact) {
            state.SkipWithError("check failed");
            break;
        }
    }
    QDir(dir).removeRecursively();
    reportSizes(state);
}
BENCHMARK(BM_CheckOfTheCopy)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    // The installation is made before any timing starts.
    const auto& b = installation();
    benchmark::AddCustomContext("database_bytes", QString::number(QFileInfo(b.currentFile).size() +
                                                                  QFileInfo(b.historyFile).size())
                                                      .toStdString());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
