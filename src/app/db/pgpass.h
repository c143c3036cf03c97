#pragma once

#include <QString>

namespace fx::db {

// The password file the server's client library reads (libpq's ~/.pgpass, or the file named by
// PGPASSFILE): one line per server, "host:port:database:user:password", with ':' and '\' inside
// a field escaped by a backslash. The program writes it only when the user asks it to remember
// a server password, so that the next start signs in without asking.

// The file libpq reads: $PGPASSFILE when set, otherwise .pgpass in the home folder.
QString passwordFilePath();

// Remembers the password for that server, database and user: a line already there for the same
// four fields is replaced, every other line kept as it was. The file is written to a temporary
// name with mode 0600 (libpq ignores a file others may read), flushed and renamed over the old
// one. Returns an empty text on success, otherwise the reason for the user.
QString rememberPassword(const QString& host, int port, const QString& database,
                         const QString& user, const QString& password);

// The line of the file for these values, escaped as libpq reads it (no line end).
QString passwordFileLine(const QString& host, int port, const QString& database,
                         const QString& user, const QString& password);

}  // namespace fx::db
