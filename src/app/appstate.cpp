#include "appstate.h"

#include "connection.h"
#include "dberror.h"
#include "migration.h"
#include "schema.h"

namespace fx {

AppState::AppState() = default;
AppState::~AppState() = default;

bool AppState::isAdministrator() const {
    return userName == QString::fromUtf8(schema::kAdministrator);
}

void AppState::migrateForAdministrator(db::Connection& c, schema::DatabaseKind kind) {
    // Only the administrator may change the layout; other users work on the tables they find.
    if (isAdministrator()) schema::migrate(c, kind);
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
    current = db::Connection::open(currentDatabasePath(), currentPassword);
    migrateForAdministrator(*current, schema::DatabaseKind::Current);
}

bool AppState::openHistory() {
    try {
        history = db::Connection::open(historyDatabasePath(),
                                       QString::fromLatin1(schema::kHistoryPassword));
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
