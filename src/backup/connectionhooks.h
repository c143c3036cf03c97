#pragma once

#include <functional>

#include "backupfiles.h"

namespace fx {
class AppState;
}

namespace fx::backup {

// How the program's own connection to a database is closed before a copy and opened again
// after it. The main window passes hooks that close and reopen its data sets with the
// connection; the defaults work on the AppState's connections alone. reopen may throw
// db::DbError with the engine's message.
struct ConnectionHooks {
    std::function<void(DatabaseKind)> close;
    std::function<void(DatabaseKind)> reopen;
};

// Closes state.current / state.history, and reopens them with openCurrent() / openHistory().
ConnectionHooks appStateHooks(AppState& state);

// The given hooks, with any missing one taken from appStateHooks.
ConnectionHooks completeHooks(const ConnectionHooks& hooks, AppState& state);

}  // namespace fx::backup
