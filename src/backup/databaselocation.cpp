#include "databaselocation.h"

#include "serverbackup.h"

namespace fx::backup {

Result backupDatabase(const DatabaseLocation& database, DatabaseKind kind, const QString& target,
                      const ChunkProgress& progress, const BackupRun& run) {
    if (database.onServer()) return backupServerDatabase(database, kind, target, progress, run);
    return backupDatabase(database.path, database.password, kind, target, progress, run);
}

Result restoreDatabase(const QString& backupFile, const DatabaseLocation& database,
                       DatabaseKind kind, const QString& password, const ChunkProgress& progress) {
    if (database.onServer())
        return restoreServerDatabase(backupFile, database, kind, password, progress);
    return restoreDatabase(backupFile, database.path, kind, password, progress);
}

}  // namespace fx::backup
