#pragma once

#include <QDate>
#include <QString>

namespace fx::backup {

// The two databases of a data directory.
enum class DatabaseKind { Current, History };

// The backup file extensions: a current-database backup is written as .qsl, a history-database
// backup as .qsh beside it; an overwritten backup is kept as .bak (current) or .bah (history);
// the database file a restore replaces is kept as .sav.
inline constexpr const char* kCurrentBackupSuffix = "qsl";
inline constexpr const char* kHistoryBackupSuffix = "qsh";
inline constexpr const char* kKeptCurrentSuffix = "bak";
inline constexpr const char* kKeptHistorySuffix = "bah";
inline constexpr const char* kSavedSuffix = "sav";

// The suggested backup name: today as yyyymmdd.
QString defaultBackupName(const QDate& today);

// The path with its last extension replaced by suffix (without the dot), or with suffix
// appended when the file name has none: "a/20240601.qsl" -> "a/20240601.qsh".
QString changeExtension(const QString& path, const QString& suffix);

// The name a save dialog returns, with the default extension .qsl added when the user typed a
// name without one.
QString withDefaultSuffix(const QString& chosen);

// Where each database's backup goes for a chosen file name. The history backup always lies
// beside the current one with the extension .qsh. When both are written, a chosen name ending
// in .qsh still gives the current backup the extension .qsl, so the history backup cannot
// replace it.
QString currentBackupTarget(const QString& chosen, bool bothDatabases);
QString historyBackupTarget(const QString& chosen);

// The name an existing backup is kept under when a new one replaces it (.bak or .bah).
QString keptBackupPath(const QString& target, DatabaseKind kind);

// The name a database file is kept under when a restore replaces it (gdzc.qsk -> gdzc.sav).
QString savedDatabasePath(const QString& databasePath);

// True when path names one of the two database files of dataDir (a backup written there
// would replace the database itself).
bool namesDatabaseFile(const QString& path, const QString& dataDir);

// The engine's rollback journal beside a database file.
QString journalPath(const QString& databasePath);

}  // namespace fx::backup
