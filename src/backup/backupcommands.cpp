#include "backupcommands.h"

#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "appstate.h"
#include "backupmessages.h"
#include "datalocation.h"
#include "dberror.h"
#include "installation.h"
#include "modal.h"
#include "organisationkey.h"
#include "presencelock.h"
#include "prompt.h"
#include "restoremarker.h"
#include "schema.h"
#include "texitdlg.h"

namespace fx::backup {

void runBackupCommand(QWidget* parent, AppState& state, const ConnectionHooks& hooks) {
    TexitDlg dialog(state, TexitDlg::Use::Backup, hooks, parent);
    ui::runModal(dialog);
}

RestoreOutcome runRestoreCommand(QWidget* parent, AppState& state, const ConnectionHooks& hooks) {
    ui::prompt(parent, {text::warning(), text::restoreWarning(), ui::Icon::Warning});
    // The keys are read again the way the program start reads them (a key copied in meanwhile
    // counts), after those the program opened its databases with.
    const schema::KeyRing keys =
        schema::mergedKeyRing(schema::installationKeys(state.appPath), state.keyRing());
    TexitDlg dialog(state, TexitDlg::Use::Restore, hooks, parent, keys);
    const int result = ui::runModal(dialog);
    if (result == QDialog::Accepted) {
        ui::inform(parent, text::currentRestored(), text::important());
        state.showExitDialog = false;
        return RestoreOutcome::CurrentRestored;
    }
    if (result == TexitDlg::kHistoryRestored) {
        ui::inform(parent, text::historyRestored(), text::important());
        try {
            completeHooks(hooks, state).reopen(DatabaseKind::History);
        } catch (const db::DbError& e) {
            ui::warn(parent, e.message(), text::warning());
        }
        return RestoreOutcome::HistoryRestored;
    }
    return RestoreOutcome::Cancelled;
}

ExitDecision runExitDialog(QWidget* parent, AppState& state, const ConnectionHooks& hooks) {
    ExitDecision decision;
    if (state.showExitDialog) {
        TexitDlg dialog(state, TexitDlg::Use::Exit, hooks, parent);
        const int result = ui::runModal(dialog);
        if (dialog.CheckBox1->isChecked()) state.showExitDialog = false;
        decision.close = result == QDialog::Accepted;
    }
    decision.showExitDialog = state.showExitDialog;
    return decision;
}

bool enterPresence(const AppState& state, int waitMs) {
    // On a server the register is there, and a restore there counts the server's connections
    // instead: lock files in the local data folder would guard nothing.
    if (state.server) return true;
    if (!holdPresence(state.currentDatabasePath(), waitMs)) return false;
    holdPresence(state.historyDatabasePath(), waitMs);
    return true;
}

void leavePresence(const AppState& state) {
    // The same on a server: a lock that is not held is left alone, one still held is given up.
    releasePresence(state.currentDatabasePath());
    releasePresence(state.historyDatabasePath());
}

bool beginPresence(QWidget* parent, AppState& state, int waitMs) {
    static QString heldDataDir;
    if (!heldDataDir.isEmpty() && (state.server || heldDataDir != state.dataDir)) {
        AppState previous;
        previous.dataDir = heldDataDir;
        leavePresence(previous);
        heldDataDir.clear();
    }
    // On a server the local data folder holds only the settings: no lock there (a restore on
    // the server counts the server's own connections), and neither an interrupted restore of
    // its files nor a folder that cannot be written keeps the program from the register.
    if (state.server) return true;
    // A data folder the program cannot write is said to be one, not blamed on other users.
    const QString folder = QDir(state.dataDir).absolutePath();
    QString problem;
    Presence presence = Presence::Unavailable;
    if (::access(QFile::encodeName(folder).constData(), R_OK | W_OK | X_OK) != 0)
        problem = QString::fromLocal8Bit(std::strerror(errno));
    else
        presence = takePresence(state.currentDatabasePath(), waitMs, &problem);
    if (presence == Presence::Held) holdPresence(state.historyDatabasePath(), waitMs);
    if (presence == Presence::Busy) {
        ui::prompt(parent, {text::warning(), text::busyElsewhere(), ui::Icon::Stop});
        return false;
    }
    if (presence == Presence::Unavailable) {
        ui::prompt(parent,
                   {text::warning(), text::folderUnwritable(folder, problem), ui::Icon::Stop});
        return false;
    }
    heldDataDir = state.dataDir;
    const QString interrupted = interruptedRestoreMessages(state);
    if (interrupted.isEmpty()) return true;
    ui::prompt(parent, {text::warning(), interrupted, ui::Icon::Stop});
    return false;
}

bool beginPresenceBeforeLogin(QWidget* parent, AppState& state, int waitMs) {
    // The login goes to the server by itself and reads nothing of the local files.
    if (readDataLocation(state.startDir).server) return true;
    // A folder that is not there (a network drive no longer mounted) is left to the login,
    // which names the missing database and lets the user choose another location.
    if (!QFileInfo::exists(state.dataDir)) return true;
    return beginPresence(parent, state, waitMs);
}

QString interruptedRestoreMessages(const AppState& state) {
    QStringList messages;
    for (const QString& path : {state.currentDatabasePath(), state.historyDatabasePath()}) {
        const QString message = interruptedRestoreMessage(path);
        if (!message.isEmpty()) messages << message;
    }
    return messages.join(QLatin1Char('\n'));
}

}  // namespace fx::backup
