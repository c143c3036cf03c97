#pragma once

#include <QString>

#include "connectionhooks.h"
#include "presencelock.h"

class QWidget;

namespace fx {
class AppState;
}

namespace fx::backup {

// The main window's entry points into backup and restore. hooks close and reopen the main
// window's connection and data sets around each copy; left empty, only the AppState's
// connections are closed and reopened.

// "备份数据": the dialog in its backup use.
void runBackupCommand(QWidget* parent, AppState& state, const ConnectionHooks& hooks = {});

enum class RestoreOutcome {
    Cancelled,        // nothing changed
    CurrentRestored,  // the message is shown, state.showExitDialog is false: close the main
                      // window now, without the exit dialog; the program ends
    HistoryRestored,  // the message is shown and the history connection reopened
};

// "恢复备份": the warning, the current password read from the key file again, the dialog in its
// restore use and the message about the result.
RestoreOutcome runRestoreCommand(QWidget* parent, AppState& state,
                                 const ConnectionHooks& hooks = {});

struct ExitDecision {
    bool close = true;           // false: Cancel, the program stays open
    bool showExitDialog = true;  // the new exit-dialog flag (false once "不再提示" is ticked)
};

// Shutdown: offers the exit dialog when state.showExitDialog is set ("备份后退出" backs up both
// databases first) and stores the new flag in state.showExitDialog. Without the flag it closes
// at once. The caller closes both connections when close is true, and in every case writes
// exitinfo and color for the user.
ExitDecision runExitDialog(QWidget* parent, AppState& state, const ConnectionHooks& hooks = {});

// The presence of this program on the state's two databases (presencelock.h): held from start
// to end. enterPresence waits for a backup or restore running elsewhere to finish; false when
// the current database's lock cannot be taken (the history database's is taken when it can).
// On a server installation enterPresence takes nothing and is true.
bool enterPresence(const AppState& state, int waitMs = kPresenceWaitMs);
void leavePresence(const AppState& state);

// For start-up, after enterPresence: what an interrupted restore of either database left
// behind, as the message to show (empty when there is nothing to say); see restoremarker.h.
QString interruptedRestoreMessages(const AppState& state);

// The start-up step of both: once state.dataDir is known and before the databases are opened,
// takes this program's presence on them (giving up the presence on a data directory taken
// before, when the login has switched to another) and looks for an interrupted restore. When
// the program must end, the reason has been shown and the result is false: a backup or
// restore elsewhere that does not finish in time, or a database left half restored (the
// message says how to get the previous one back; neither database is opened meanwhile).
// On a server installation (state.server set) nothing is taken and nothing looked for: the
// register is on the server, where a restore counts the server's connections; a presence held
// on the files of a data directory before is given up.
bool beginPresence(QWidget* parent, AppState& state, int waitMs = kPresenceWaitMs);

// The program's first step, before the login: beginPresence on state.dataDir, except when the
// location file in state.startDir names a database server (the login goes there) or the data
// folder is not there (the login names the missing database). False as for beginPresence.
bool beginPresenceBeforeLogin(QWidget* parent, AppState& state, int waitMs = kPresenceWaitMs);

}  // namespace fx::backup
