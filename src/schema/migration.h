#pragma once

namespace fx::db {
class Connection;
}

namespace fx::schema {

// The two databases of an installation; each has its own layout history.
enum class DatabaseKind { Current, History };

// The layout version a database of this kind reaches once every migration step has run; a new
// database is created at the earliest layout and migrated to it.
int layoutVersion(DatabaseKind kind);
// The version a database records in its `username` row (0 when it has none).
int storedVersion(db::Connection& c);
// True when the database records a version from kMinimumVersion up to below layoutVersion(kind).
bool needsMigration(db::Connection& c, DatabaseKind kind);
// Brings a database of an earlier layout to layoutVersion(kind): runs every step above its
// stored version in order, then records the new version, all in one transaction, so a failure
// leaves the file as it was. Existing tables and rows are never rewritten. Does nothing on a
// database that is already current (or newer) or below kMinimumVersion. Throws DbError on
// failure.
void migrate(db::Connection& c, DatabaseKind kind);

}  // namespace fx::schema
