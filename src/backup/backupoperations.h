#pragma once

#include <QString>

#include "backupfiles.h"
#include "backuppair.h"
#include "chunkedcopy.h"
#include "databasecheck.h"
#include "organisationkey.h"

namespace fx::backup {

// The file work of backup and restore, without windows: the dialog and the command line both
// run these and show the message they return.

enum class Status {
    Done,
    OthersOnline,      // another program holds the database (presence lock)
    SourceUnreadable,  // backup: the database file is missing or cannot be read
    NotADatabase,      // restore: the chosen file opens with neither password, or is damaged
    BackupUnreadable,  // restore: the chosen file cannot be read
    KeepFailed,        // the replaced file could not be kept (.bak, .bah, .sav)
    WriteFailed,       // the copy could not be written
    CheckFailed,       // the copy (or the database it was taken from) does not pass its check
    FolderUnwritable,  // the presence lock file cannot be created or opened in the data folder
    SourceIsDatabase,  // restore: the chosen file is the database itself
};

struct Result {
    Status status = Status::Done;
    QString message;  // the text to show, in the program's words
    bool ok() const { return status == Status::Done; }
};

// Backs up one database file to target (already named with its extension; the caller has
// asked before replacing an existing one). Needs the exclusive presence lock, so the calling
// program must have closed its own connection to the database. The bytes are copied under a
// read transaction of the engine (readlock.h), so the copy holds only committed data; a hot
// journal left by a crashed program is rolled back into the database first, never copied. The
// copy goes to a temporary file beside the target with the database's mode, carries the run's
// time (backuppair.h), must pass PRAGMA quick_check and is flushed to the medium; then an
// existing target gets its second name .bak/.bah (a hard link, or a copy) and the copy takes
// the target's name in one rename, and the folder is flushed. Only then is "完成" returned. A
// database whose copy fails the check is refused. On any failure the target is as it was.
Result backupDatabase(const QString& databasePath, const QString& password, DatabaseKind kind,
                      const QString& target, const ChunkProgress& progress = {},
                      const BackupRun& run = BackupRun::now());

// The last steps of every backup, once the copy lies whole in part (a temporary file beside
// target): the run's time, the check (PRAGMA quick_check with password) and the flush; then an
// existing target gets its second name .bak/.bah, the copy takes the target's name in one rename
// and the folder is flushed. source names the database in messages. On failure part is removed
// and the target is as it was.
Result finishBackupCopy(const QString& part, const QString& target, DatabaseKind kind,
                        const QString& password, const QString& source, const BackupRun& run);

// Why a file that opened with the password of kind cannot stand in for that database: a table
// of the first layout missing, or a version outside kMinimumVersion .. layoutVersion(kind).
// Empty when it can.
QString layoutProblem(const DatabaseProbe& probe, DatabaseKind kind);

// A backup file told apart by which password opens it.
struct IdentifiedBackup {
    bool ok = false;
    DatabaseKind kind = DatabaseKind::Current;
    int version = 0;
    QString password;  // the password that opened it
    QString problem;   // why it was refused (engine's words), when not ok
};

// Identifies a chosen backup file: the current database's password first, then the history
// database's. A file that opens with neither, opens but fails the integrity check, or lacks the
// tables or version of its kind (layoutProblem) is refused alike. The file is only read.
IdentifiedBackup identifyBackup(const QString& backupFile, const QString& currentPassword);
// The same with every key an installation knows: each current database's password of the ring
// (newest first), then each history database's, so that a backup made under an older key (or
// under the shipped one, before the organisation had its own) is told apart as well.
IdentifiedBackup identifyBackup(const QString& backupFile, const schema::KeyRing& keys);

// Restores backupFile over databasePath; kind and password are those the backup was identified
// by. Needs the exclusive presence lock (the calling program has closed its own
// connection). The chosen file being the database itself is refused; one that is (or links to)
// a file the restore renames or replaces (the .sav file, a journal) is copied first and the
// restore works on the copy. The replaced file is kept as the .sav file (a journal beside it
// goes along as the .sav file's journal, so it can never roll back into the restored file); the
// older .sav file is kept under a second name until the restore has succeeded. A marker beside
// the database covers the time the database file is not whole (restoremarker.h). The restored
// file takes the replaced database's mode, is flushed with its folder, and must pass the
// integrity check and have the tables and version of its kind; otherwise every file is put
// back as it was. After an earlier interrupted restore the half-copied file is discarded and
// the .sav file, which holds the database from before that restore, is left as it is.
Result restoreDatabase(const QString& backupFile, const QString& databasePath, DatabaseKind kind,
                       const QString& password, const ChunkProgress& progress = {});

// The two passwords: the current database's comes from the installation, the history
// database's is fixed.
QString historyPassword();
QString passwordFor(DatabaseKind kind, const QString& currentPassword);

}  // namespace fx::backup
