#pragma once

// Internal to the data-access layer: what a connection and its row sets need of an engine. The
// file engine (SQLCipher) and the server engine (PostgreSQL through libpq) implement it; nothing
// outside src/app/db sees either.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace fx::db::detail {

// The storage class of one value of a result row.
enum class ValueType { Null, Integer, Float, Text, Blob };

// One prepared statement with '?' parameters (numbered from 1), stepped through its rows.
class Cursor {
public:
    virtual ~Cursor() = default;

    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    // The table and column a result column reads; false for an expression.
    virtual bool origin(int column, QString* table, QString* name) const = 0;

    virtual void bindNull(int position) = 0;
    virtual void bindInteger(int position, qint64 value) = 0;
    virtual void bindNumber(int position, double value) = 0;
    virtual void bindText(int position, const QByteArray& utf8) = 0;

    // Runs the statement on the first call and moves to the next row: true for a row, false
    // when done. Throws DbError; the cursor is then reset and may run again.
    virtual bool step() = 0;
    // Back before the first row, parameters cleared, ready to run again.
    virtual void reset() = 0;
    // Rows changed by the last run of a change statement.
    virtual int changes() const = 0;

    // The current row's values.
    virtual ValueType type(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    virtual double number(int column) const = 0;
    virtual const char* text(int column, int* bytes) const = 0;
};

// A column of the schema as declared by the program (name in its declared spelling, the
// declared type, whether it is the table's only primary key).
struct DeclaredColumn {
    QString name;
    QString type;
    bool primaryKey = false;
};
struct DeclaredTable {
    QString name;
    std::vector<DeclaredColumn> columns;
};

class Engine {
public:
    virtual ~Engine() = default;

    // Translates a Jet statement for this engine, given which columns are text.
    virtual QString translate(const QString& jetSql,
                              const std::function<bool(const QString&)>& isText) const = 0;
    // Prepares one statement in the engine's dialect.
    virtual std::unique_ptr<Cursor> prepare(const QString& nativeSql) = 0;
    // True when the statement (engine's dialect) returns rows; prepared, never run.
    virtual bool returnsRows(const QString& nativeSql) = 0;
    // Runs statements in the engine's dialect (several, separated by ';'); rows changed.
    virtual int run(const QString& nativeSql) = 0;
    // Runs the program's schema statements (file-engine DDL: CREATE TABLE with the program's
    // column types, CREATE INDEX, ALTER TABLE ... ADD, and plain inserts and updates).
    virtual void runSchema(const QString& sql) = 0;
    virtual bool inTransaction() const = 0;
    // The statement that opens a write transaction.
    virtual QString beginStatement() const = 0;
    // Inside a write transaction: waits until no other connection's transaction holds `name`
    // and holds it until this transaction ends (a lock wait with the engine's limit).
    virtual void holdUntilTransactionEnds(const QString& name) = 0;
    // The tables of the schema with their declared columns.
    virtual std::vector<DeclaredTable> schema() = 0;

    // A table or column name as a quoted identifier of this engine.
    virtual QString quoteName(const QString& name) const = 0;
    // The hidden column a row set finds its rows by, as the Jet text may name it.
    virtual QString rowKey() const = 0;
    // True when a changed counter changes that key (the file's rowid is the counter).
    virtual bool counterIsRowKey() const = 0;
    // The insert statement whose cursor gives the new row's key through insertedKey().
    virtual QString insertReturningKey(const QString& insertSql) const = 0;
    virtual qint64 insertedKey(Cursor& insert) = 0;
    // Where the data lives, for messages.
    virtual QString location() const = 0;
    // True for a database server.
    virtual bool isServer() const = 0;
};

}  // namespace fx::db::detail
