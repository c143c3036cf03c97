#pragma once

#include <QString>

#include "backupfiles.h"
#include "backupoperations.h"

namespace fx::backup {

// Where one of the two databases lives: a keyed file, or a schema on a database server. Backup
// and restore write and read the same backup files for both: a backup of a server schema is a
// keyed file like the one a file installation's backup is, so that it restores into either.
struct DatabaseLocation {
    QString path;      // the database file (file engine)
    QString password;  // the file's password; on the server the one its backup files are keyed with
    QString conninfo;  // on the server: the connection string, password included
    QString schema;    // on the server: the database's schema
    bool onServer() const { return !conninfo.isEmpty(); }
};

// Backs up the database to target: a file as backupDatabase() in backupoperations.h does, a
// server schema as backupServerDatabase() in serverbackup.h does.
Result backupDatabase(const DatabaseLocation& database, DatabaseKind kind, const QString& target,
                      const ChunkProgress& progress = {}, const BackupRun& run = BackupRun::now());

// Restores an identified backup file (kind and the password that opened it) over the database:
// a file as restoreDatabase() in backupoperations.h does, a server schema as
// restoreServerDatabase() in serverbackup.h does.
Result restoreDatabase(const QString& backupFile, const DatabaseLocation& database,
                       DatabaseKind kind, const QString& password,
                       const ChunkProgress& progress = {});

}  // namespace fx::backup
