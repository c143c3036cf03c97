#include "benchinstallation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>
#include <stdexcept>

#include "installation.h"
#include "installer.h"
#include "schema.h"

namespace fx::bench {

namespace {

QTemporaryDir& root() {
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        auto d = std::make_unique<QTemporaryDir>();
        if (!d->isValid()) throw std::runtime_error("no temporary folder for the benchmarks");
        const QString config = d->filePath(QStringLiteral("config"));
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope,
                           config + QStringLiteral("/system"));
        return d;
    }();
    return *dir;
}

}  // namespace

QString freshBenchFolder() {
    static int next = 0;
    const QString path = root().filePath(QStringLiteral("run%1").arg(++next));
    QDir(path).removeRecursively();
    return path;
}

const BenchInstallation& benchInstallation(int assetCount) {
    static QMap<int, BenchInstallation> made;
    const auto it = made.constFind(assetCount);
    if (it != made.constEnd()) return *it;

    admin::InitOptions options;
    options.appDir = freshBenchFolder();
    options.demo = true;
    options.assets = assetCount;
    QElapsedTimer timer;
    timer.start();
    const admin::InitResult r = admin::initInstallation(options);
    BenchInstallation b;
    b.initSeconds = double(timer.nsecsElapsed()) / 1e9;
    b.appDir = r.appPath;
    b.dataDir = r.dataDir;
    b.currentFile = QDir(r.dataDir).filePath(QString::fromLatin1(schema::kCurrentFile));
    b.historyFile = QDir(r.dataDir).filePath(QString::fromLatin1(schema::kHistoryFile));
    b.currentPassword = schema::currentPasswordFromKeyFile(
        QDir(r.appPath).filePath(QString::fromLatin1(schema::kKeyFileName)));
    return *made.insert(assetCount, b);
}

}  // namespace fx::bench
