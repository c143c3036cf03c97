#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace fx::db {

namespace detail {
class Engine;
}

// One database: a keyed file, or one schema on a database server (PostgreSQL). Statement texts
// are Jet SQL; the connection translates them for its engine just before they are prepared
// (see jettranslator.h). Several workstations may open the same database: a writer waits for
// another (busy timeout on the file, lock timeout on the server) instead of failing at once.
class Connection {
public:
    // Opens an existing file with its password and proves the key by reading the schema.
    // Throws DbError with a clear message when the file is missing, the password is wrong or
    // the file is not a database. A file that fails to open is left exactly as it was.
    static std::unique_ptr<Connection> open(const QString& path, const QString& password);
    // Creates a new, empty keyed file (for a new installation). Throws when it already exists,
    // and for an empty password, which would leave the file unencrypted.
    static std::unique_ptr<Connection> create(const QString& path, const QString& password);
    // Connects to a database server (a libpq connection string) and selects the program's
    // schema there (one per database: "gdzc" holds the current data, "dbjl" the history).
    // Throws DbError with a message for the user when the server cannot be reached, refuses
    // the user or password, or has no such schema.
    static std::unique_ptr<Connection> openServer(const QString& conninfo, const QString& schema);
    // Makes the schema on the server with the Jet functions and the text collation, empty of
    // tables. Throws when it exists already.
    static std::unique_ptr<Connection> createServer(const QString& conninfo, const QString& schema);
    // Removes this connection's schema from the server with everything in it (a schema made
    // half-way). Throws on the file engine, where nothing is removed.
    void dropSchema();

    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The file, or the server's connection string.
    const QString& path() const { return path_; }
    // True on a database server (where the two databases are schemas, not files).
    bool isServer() const;
    // The engine behind the connection; for the data-access layer's own classes.
    detail::Engine& engine() const { return *engine_; }

    // Runs a change statement (UPDATE, DELETE, INSERT) written in Jet SQL; returns the number of
    // rows changed.
    int execute(const QString& jetSql);
    // Runs schema statements as the program writes them for the file engine (CREATE TABLE
    // with the program's column types, CREATE INDEX, ALTER TABLE ... ADD, plain inserts and
    // updates, pragmas on the file). On the server they are translated for it (see
    // pgschema.h), so that the schema and its migration steps serve both engines.
    void executeNative(const QString& sql);
    // Runs one statement and returns the first column of its first row (null when it returns
    // no row): PRAGMA answers, counts. On the file the text is the engine's own; on the server
    // it is read as Jet SQL.
    QVariant queryValue(const QString& sql);
    // The counter (or, without one, the row key) of the last row inserted by execute or
    // executeNative on this connection.
    qint64 lastInsertId();
    // True when the statement (Jet SQL, translated) returns rows when run: a select, or a
    // pragma that answers (integrity_check). Prepares it without running it.
    bool returnsRows(const QString& jetSql);

    // Transactions start with BEGIN IMMEDIATE so that the busy timeout applies to writers.
    // begin() throws when a transaction is already open; Transaction nests with savepoints.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;
    // Inside a write transaction: takes the turn for `name` among all workstations, waiting
    // while another's transaction has it, and keeps it until this transaction ends. Work that
    // reads before it writes (the next free number under a prefix) takes its turn first, so
    // that two workstations never both act on the same reading. A wait beyond the engine's
    // limit throws DbError (isBusy). On a file the write transaction already holds the whole
    // database, so the turn is always there.
    void takeTurn(const QString& name);

    // Translates a Jet statement for this database's schema.
    QString translate(const QString& jetSql) const;

    // Column knowledge read from the schema at open: used by the translation (text operands
    // of +) and by row sets (which columns are dates, yes/no, counters).
    enum class ColumnKind { Text, Integer, Number, YesNo, Date, Counter, Memo };
    // Kind of a column of a table; Text when unknown.
    ColumnKind columnKind(const QString& table, const QString& column) const;
    // True when the column holds text (Text or Memo). "table.column" asks about that table's
    // column; a bare name is text when it is a text column of any table. Case-insensitive.
    bool isTextColumn(const QString& column) const;
    // The counter column of a table (ID1 of sbjl, index of his); empty when it has none.
    QString counterColumn(const QString& table) const;
    bool hasTable(const QString& table) const;
    // True when the table has that column (case-insensitive).
    bool hasColumn(const QString& table, const QString& column) const;
    // Column names of a table in their declared order and spelling; empty for an unknown table.
    QStringList columnNames(const QString& table) const;
    // Maps a declared column type of the schema to its kind: TEXT(n)/VARCHAR -> Text,
    // MEMO/LONGTEXT -> Memo, INTEGER/LONG -> Integer, DOUBLE/REAL/NUMBER/CURRENCY -> Number,
    // YESNO/BIT/BOOLEAN -> YesNo, DATE/DATETIME -> Date; an INTEGER primary key is the Counter.
    static ColumnKind kindOfDeclaredType(const QString& declaredType, bool primaryKey);
    // Reads the schema again (after tables were created on this connection).
    void reloadSchema();

private:
    Connection(std::unique_ptr<detail::Engine> engine, const QString& path);
    void loadSchema();
    void noteInsert(const QString& sql);

    std::unique_ptr<detail::Engine> engine_;
    QString path_;
    QString lastInsertTable_;  // the table of the last INSERT run (server only)
    // lower-case table -> (lower-case column -> kind)
    QHash<QString, QHash<QString, ColumnKind>> columns_;
    QHash<QString, QStringList> columnOrder_;  // lower-case table -> column names as declared
    QHash<QString, QString> counters_;         // lower-case table -> counter column
    QSet<QString> textColumns_;  // lower-case names of columns that are text in any table
};

// Runs a block of changes as one transaction: commits on commit(), rolls back when destroyed
// without it (an exception, an early return).
// Inside another transaction it becomes a savepoint, so that a command may call another that
// opens its own transaction.
class Transaction {
public:
    explicit Transaction(Connection& c);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();
    // Undoes the changes made since the transaction began; nothing happens on destruction then.
    void rollback();

private:
    Connection& c_;
    QString savepoint_;  // set when nested
    bool done_ = false;
};

}  // namespace fx::db
