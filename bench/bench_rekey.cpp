// The organisation's own key on an installation of 100000 demo assets:
//  - BM_Rekey: both databases rekeyed as `fxasset-admin rekey` does (presence locks, copies,
//    PRAGMA rekey, check, flush, key file, renames; target: at most 3 s), each iteration on a
//    fresh copy of the data folder made before its clock runs; BM_CopyAndSync is the copy of
//    the same two files with cp and sync, in the same run, for comparison;
//  - BM_OpenAtStart: what a start does before the login shows its users, the keys read from
//    the installation folder (organisationkey.h) and both databases opened with the first key
//    that fits, on the installation with the shipped key only (0) and on a rekeyed copy with
//    its key file (1); the difference is what the organisation key adds to a start (target: at
//    most 20 ms).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "appstate.h"
#include "benchinstallation.h"
#include "connection.h"
#include "organisationkey.h"
#include "rekey.h"
#include "schema.h"

namespace {

constexpr int kAssets = 100000;

const fx::bench::BenchInstallation& installation() {
    return fx::bench::benchInstallation(kAssets);
}

// A copy of the installation (key file, both databases) in a fresh folder; returns its path.
QString copyOfInstallation() {
    const fx::bench::BenchInstallation& inst = installation();
    const QString app = fx::bench::freshBenchFolder();
    QDir().mkpath(app + QStringLiteral("/data"));
    QFile::copy(inst.appDir + QStringLiteral("/qslkeyf2.dll"),
                app + QStringLiteral("/qslkeyf2.dll"));
    QFile::copy(inst.currentFile, app + QStringLiteral("/data/gdzc.qsk"));
    QFile::copy(inst.historyFile, app + QStringLiteral("/data/dbjl.his"));
    return app;
}

fx::backup::RekeyRequest requestFor(const QString& app) {
    fx::backup::RekeyRequest r;
    r.dataDir = app + QStringLiteral("/data");
    r.keyFilePath = fx::schema::organisationKeyPath(app);
    r.ring = fx::schema::readKeyRing(r.keyFilePath);
    r.shipped = fx::schema::shippedKeys(app);
    return r;
}

void BM_Rekey(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const QString app = copyOfInstallation();
        const fx::backup::RekeyRequest request = requestFor(app);
        state.ResumeTiming();
        const fx::backup::RekeyResult r = fx::backup::rekeyDataFolder(request);
        state.PauseTiming();
        if (!r.ok) state.SkipWithError(r.message.toStdString().c_str());
        QDir(app).removeRecursively();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Rekey)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_CopyAndSync(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        const QString target = fx::bench::freshBenchFolder();
        QDir().mkpath(target);
        state.ResumeTiming();
        const QString command =
            QStringLiteral("cp '%1' '%2' '%3' && sync")
                .arg(installation().currentFile, installation().historyFile, target);
        if (std::system(command.toLocal8Bit().constData()) != 0) state.SkipWithError("cp failed");
        state.PauseTiming();
        QDir(target).removeRecursively();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CopyAndSync)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_OpenAtStart(benchmark::State& state) {
    static const QString rekeyed = [] {
        const QString app = copyOfInstallation();
        if (!fx::backup::rekeyDataFolder(requestFor(app)).ok) return QString();
        return app;
    }();
    const QString app = state.range(0) == 1 ? rekeyed : installation().appDir;
    if (app.isEmpty()) {
        state.SkipWithError("rekey failed");
        return;
    }
    for (auto _ : state) {
        fx::AppState s;
        s.appPath = app;
        s.dataDir = app + QStringLiteral("/data/");
        s.keys = fx::schema::installationKeys(app);
        s.currentPassword = s.keys.back().current;
        s.openCurrent();
        if (!s.openHistory()) state.SkipWithError("history did not open");
    }
}
BENCHMARK(BM_OpenAtStart)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
