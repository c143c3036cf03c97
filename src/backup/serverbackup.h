#pragma once

#include <QString>

#include "backupoperations.h"
#include "databaselocation.h"

namespace fx::backup {

// Backup and restore of a database that lives on a database server. The backup files are the
// keyed files a file installation's backup writes, so that either kind restores into either
// engine.

// Writes the schema database.schema as a keyed backup file (database.password) to target. The
// rows are read inside one read-only REPEATABLE READ transaction: one consistent picture of the
// schema, taken without waiting for the other workstations, which go on working meanwhile. The
// file is made at this program's layout in a temporary file beside the target and then treated
// as a file backup's copy is (finishBackupCopy): checked, flushed, an existing target kept as
// .bak/.bah, renamed into place. On any failure the target is as it was.
Result backupServerDatabase(const DatabaseLocation& database, DatabaseKind kind,
                            const QString& target, const ChunkProgress& progress = {},
                            const BackupRun& run = BackupRun::now());

// Replaces every table of the schema database.schema with the rows of the backup file (kind
// and the password it was identified by), in one server transaction: all of it or nothing.
// Counters go on after the highest serial; a backup of an earlier layout leaves the tables it
// lacks empty, and the schema keeps this program's layout and version. Refused, with the
// message the file restore gives when others are online, while other connections of the
// program work on the schema (the server's list of connections, serversessions.h); the tables
// are held exclusively while they are replaced, so nobody reads half of it.
Result restoreServerDatabase(const QString& backupFile, const DatabaseLocation& database,
                             DatabaseKind kind, const QString& password,
                             const ChunkProgress& progress = {});

}  // namespace fx::backup
