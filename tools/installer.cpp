#include "installer.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "adminerror.h"
#include "clock.h"
#include "connection.h"
#include "demodictionary.h"
#include "installation.h"
#include "schema.h"
#include "sharedir.h"

namespace fx::admin {

namespace {

// Copies every file below from into to, replacing files an earlier installation left there.
void copyTree(const QString& from, const QString& to) {
    const QDir source(from);
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = QDir(to).filePath(source.relativeFilePath(file));
        if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
            throw AdminError(
                QStringLiteral("cannot create folder %1").arg(QFileInfo(target).absolutePath()));
        }
        if (QFileInfo::exists(target) && !QFile::remove(target)) {
            throw AdminError(QStringLiteral("cannot replace %1").arg(target));
        }
        if (!QFile::copy(file, target)) {
            throw AdminError(QStringLiteral("cannot copy %1 to %2").arg(file, target));
        }
        // Installed files are the installation's own, writable like the rest of it even when
        // the source tree is read-only.
        QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    }
}

void removeDatabaseFiles(const QString& dataDir) {
    const QDir dir(dataDir);
    for (const char* name : {schema::kCurrentFile, schema::kHistoryFile}) {
        const QString file = dir.filePath(QString::fromLatin1(name));
        QFile::remove(file);
        QFile::remove(file + QStringLiteral("-journal"));
    }
}

}  // namespace

InitResult initInstallation(const InitOptions& options) {
    if (options.appDir.trimmed().isEmpty()) throw AdminError(QStringLiteral("no folder given"));
    InitResult result;
    result.appPath = QDir::cleanPath(QFileInfo(options.appDir).absoluteFilePath());
    result.dataDir = schema::localDataDir(result.appPath);
    if (!result.dataDir.endsWith(QLatin1Char('/'))) result.dataDir += QLatin1Char('/');

    const QFileInfo appInfo(result.appPath);
    if (appInfo.exists() && !appInfo.isDir()) {
        throw AdminError(QStringLiteral("%1 exists and is not a folder").arg(result.appPath));
    }
    const QDir dataDir(result.dataDir);
    for (const char* name : {schema::kCurrentFile, schema::kHistoryFile}) {
        const QString file = dataDir.filePath(QString::fromLatin1(name));
        if (QFileInfo::exists(file)) {
            throw AdminError(QStringLiteral("%1 already holds a database (%2); nothing was "
                                            "changed. Remove it or choose another folder.")
                                 .arg(result.dataDir, file));
        }
    }
    const QString shareDir = options.shareDir.isEmpty() ? findShareDir() : options.shareDir;
    if (!isShareDir(shareDir)) {
        throw AdminError(
            QStringLiteral("the installed files (share/ with %1) were not found%2")
                .arg(QString::fromLatin1(schema::kKeyFileName),
                     shareDir.isEmpty() ? QString() : QStringLiteral(" in ") + shareDir));
    }

    if (!QDir().mkpath(result.appPath)) {
        throw AdminError(QStringLiteral("cannot create folder %1").arg(result.appPath));
    }
    copyTree(shareDir, result.appPath);
    const QString keyFile =
        QDir(result.appPath).filePath(QString::fromLatin1(schema::kKeyFileName));
    const QString password = schema::currentPasswordFromKeyFile(keyFile);
    if (password.isEmpty()) {
        throw AdminError(QStringLiteral("the key file %1 gives no password").arg(keyFile));
    }
    if (!QDir().mkpath(result.dataDir)) {
        throw AdminError(QStringLiteral("cannot create folder %1").arg(result.dataDir));
    }

    try {
        schema::createDatabases(result.dataDir, password);
        if (options.demo || options.assets >= 0) {
            result.demo = true;
            auto current = db::Connection::open(
                dataDir.filePath(QString::fromLatin1(schema::kCurrentFile)), password);
            auto history =
                db::Connection::open(dataDir.filePath(QString::fromLatin1(schema::kHistoryFile)),
                                     QString::fromLatin1(schema::kHistoryPassword));
            {
                db::Transaction tx(*current);
                writeDemoDictionary(*current);
                tx.commit();
            }
            const int count = options.assets >= 0 ? options.assets : kDefaultDemoAssets;
            const DemoRegister reg = generateDemoRegister(count, Clock::today());
            result.counts = writeDemoRegister(reg, *current, *history);
        }
    } catch (...) {
        removeDatabaseFiles(result.dataDir);
        throw;
    }

    schema::InstallationKey key;
    key.appPath = result.appPath;
    key.organisationName = options.organisation.isEmpty() ? QString::fromUtf8(kDefaultOrganisation)
                                                          : options.organisation;
    if (!schema::writeInstallationKey(key)) {
        throw AdminError(
            QStringLiteral("the databases in %1 were made, but the installation key could not be "
                           "written; make the settings folder writable and run "
                           "\"fxasset-admin register %2\"")
                .arg(result.dataDir, result.appPath));
    }
    return result;
}

}  // namespace fx::admin
