#include "appstate.h"

#include "connection.h"
#include "dberror.h"
#include "schema.h"

namespace fx {

AppState::AppState() = default;
AppState::~AppState() = default;

bool AppState::isAdministrator() const {
    return userName == QString::fromUtf8(schema::kAdministrator);
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
}

bool AppState::openHistory() {
    try {
        history = db::Connection::open(historyDatabasePath(),
                                       QString::fromLatin1(schema::kHistoryPassword));
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
