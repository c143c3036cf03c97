#include "statelocation.h"

#include "appstate.h"

namespace fx::backup {

DatabaseLocation databaseLocation(const AppState& state, DatabaseKind kind) {
    const bool current = kind == DatabaseKind::Current;
    DatabaseLocation location;
    if (state.server) {
        const schema::DatabaseKeys keys = state.keyRing().first();
        location.password = current ? keys.current : keys.history;
        location.conninfo = state.server->connectionString();
        location.schema = current ? state.server->currentSchema : state.server->historySchema;
    } else {
        location.path = current ? state.currentDatabasePath() : state.historyDatabasePath();
        location.password = current ? state.currentPassword : state.historyPassword;
    }
    return location;
}

}  // namespace fx::backup
