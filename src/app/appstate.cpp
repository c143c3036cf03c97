#include "appstate.h"

#include "connection.h"
#include "dberror.h"
#include "migration.h"
#include "schema.h"

namespace fx {

QString ServerLocation::connectionString() const {
    if (password.isEmpty()) return conninfo;
    // libpq's quoted keyword value: backslash and single quote escaped by a backslash.
    QString quoted = password;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return conninfo + QStringLiteral(" password='") + quoted + QLatin1Char('\'');
}

std::unique_ptr<db::Connection> openServerCurrent(const ServerLocation& server) {
    auto c = db::Connection::openServer(server.connectionString(), server.currentSchema);
    if (!c->hasTable(QStringLiteral("username")) || !c->hasTable(QStringLiteral("users"))) {
        throw db::DbError(QStringLiteral("数据库服务器上的“%1”不是本程序的数据，请先用 "
                                         "fxasset-admin server-init 建立")
                              .arg(server.currentSchema));
    }
    const int stored = schema::storedVersion(*c);
    const int known = schema::layoutVersion(schema::DatabaseKind::Current);
    if (stored > known) {
        // A newer program changed the layout; working on it could spoil what it added.
        throw db::DbError(QStringLiteral("数据库服务器上的数据是较新版本的程序建立的（版本 %1，"
                                         "本程序只认识到版本 %2），请先升级本程序再使用。")
                              .arg(stored)
                              .arg(known));
    }
    return c;
}

AppState::AppState() : historyPassword(QString::fromLatin1(schema::kHistoryPassword)) {}
AppState::~AppState() = default;

bool AppState::isAdministrator() const {
    return userName == QString::fromUtf8(schema::kAdministrator);
}

void AppState::migrateForAdministrator(db::Connection& c, schema::DatabaseKind kind) {
    // Only the administrator may change the layout; other users work on the tables they find.
    if (isAdministrator()) schema::migrate(c, kind);
}

schema::KeyRing AppState::keyRing() const {
    schema::KeyRing ring = keys;
    ring << schema::DatabaseKeys{currentPassword, historyPassword};
    return ring;
}

std::unique_ptr<db::Connection> AppState::openKeyed(const QString& path,
                                                    schema::DatabaseKind kind) {
    const bool current = kind == schema::DatabaseKind::Current;
    QString used;
    auto c = schema::openWithFirstKey(path, schema::passwordsFor(keyRing(), kind), &used);
    (current ? currentPassword : historyPassword) = used;
    return c;
}

QString AppState::settingsPath() const {
    return dataDir + QString::fromLatin1(kSettingsFile);
}

QString AppState::currentDatabasePath() const {
    return dataDir + QString::fromLatin1(schema::kCurrentFile);
}

QString AppState::historyDatabasePath() const {
    return dataDir + QString::fromLatin1(schema::kHistoryFile);
}

void AppState::openCurrent() {
    current = server ? openServerCurrent(*server)
                     : openKeyed(currentDatabasePath(), schema::DatabaseKind::Current);
    migrateForAdministrator(*current, schema::DatabaseKind::Current);
}

bool AppState::openHistory() {
    try {
        history =
            server ? db::Connection::openServer(server->connectionString(), server->historySchema)
                   : openKeyed(historyDatabasePath(), schema::DatabaseKind::History);
        migrateForAdministrator(*history, schema::DatabaseKind::History);
        return true;
    } catch (const db::DbError&) {
        history.reset();
        return false;
    }
}

void AppState::closeConnections() {
    current.reset();
    history.reset();
}

}  // namespace fx
