#pragma once

#include <QString>

namespace fx::db {
class Connection;
}

namespace fx::schema {

// File names of the two databases in the data directory.
inline constexpr const char* kCurrentFile = "gdzc.qsk";
inline constexpr const char* kHistoryFile = "dbjl.his";
// The history database's password is fixed by the program; the current one comes from the
// installation's key file (installation.h).
inline constexpr const char* kHistoryPassword = "mtbrqxhwpz";
// The database layout version a new database carries; the program refuses anything below
// kMinimumVersion.
inline constexpr int kLayoutVersion = 600;
inline constexpr int kMinimumVersion = 550;

// Reserved rows the program protects.
inline constexpr const char* kAdministrator = "系统管理员";
inline constexpr const char* kUnassignedPerson = "未分配";

// Creates every table and index of the current database with its reserved rows on an open,
// empty connection: username (version kLayoutVersion, first-use mark 0, empty organisation),
// users with the administrator (all rights, no password), person with the unassigned person.
void createCurrentSchema(db::Connection& c);
// Creates the history database's tables with its single username row.
void createHistorySchema(db::Connection& c);

// The organisation's name the reports and slips are headed with: field `user` of the current
// database's `username` row; empty when there is no such row.
QString organisationName(db::Connection& current);

// Creates both keyed files in dataDir (which must exist and hold neither file yet). The history
// database gets the fixed history password unless another is given (an organisation's key).
void createDatabases(const QString& dataDir, const QString& currentPassword,
                     const QString& historyPassword = QString());

// On a database server the two databases are two schemas of one database, named after the
// files (a prefix lets several registers, or tests, share one server database).
inline constexpr const char* kServerCurrentSchema = "gdzc";
inline constexpr const char* kServerHistorySchema = "dbjl";
// Creates both schemas on the server with their tables, reserved rows and migrations. Refuses
// when either exists; a schema left half made is removed again.
void createServerDatabases(const QString& conninfo, const QString& prefix = QString());

}  // namespace fx::schema
