#include "benchserver.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextStream>
#include <cstdlib>
#include <stdexcept>

#include "admincommand.h"
#include "benchinstallation.h"
#include "benchstate.h"
#include "connection.h"
#include "engine.h"

namespace fx::bench {

namespace {

QString script() {
    return QStringLiteral(FX_SOURCE_DIR "/scripts/testserver.sh");
}

struct Server {
    QString folder;
    Server() {
        QProcess p;
        p.start(QStringLiteral("bash"), {script(), QStringLiteral("--durable")});
        if (!p.waitForFinished(120000) || p.exitCode() != 0)
            throw std::runtime_error("the bench server did not start: " +
                                     p.readAllStandardError().toStdString());
        folder = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    ~Server() {
        QProcess::execute(QStringLiteral("bash"), {script(), QStringLiteral("stop"), folder});
    }
};

Server& server() {
    static Server s;
    return s;
}

// utime + stime of a process in clock ticks, those of its ended children, and its parent.
bool processTimes(const QString& pid, qint64* ticks, qint64* ended, qint64* parent) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray line = f.readAll();
    const qsizetype end = line.lastIndexOf(')');
    if (end < 0) return false;
    const QList<QByteArray> fields = line.mid(end + 2).split(' ');
    if (fields.size() < 15) return false;
    *parent = fields[1].toLongLong();
    *ticks = fields[11].toLongLong() + fields[12].toLongLong();
    *ended = fields[13].toLongLong() + fields[14].toLongLong();
    return true;
}

}  // namespace

QString benchServerConninfo() {
    return QStringLiteral("host=%1 user=fx dbname=postgres").arg(server().folder);
}

QString benchServerDatabase(int assetCount) {
    static QHash<int, QString> made;
    if (made.contains(assetCount)) return made.value(assetCount);
    const BenchInstallation& b = benchInstallation(assetCount);
    const QString name = QStringLiteral("fx_bench_%1").arg(assetCount);
    db::Connection::openServer(benchServerConninfo(), QStringLiteral("public"))
        ->engine()
        .run(QStringLiteral("CREATE DATABASE ") + name);
    const QString conninfo = QStringLiteral("host=%1 user=fx dbname=%2").arg(server().folder, name);
    QString out;
    QString err;
    QTextStream o(&out);
    QTextStream e(&err);
    if (admin::runCommand({QStringLiteral("server-import"), conninfo, b.dataDir}, o, e) != 0)
        throw std::runtime_error("server-import failed: " + err.toStdString());
    made.insert(assetCount, conninfo);
    return conninfo;
}

std::unique_ptr<AppState> administratorServerState(int assetCount) {
    auto s = administratorState(assetCount);
    ServerLocation l;
    l.conninfo = benchServerDatabase(assetCount);
    s->server = l;
    return s;
}

double benchServerCpuSeconds() {
    QFile pidFile(server().folder + QStringLiteral("/data/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly)) return 0;
    const qint64 postmaster = pidFile.readLine().trimmed().toLongLong();
    qint64 total = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        qint64 ticks = 0;
        qint64 ended = 0;
        qint64 parent = 0;
        if (!pid.at(0).isDigit() || !processTimes(pid, &ticks, &ended, &parent)) continue;
        // The backends that ended count through the postmaster, which waited for them.
        if (pid.toLongLong() == postmaster) total += ticks + ended;
        if (parent == postmaster) total += ticks;
    }
    return double(total) / double(::sysconf(_SC_CLK_TCK));
}

}  // namespace fx::bench
