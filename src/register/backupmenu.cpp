#include <memory>

#include "backupcommands.h"
#include "dberror.h"
#include "mainform.h"
#include "prompt.h"
#include "rowset.h"

// "备份数据" and "恢复备份", and how the window lets go of a database while it is copied.

namespace fx {

void TMainForm::bindBackupCommands() {
    bindCommand(N1, [this] { BackupClick(); });
    bindCommand(N2, [this] { RestoreClick(); });
}

void TMainForm::BackupClick() {
    backup::runBackupCommand(this, state_, connectionHooks());
    if (currentLost_) endAfterLostDatabase();
}

void TMainForm::endAfterLostDatabase() {
    ui::stop(this, QStringLiteral(
                       "当前数据库无法重新打开，本系统将退出。请检查数据文件夹后重新进入本系统。"));
    endWithoutExitDialog_ = true;
    close();
}

void TMainForm::RestoreClick() {
    switch (backup::runRestoreCommand(this, state_, connectionHooks())) {
        case backup::RestoreOutcome::CurrentRestored:
            // Every workstation has to start again on the restored data, so the window closes at
            // once and without the exit dialog; clearing its flag records exitinfo 1 for the
            // user, as after "不再提示".
            state_.showExitDialog = false;
            recordRestore(QStringLiteral("恢复当前数据库备份"));
            endWithoutExitDialog_ = true;
            close();
            break;
        case backup::RestoreOutcome::HistoryRestored:
            // The history connection is open again; nothing of the window was opened on it.
            recordRestore(QStringLiteral("恢复历史数据库备份"));
            if (currentLost_) endAfterLostDatabase();
            break;
        case backup::RestoreOutcome::Cancelled:
            if (currentLost_) endAfterLostDatabase();
            break;
    }
}

backup::ConnectionHooks TMainForm::connectionHooks() {
    // The record on the card, if any, is read again on the same statement after the copy.
    auto cardSql = std::make_shared<QString>();
    backup::ConnectionHooks hooks;
    hooks.close = [this, cardSql](backup::DatabaseKind kind) {
        if (kind == backup::DatabaseKind::History) {
            state_.history.reset();
            return;
        }
        if (card_) *cardSql = card_->sql();
        closeDataSets();
        state_.current.reset();
    };
    hooks.reopen = [this, cardSql](backup::DatabaseKind kind) {
        if (kind == backup::DatabaseKind::History) {
            state_.openHistory();
            return;
        }
        try {
            state_.openCurrent();
            if (cardSql->isEmpty())
                openDataSets();
            else
                openDataSets(*cardSql);
        } catch (const db::DbError&) {
            // Nothing half-open stays behind; the dialog tells the engine's words, and the
            // command then ends the run.
            closeDataSets();
            state_.current.reset();
            currentLost_ = true;
            throw;
        }
    };
    return hooks;
}

}  // namespace fx
