#pragma once

#include <QtGlobal>
#include <functional>

namespace fx::db {

class Connection;

// Told after every table and every few thousand rows with the rows copied so far and the rows
// the whole copy moves.
using CopyProgress = std::function<void(qint64 copied, qint64 total)>;

// Replaces the rows of every table of `to` with those of the same table of `from` (the columns
// both have, matched without regard to case); a table `from` lacks is left empty, as a database
// of an earlier layout brought up to date has it. Counters keep their values and go on after the
// highest; a server's statistics are brought up to date. Moves rows between the engines in both
// directions (a file into a server schema, a server schema into a file). Runs inside the caller's
// transaction on `to` (nothing of it is committed here) and reads `from` as it is: the caller holds
// a ReadSnapshot on it when others may write meanwhile. Returns the number of rows copied. Throws
// DbError with the engine's message when `to` refuses a row.
qint64 copyTables(Connection& from, Connection& to, const CopyProgress& progress = {});

// Inside the caller's write transaction on c: keeps every other connection from reading or
// writing c's tables until the transaction ends (on the server an exclusive lock on each table,
// waiting up to the lock timeout; on the file the write transaction holds the file already).
// Throws DbError when a table stays locked by another connection beyond the timeout.
void holdTablesExclusively(Connection& c);

// A read-only transaction that sees one consistent picture of the database for its whole
// length while other workstations go on writing: REPEATABLE READ on the server; on the file the
// engine's read lock, under which writers wait. Taken at once; ended (rolled back, nothing was
// written) when destroyed. Throws DbError when it cannot be taken (a transaction already open,
// or the file is busy beyond the busy timeout).
class ReadSnapshot {
public:
    explicit ReadSnapshot(Connection& c);
    ~ReadSnapshot();
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    Connection& c_;
};

}  // namespace fx::db
