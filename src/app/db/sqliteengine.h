#pragma once

#include <QString>

#include "engine.h"

struct sqlite3;

namespace fx::db::detail {

// The file engine: one keyed SQLCipher file.
class SqliteEngine : public Engine {
public:
    // Takes over an open handle (closed on destruction).
    SqliteEngine(sqlite3* db, const QString& path);
    ~SqliteEngine() override;

    sqlite3* handle() const { return db_; }

    QString translate(const QString& jetSql,
                      const std::function<bool(const QString&)>& isText) const override;
    std::unique_ptr<Cursor> prepare(const QString& nativeSql) override;
    bool returnsRows(const QString& nativeSql) override;
    int run(const QString& nativeSql) override;
    void runSchema(const QString& sql) override;
    bool inTransaction() const override;
    QString beginStatement() const override;
    // The write transaction holds the whole database from its BEGIN IMMEDIATE: every name
    // is held already.
    void holdUntilTransactionEnds(const QString&) override {}
    std::vector<DeclaredTable> schema() override;
    QString quoteName(const QString& name) const override;
    QString rowKey() const override;
    bool counterIsRowKey() const override { return true; }
    QString insertReturningKey(const QString& insertSql) const override { return insertSql; }
    qint64 insertedKey(Cursor& insert) override;
    QString location() const override { return path_; }
    bool isServer() const override { return false; }

private:
    sqlite3* db_;
    QString path_;
};

}  // namespace fx::db::detail
