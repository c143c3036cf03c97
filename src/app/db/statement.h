#pragma once

// Internal to the data-access layer: a prepared statement that finalizes itself, and the
// conversion of engine failures into DbError.

#include <sqlite3.h>

#include <QByteArray>
#include <QString>

#include "dberror.h"

namespace fx::db::detail {

// Throws the engine's current error of db as a DbError.
[[noreturn]] inline void throwEngineError(sqlite3* db, const QString& statement = QString()) {
    throw DbError(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_extended_errcode(db), statement);
}

class Statement {
public:
    // Prepares the first statement of sql; *tail (when given) receives the offset in the UTF-8
    // text where the next statement starts.
    Statement(sqlite3* db, const QByteArray& sql, int offset = 0, int* tail = nullptr) : db_(db) {
        const char* start = sql.constData() + offset;
        const char* rest = nullptr;
        if (sqlite3_prepare_v2(db, start, int(sql.size()) - offset, &stmt_, &rest) != SQLITE_OK) {
            stmt_ = nullptr;
            throwEngineError(db, QString::fromUtf8(start));
        }
        if (tail) *tail = int(rest - sql.constData());
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return stmt_; }
    bool isEmpty() const { return stmt_ == nullptr; }  // only blanks or a lone ';' were given

    // Steps once: true for a row, false when done. Throws on failure, with the statement reset
    // so that it can run again.
    bool step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        const DbError error(QString::fromUtf8(sqlite3_errmsg(db_)), sqlite3_extended_errcode(db_),
                            QString::fromUtf8(sqlite3_sql(stmt_)));
        sqlite3_reset(stmt_);
        throw error;
    }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace fx::db::detail
