#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <memory>

struct sqlite3;

namespace fx::db {

// One keyed database file. Statement texts are Jet SQL; the connection translates them just
// before they are prepared (see jettranslator.h). Several workstations may open the same file:
// the busy timeout makes a writer wait for another instead of failing at once.
class Connection {
public:
    // Opens an existing file with its password and proves the key by reading the schema.
    // Throws DbError with a clear message when the file is missing, the password is wrong or
    // the file is not a database. A file that fails to open is left exactly as it was.
    static std::unique_ptr<Connection> open(const QString& path, const QString& password);
    // Creates a new, empty keyed file (for a new installation). Throws when it already exists.
    static std::unique_ptr<Connection> create(const QString& path, const QString& password);

    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    // Runs a change statement (UPDATE, DELETE, INSERT) written in Jet SQL; returns the number of
    // rows changed.
    int execute(const QString& jetSql);
    // Runs statements in the engine's own dialect, untranslated (schema creation, pragmas).
    void executeNative(const QString& sql);
    qint64 lastInsertId() const;

    // Transactions start with BEGIN IMMEDIATE so that the busy timeout applies to writers.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;

    // Translates a Jet statement for this database's schema.
    QString translate(const QString& jetSql) const;

    // Column knowledge read from the schema at open: used by the translation (text operands
    // of +) and by row sets (which columns are dates, yes/no, counters).
    enum class ColumnKind { Text, Integer, Number, YesNo, Date, Counter, Memo };
    // Kind of a column of a table; Text when unknown.
    ColumnKind columnKind(const QString& table, const QString& column) const;
    bool isTextColumn(const QString& column) const;
    QString counterColumn(const QString& table) const;
    bool hasTable(const QString& table) const;
    // Reads the schema again (after tables were created on this connection).
    void reloadSchema();

private:
    Connection(sqlite3* db, const QString& path);
    void loadSchema();

    sqlite3* db_ = nullptr;
    QString path_;
    // lower-case table -> (lower-case column -> kind)
    QHash<QString, QHash<QString, ColumnKind>> columns_;
    QSet<QString> textColumns_;  // lower-case names of columns that are text in any table
};

// Runs a block of changes as one transaction: commits on commit(), rolls back when destroyed
// without it (an exception, an early return).
class Transaction {
public:
    explicit Transaction(Connection& c);
    ~Transaction();
    void commit();

private:
    Connection& c_;
    bool done_ = false;
};

}  // namespace fx::db
