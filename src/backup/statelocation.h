#pragma once

#include "backupfiles.h"
#include "databaselocation.h"

namespace fx {
class AppState;
}

namespace fx::backup {

// Where the program's database of that kind lives: the file of the data directory with the
// password it was opened with, or, when the program works on a server, that schema, whose
// backups are keyed with the installation's first keys (as fxasset-admin server-export keys
// its files).
DatabaseLocation databaseLocation(const AppState& state, DatabaseKind kind);

}  // namespace fx::backup
