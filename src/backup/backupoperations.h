#pragma once

#include <QString>

#include "backupfiles.h"
#include "chunkedcopy.h"

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
    CheckFailed,       // restore: the restored copy does not pass the integrity check
};

struct Result {
    Status status = Status::Done;
    QString message;  // the text to show, in the program's words
    bool ok() const { return status == Status::Done; }
};

// Backs up one database file to target (already named with its extension; the caller has
// asked before replacing an existing one). Needs the exclusive presence lock, so the calling
// program must have closed its own connection to the database. A hot journal left beside the
// database by a crashed program is rolled back into it first, never copied. The copy goes to a
// temporary file beside the target; only when it is whole an existing target is kept as
// .bak/.bah and the copy takes its name. On any failure the target and the kept file are as
// they were. The copy is not opened or checked here: a restore checks every page of a backup
// before it replaces anything, and the previous backup survives as .bak/.bah.
Result backupDatabase(const QString& databasePath, const QString& password, DatabaseKind kind,
                      const QString& target, const ChunkProgress& progress = {});

// A backup file told apart by which password opens it.
struct IdentifiedBackup {
    bool ok = false;
    DatabaseKind kind = DatabaseKind::Current;
    int version = 0;
    QString problem;  // why it was refused (engine's words), when not ok
};

// Identifies a chosen backup file: the current database's password first, then the history
// database's. A file that opens with neither, or opens but fails the integrity check, is
// refused alike. The file is only read.
IdentifiedBackup identifyBackup(const QString& backupFile, const QString& currentPassword);

// Restores backupFile over databasePath; kind and password are those the backup was identified
// by. Needs the exclusive presence lock (the calling program has closed its own
// connection). The replaced file is kept as the .sav file (a journal beside it goes along as
// the .sav file's journal, so it can never roll back into the restored file); a marker beside
// the database covers the time the database file is not whole (restoremarker.h). A copy that
// fails to write or to check is removed and the previous file put back. After an earlier
// interrupted restore the half-copied file is discarded and the .sav file, which holds the
// database from before that restore, is left as it is.
Result restoreDatabase(const QString& backupFile, const QString& databasePath, DatabaseKind kind,
                       const QString& password, const ChunkProgress& progress = {});

// The two passwords: the current database's comes from the installation, the history
// database's is fixed.
QString historyPassword();
QString passwordFor(DatabaseKind kind, const QString& currentPassword);

}  // namespace fx::backup
