#pragma once

#include <QHash>
#include <QString>

#include "engine.h"

struct pg_conn;
struct pg_result;

namespace fx::db::detail {

// The server engine: one schema of a PostgreSQL database through libpq. The schema holds the
// program's tables (each with the key column fx_row), the Jet functions and the text
// collation; the session's search path is that schema alone.
class PgEngine : public Engine {
public:
    // Connects and selects the schema. Throws DbError with a message for the user when the
    // server cannot be reached, the password is wrong or the schema is missing (unless
    // create is set: then the schema is made, and refused when it exists already).
    PgEngine(const QString& conninfo, const QString& schema, bool create);
    ~PgEngine() override;

    QString translate(const QString& jetSql,
                      const std::function<bool(const QString&)>& isText) const override;
    std::unique_ptr<Cursor> prepare(const QString& nativeSql) override;
    bool returnsRows(const QString& nativeSql) override;
    int run(const QString& nativeSql) override;
    void runSchema(const QString& sql) override;
    bool inTransaction() const override;
    QString beginStatement() const override;
    void holdUntilTransactionEnds(const QString& name) override;
    std::vector<DeclaredTable> schema() override;
    QString quoteName(const QString& name) const override;
    QString rowKey() const override;
    bool counterIsRowKey() const override { return false; }
    QString insertReturningKey(const QString& insertSql) const override;
    qint64 insertedKey(Cursor& insert) override;
    QString location() const override;
    bool isServer() const override { return true; }

    // The table and column behind a result column (table oid, column number).
    bool columnOf(unsigned oid, int attnum, QString* table, QString* column) const;
    // Runs one statement with text parameters; a failed statement inside a transaction is
    // undone alone (as on the file engine) instead of spoiling the transaction. The caller
    // owns the result.
    pg_result* exec(const QByteArray& sql, const std::vector<QByteArray>& params,
                    const std::vector<bool>& nulls);
    // Drops the schema and everything in it.
    void dropSchema();
    // Sets the translation's isText for statements of the schema.
    void setTextColumns(std::function<bool(const QString&)> isText) { isText_ = std::move(isText); }

private:
    void setUpSession();
    // Before a statement: a session the server ended meanwhile (a restart) is noticed here.
    // Outside a transaction the engine connects again; inside one the transaction is gone.
    // True when the statement may run, false for a rollback of a lost transaction (nothing to
    // do). Throws DbError otherwise.
    bool ensureConnected(const QByteArray& sql, bool inTransactionBefore);
    bool connectionAlive();
    // The loss of a transaction's connection: a rollback is done (true), any other statement
    // is refused until the rollback comes, so that nothing runs half-way outside it.
    bool lostTransaction(const QByteArray& sql, const QString& engineText);
    void sendClock(const QByteArray& sql);
    void createObjects();
    [[noreturn]] void fail(pg_result* result, const QByteArray& sql);

    pg_conn* conn_ = nullptr;
    QString conninfo_;
    QString schema_;
    QByteArray clockSent_;
    // Set when the connection broke inside a transaction; cleared by the program's ROLLBACK.
    bool transactionLost_ = false;
    QHash<quint64, QPair<QString, QString>> origins_;  // (oid << 16 | attnum) -> table, column
    std::function<bool(const QString&)> isText_;
};

}  // namespace fx::db::detail
