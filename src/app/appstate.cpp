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
    current = server ? db::Connection::openServer(server->connectionString(), server->currentSchema)
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
