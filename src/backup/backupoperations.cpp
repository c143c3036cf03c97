#include "backupoperations.h"

#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <optional>

#include "backupmessages.h"
#include "databasecheck.h"
#include "dberror.h"
#include "diskflush.h"
#include "filemode.h"
#include "layouttables.h"
#include "migration.h"
#include "presencelock.h"
#include "readlock.h"
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

// The same file on the disk: one name, a hard link or a symbolic link to the other.
bool sameFile(const QString& a, const QString& b) {
    struct stat sa {
    }, sb{};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Gives the file `from` the second name `to` (replacing a file of that name) without ever
// leaving `from` missing: a hard link where the file system has them, else a flushed copy.
// Returns an empty string on success.
QString keepUnderSecondName(const QString& from, const QString& to) {
    const QString part = to + QStringLiteral(".part");
    QFile::remove(part);
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(part).constData()) != 0) {
        const CopyOutcome copy =
            copyFileInChunks(from, part, {}, Flush::WaitForDisk, fileMode(from));
        if (!copy.ok()) {
            QFile::remove(part);
            return copy.message;
        }
    }
    const QString error = renameReplacing(part, to);
    if (!error.isEmpty()) QFile::remove(part);
    return error;
}

Result fail(Status status, const QString& message) {
    return Result{status, message};
}

// Why the presence lock could not be taken, as the message to show.
Result refused(const ExclusiveAccess& access, const QString& databasePath,
               const QString& othersOnline) {
    if (access.othersPresent()) return fail(Status::OthersOnline, othersOnline);
    return fail(Status::FolderUnwritable,
                text::folderUnwritable(QFileInfo(databasePath).absolutePath(), access.reason()));
}

// The part of the copy's work after the bytes are in: the run's time, the integrity check
// (while the kernel writes the copy out) and the flush. Returns the failure to report, if any.
std::optional<Result> settleCopy(const QString& databasePath, const QString& part,
                                 const QString& password, const BackupRun& run) {
    {
        const int fd = ::open(QFile::encodeName(part).constData(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return fail(Status::WriteFailed, text::backupWriteFailed(systemMessage()));
        const QString stamped = stampRun(fd, run);
        ::close(fd);
        if (!stamped.isEmpty()) return fail(Status::WriteFailed, text::backupWriteFailed(stamped));
    }
    const DatabaseProbe probe = probeDatabase(part, password, IntegrityCheck::Quick);
    if (!probe.intact)
        return fail(Status::CheckFailed, text::backupCheckFailed(databasePath, probe.problem));
    const int fd = ::open(QFile::encodeName(part).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return fail(Status::WriteFailed, text::backupFlushFailed(systemMessage()));
    const QString flushed = flushFile(fd);
    ::close(fd);
    if (!flushed.isEmpty()) return fail(Status::WriteFailed, text::backupFlushFailed(flushed));
    return std::nullopt;
}

}  // namespace

QString historyPassword() {
    return QString::fromLatin1(schema::kHistoryPassword);
}

QString passwordFor(DatabaseKind kind, const QString& currentPassword) {
    return kind == DatabaseKind::Current ? currentPassword : historyPassword();
}

QString layoutProblem(const DatabaseProbe& probe, DatabaseKind kind) {
    const schema::DatabaseKind layout = kind == DatabaseKind::Current
                                            ? schema::DatabaseKind::Current
                                            : schema::DatabaseKind::History;
    QStringList missing;
    for (const QString& table : schema::firstLayoutTables(layout))
        if (!probe.tables.contains(table)) missing << table;
    if (!missing.isEmpty())
        return QStringLiteral("no table %1").arg(missing.join(QStringLiteral(", ")));
    if (probe.version < schema::kMinimumVersion || probe.version > schema::layoutVersion(layout))
        return QStringLiteral("version %1 is not from %2 to %3")
            .arg(probe.version)
            .arg(schema::kMinimumVersion)
            .arg(schema::layoutVersion(layout));
    return QString();
}

Result backupDatabase(const QString& databasePath, const QString& password, DatabaseKind kind,
                      const QString& target, const ChunkProgress& progress, const BackupRun& run) {
    ExclusiveAccess access(databasePath);
    if (!access.acquired()) return refused(access, databasePath, text::backupOthersOnline());
    if (!QFileInfo(databasePath).isFile())
        return fail(Status::SourceUnreadable, text::databaseMissing(databasePath));

    // The copy is taken under a read transaction of the engine, so it holds what was committed
    // even should a writer ignore the presence lock; a hot journal is rolled back first.
    ReadLock committed;
    const QString lockProblem = committed.take(databasePath, password);
    if (!lockProblem.isEmpty()) {
        if (committed.busy()) return fail(Status::OthersOnline, text::backupOthersOnline());
        return fail(Status::CheckFailed, text::backupCheckFailed(databasePath, lockProblem));
    }

    // The copy takes the target's name only once it is whole, checked and on the medium, so a
    // backup cut off half-way never stands under the backup's name, and an earlier backup is
    // replaced only by a good copy.
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    const CopyOutcome copy =
        copyFileInChunks(databasePath, part, progress, Flush::StartWriting, fileMode(databasePath));
    committed.release();
    if (!copy.ok()) {
        QFile::remove(part);
        if (copy.stage == CopyOutcome::Stage::OpenSource)
            return fail(Status::SourceUnreadable, text::databaseUnreadable(copy.message));
        return fail(Status::WriteFailed, text::backupWriteFailed(copy.message));
    }
    return finishBackupCopy(part, target, kind, password, databasePath, run);
}

Result finishBackupCopy(const QString& part, const QString& target, DatabaseKind kind,
                        const QString& password, const QString& source, const BackupRun& run) {
    if (const auto failure = settleCopy(source, part, password, run)) {
        QFile::remove(part);
        return *failure;
    }

    // The earlier backup gets its second name (.bak/.bah) before the new copy replaces it in
    // one rename: at no moment is there no file under the backup's name.
    if (QFileInfo::exists(target)) {
        const QString kept = keptBackupPath(target, kind);
        const QString error = keepUnderSecondName(target, kept);
        if (!error.isEmpty()) {
            QFile::remove(part);
            return fail(Status::KeepFailed, text::keepBackupFailed(kept, error));
        }
    }
    if (!renameFile(part, target)) {
        const QString error = systemMessage();
        QFile::remove(part);
        return fail(Status::WriteFailed,
                    text::backupWriteFailed(target + QStringLiteral("：") + error));
    }
    const QString folder = flushFolderOf(target);
    if (!folder.isEmpty()) return fail(Status::WriteFailed, text::backupFlushFailed(folder));
    return Result{Status::Done, kind == DatabaseKind::Current ? text::currentBackupDone()
                                                              : text::historyBackupDone()};
}

IdentifiedBackup identifyBackup(const QString& backupFile, const QString& currentPassword) {
    return identifyBackup(backupFile, schema::KeyRing{{currentPassword, historyPassword()}});
}

IdentifiedBackup identifyBackup(const QString& backupFile, const schema::KeyRing& keys) {
    IdentifiedBackup found;
    for (const DatabaseKind kind : {DatabaseKind::Current, DatabaseKind::History}) {
        const schema::DatabaseKind layout = kind == DatabaseKind::Current
                                                ? schema::DatabaseKind::Current
                                                : schema::DatabaseKind::History;
        for (const QString& password : schema::passwordsFor(keys, layout)) {
            const DatabaseProbe probe = probeDatabase(backupFile, password, IntegrityCheck::Full);
            found.problem = probe.problem;
            if (!probe.opened) continue;
            // The password fits; a file that then fails the check, or lacks the tables and
            // version of its kind, is not a database this program can work on.
            const QString problem = layoutProblem(probe, kind);
            if (!problem.isEmpty()) found.problem = problem;
            found.ok = probe.intact && problem.isEmpty();
            found.kind = kind;
            found.version = probe.version;
            found.password = password;
            return found;
        }
    }
    return found;
}

Result restoreDatabase(const QString& backupFile, const QString& databasePath, DatabaseKind kind,
                       const QString& password, const ChunkProgress& progress) {
    ExclusiveAccess access(databasePath);
    if (!access.acquired()) return refused(access, databasePath, text::restoreOthersOnline());
    {
        QFile source(backupFile);
        if (!source.open(QIODevice::ReadOnly))
            return fail(Status::BackupUnreadable, text::backupUnreadable());
    }
    if (sameFile(backupFile, databasePath))
        return fail(Status::SourceIsDatabase, text::restoreFromDatabaseItself(databasePath));

    const QString saved = savedDatabasePath(databasePath);
    const QString journal = journalPath(databasePath);
    const QString savedJournal = journalPath(saved);
    // The .sav file of an earlier restore, set aside (by a second name) until this one succeeds.
    const QString previous = saved + QStringLiteral(".prev");
    const QString previousJournal = journalPath(previous);
    const int mode = modeBeside(databasePath);

    // A backup that is, or links to, a file this restore renames or replaces is copied first,
    // and the restore works on the copy.
    QString source = backupFile;
    const QString sourceCopy = databasePath + QStringLiteral(".source");
    const auto removeSourceCopy = qScopeGuard([&] {
        if (source == sourceCopy) QFile::remove(sourceCopy);
    });
    for (const QString& own : {saved, journal, savedJournal, previous, previousJournal}) {
        if (!sameFile(backupFile, own)) continue;
        QFile::remove(sourceCopy);
        const CopyOutcome copy =
            copyFileInChunks(backupFile, sourceCopy, {}, Flush::WaitForDisk, mode);
        if (!copy.ok()) {
            QFile::remove(sourceCopy);
            return fail(Status::WriteFailed, text::markerFailed(copy.message));
        }
        source = sourceCopy;
        break;
    }

    bool kept = false;          // the previous database now lies in the .sav file
    bool setAside = false;      // the older .sav file lies under its second name
    bool journalAside = false;  // ... and its journal

    const InterruptedRestore earlier = interruptedRestore(databasePath);
    if (earlier == InterruptedRestore::None) {
        const QString markerError = writeRestoreMarker(databasePath, backupFile);
        if (!markerError.isEmpty())
            return fail(Status::WriteFailed, text::markerFailed(markerError));
        if (QFileInfo::exists(databasePath)) {
            const auto giveUp = [&](const QString& error) {
                if (journalAside) renameFile(previousJournal, savedJournal);
                if (setAside) QFile::remove(previous);
                removeRestoreMarker(databasePath);
                return fail(Status::KeepFailed, text::keepFailed(saved, error));
            };
            if (QFileInfo::exists(saved)) {
                const QString error = keepUnderSecondName(saved, previous);
                if (!error.isEmpty()) return giveUp(error);
                setAside = true;
            }
            // A journal of the older .sav file must not pair with the file kept now.
            if (QFileInfo::exists(savedJournal)) {
                if (!renameFile(savedJournal, previousJournal)) return giveUp(systemMessage());
                journalAside = true;
            }
            const QString error = renameReplacing(databasePath, saved);
            if (!error.isEmpty()) return giveUp(error);
            kept = true;
            // A hot journal goes with the file it belongs to; beside the restored file it would be
            // rolled back into it.
            if (QFileInfo::exists(journal) && !renameFile(journal, savedJournal) &&
                !QFile::remove(journal)) {
                const QString journalError = systemMessage();
                renameFile(saved, databasePath);
                kept = false;
                return giveUp(journalError);
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

    // A failed restore puts every file back as it was.
    const auto undo = [&]() {
        QFile::remove(databasePath);
        if (kept) {
            renameFile(saved, databasePath);
            if (QFileInfo::exists(savedJournal)) renameFile(savedJournal, journal);
        }
        if (setAside) renameFile(previous, saved);
        if (journalAside) renameFile(previousJournal, savedJournal);
        if (interruptedRestore(databasePath) == InterruptedRestore::None)
            removeRestoreMarker(databasePath);
        flushFolderOf(databasePath);
    };

    const CopyOutcome copy =
        copyFileInChunks(source, databasePath, progress, Flush::WaitForDisk, mode);
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
    const QString layout = probe.intact ? layoutProblem(probe, kind) : probe.problem;
    if (!layout.isEmpty()) {
        undo();
        return fail(Status::CheckFailed, text::restoreCheckFailed(layout));
    }
    // The restored file is on the medium (copyFileInChunks flushed it); so must be the names.
    const QString folder = flushFolderOf(databasePath);
    if (!folder.isEmpty()) {
        undo();
        return fail(Status::WriteFailed, text::restoreWriteFailed(folder));
    }
    removeRestoreMarker(databasePath);
    if (setAside) QFile::remove(previous);
    if (journalAside) QFile::remove(previousJournal);
    return Result{Status::Done, kind == DatabaseKind::Current ? text::currentRestored()
                                                              : text::historyRestored()};
}

}  // namespace fx::backup
