#include "testinstallation.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include "connection.h"
#include "installation.h"
#include "schema.h"

namespace fx::test {

TestInstallation::TestInstallation(Engine engine) {
    const QString config = dir_.path() + QStringLiteral("/config");
    QDir().mkpath(config);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    // QSettings caches the configuration path on first use; point it explicitly as well.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);

    appPath_ = dir_.path() + QStringLiteral("/app");
    QDir().mkpath(dataDir());
    const QString keyFile = appPath_ + QLatin1Char('/') + QString::fromLatin1(schema::kKeyFileName);
    QFile::copy(
        QStringLiteral(FX_SHARE_DIR) + QLatin1Char('/') + QString::fromLatin1(schema::kKeyFileName),
        keyFile);
    password_ = schema::currentPasswordFromKeyFile(keyFile);
    if (engine == Engine::Server) {
        space_ = std::make_unique<ServerSpace>();
        schema::createServerDatabases(space_->conninfo(), space_->prefix());
    } else {
        schema::createDatabases(dataDir(), password_);
    }
    schema::writeInstallationKey({appPath_, QStringLiteral("测试单位")});
}

TestInstallation::~TestInstallation() = default;

ServerLocation TestInstallation::serverLocation() const {
    ServerLocation l;
    l.conninfo = space_->conninfo();
    l.currentSchema = space_->schema(QString::fromLatin1(schema::kServerCurrentSchema));
    l.historySchema = space_->schema(QString::fromLatin1(schema::kServerHistorySchema));
    return l;
}

std::unique_ptr<AppState> TestInstallation::bare() {
    auto s = std::make_unique<AppState>();
    s->startDir = appPath_;
    s->appPath = appPath_;
    s->dataDir = dataDir();
    s->currentPassword = password_;
    if (space_) s->server = serverLocation();
    return s;
}

std::unique_ptr<db::Connection> TestInstallation::openCurrentDatabase() const {
    if (space_) {
        const ServerLocation l = serverLocation();
        return db::Connection::openServer(l.connectionString(), l.currentSchema);
    }
    return db::Connection::open(dataDir() + QString::fromLatin1(schema::kCurrentFile), password_);
}

std::unique_ptr<db::Connection> TestInstallation::openHistoryDatabase() const {
    if (space_) {
        const ServerLocation l = serverLocation();
        return db::Connection::openServer(l.connectionString(), l.historySchema);
    }
    return db::Connection::open(dataDir() + QString::fromLatin1(schema::kHistoryFile),
                                QString::fromLatin1(schema::kHistoryPassword));
}

std::unique_ptr<AppState> TestInstallation::signedIn(const QString& user) {
    auto s = bare();
    s->userName = user;
    s->rights = Rights{true, true, true, true, true, true, true, true};
    s->openCurrent();
    s->openHistory();
    return s;
}

}  // namespace fx::test
