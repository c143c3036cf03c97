#include "backupoperations.h"

#include <cstdio>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "backupmessages.h"
#include "connection.h"
#include "databasecheck.h"
#include "dberror.h"
#include "presencelock.h"
#include "restoremarker.h"
#include "schema.h"

namespace fx::backup {

namespace {

QString systemMessage() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool renameFile(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Renames from to to, replacing to. Where the file system refuses to replace, the old file is
// removed and the rename tried once more. Returns an empty string on success.
QString renameReplacing(const QString& from, const QString& to) {
    if (renameFile(from, to)) return QString();
    const QString first = systemMessage();
    if (QFileInfo::exists(to) && QFile::remove(to) && renameFile(from, to)) return QString();
    return first;
}

// A journal left by a program that crashed in the middle of a write belongs to the database:
// opening it rolls the unfinished change back, so that the copy is whole. Called under the
// exclusive presence lock, with nobody else working on the file.
void settleJournal(const QString& databasePath, const QString& password) {
    if (!QFileInfo::exists(journalPath(databasePath))) return;
    try {
        db::Connection::open(databasePath, password);
    } catch (const db::DbError&) {
        // A database that cannot be opened is copied as it is; restoring the copy refuses it.
    }
}

Result fail(Status status, const QString& message) {
    return Result{status, message};
}

}  // namespace

QString historyPassword() {
    return QString::fromLatin1(schema::kHistoryPassword);
}

QString passwordFor(DatabaseKind kind, const QString& currentPassword) {
    return kind == DatabaseKind::Current ? currentPassword : historyPassword();
}

Result backupDatabase(const QString& databasePath, const QString& password, DatabaseKind kind,
                      const QString& target, const ChunkProgress& progress) {
    ExclusiveAccess access(databasePath);
    if (!access.acquired()) return fail(Status::OthersOnline, text::backupOthersOnline());
    if (!QFileInfo(databasePath).isFile())
        return fail(Status::SourceUnreadable, text::databaseMissing(databasePath));
    settleJournal(databasePath, password);

    // The copy takes the target's name only once it is complete, so a backup cut off half-way
    // never stands under the backup's name, and an earlier backup is replaced only by a whole
    // copy.
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    const CopyOutcome copy = copyFileInChunks(databasePath, part, progress, Flush::StartWriting);
    if (!copy.ok()) {
        QFile::remove(part);
        if (copy.stage == CopyOutcome::Stage::OpenSource)
            return fail(Status::SourceUnreadable, text::databaseUnreadable(copy.message));
        return fail(Status::WriteFailed, text::backupWriteFailed(copy.message));
    }
    const QString kept = keptBackupPath(target, kind);
    const bool keeping = QFileInfo::exists(target);
    if (keeping) {
        const QString error = renameReplacing(target, kept);
        if (!error.isEmpty()) {
            QFile::remove(part);
            return fail(Status::KeepFailed, text::keepBackupFailed(kept, error));
        }
    }
    if (!renameFile(part, target)) {
        const QString error = systemMessage();
        QFile::remove(part);
        if (keeping) renameFile(kept, target);  // the earlier backup goes back under its name
        return fail(Status::WriteFailed,
                    text::backupWriteFailed(target + QStringLiteral("：") + error));
    }
    return Result{Status::Done, kind == DatabaseKind::Current ? text::currentBackupDone()
                                                              : text::historyBackupDone()};
}

IdentifiedBackup identifyBackup(const QString& backupFile, const QString& currentPassword) {
    IdentifiedBackup found;
    for (const DatabaseKind kind : {DatabaseKind::Current, DatabaseKind::History}) {
        const DatabaseProbe probe =
            probeDatabase(backupFile, passwordFor(kind, currentPassword), IntegrityCheck::Full);
        found.problem = probe.problem;
        if (!probe.opened) continue;
        // The password fits; a file that then fails the check is damaged, not of the other kind.
        found.ok = probe.intact;
        found.kind = kind;
        found.version = probe.version;
        return found;
    }
    return found;
}

Result restoreDatabase(const QString& backupFile, const QString& databasePath, DatabaseKind kind,
                       const QString& password, const ChunkProgress& progress) {
    ExclusiveAccess access(databasePath);
    if (!access.acquired()) return fail(Status::OthersOnline, text::restoreOthersOnline());
    {
        QFile source(backupFile);
        if (!source.open(QIODevice::ReadOnly))
            return fail(Status::BackupUnreadable, text::backupUnreadable());
    }

    const QString saved = savedDatabasePath(databasePath);
    const QString journal = journalPath(databasePath);
    const QString savedJournal = journalPath(saved);
    bool kept = false;  // the previous database now lies in the .sav file

    const InterruptedRestore earlier = interruptedRestore(databasePath);
    if (earlier == InterruptedRestore::None) {
        const QString markerError = writeRestoreMarker(databasePath, backupFile);
        if (!markerError.isEmpty())
            return fail(Status::WriteFailed, text::markerFailed(markerError));
        if (QFileInfo::exists(databasePath)) {
            // A journal of an older .sav file must not pair with the file kept now.
            QFile::remove(savedJournal);
            const QString error = renameReplacing(databasePath, saved);
            if (!error.isEmpty()) {
                removeRestoreMarker(databasePath);
                return fail(Status::KeepFailed, text::keepFailed(saved, error));
            }
            kept = true;
            // A hot journal goes with the file it belongs to; beside the restored file it would be
            // rolled back into it.
            if (QFileInfo::exists(journal) && !renameFile(journal, savedJournal) &&
                !QFile::remove(journal)) {
                const QString journalError = systemMessage();
                renameFile(saved, databasePath);
                removeRestoreMarker(databasePath);
                return fail(Status::KeepFailed, text::keepFailed(saved, journalError));
            }
        }
    } else {
        // An earlier restore of this database was interrupted: the file here is a half copy,
        // and the .sav file, if it is the one recorded, holds the database from before. Keep
        // that one and the marker; discard the half copy.
        kept = earlier == InterruptedRestore::PreviousInSav;
        QFile::remove(databasePath);
        QFile::remove(journal);
    }

    const auto undo = [&]() {
        QFile::remove(databasePath);
        if (kept) {
            renameFile(saved, databasePath);
            if (QFileInfo::exists(savedJournal)) renameFile(savedJournal, journal);
        }
        if (interruptedRestore(databasePath) == InterruptedRestore::None)
            removeRestoreMarker(databasePath);
        syncDirectoryOf(databasePath);
    };

    const CopyOutcome copy = copyFileInChunks(backupFile, databasePath, progress);
    if (!copy.ok()) {
        undo();
        switch (copy.stage) {
            case CopyOutcome::Stage::OpenSource:
                return fail(Status::BackupUnreadable, text::backupUnreadable());
            case CopyOutcome::Stage::CreateTarget:
                return fail(Status::WriteFailed, text::restoreOthersOnline());
            default:
                return fail(Status::WriteFailed, text::restoreWriteFailed(copy.message));
        }
    }
    const DatabaseProbe probe = probeDatabase(databasePath, password, IntegrityCheck::Full);
    if (!probe.intact) {
        undo();
        return fail(Status::CheckFailed, text::restoreCheckFailed(probe.problem));
    }
    removeRestoreMarker(databasePath);
    syncDirectoryOf(databasePath);
    return Result{Status::Done, kind == DatabaseKind::Current ? text::currentRestored()
                                                              : text::historyRestored()};
}

}  // namespace fx::backup
