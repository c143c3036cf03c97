#include "sqliteengine.h"

#include <sqlite3.h>

#include "dberror.h"
#include "jettranslator.h"
#include "statement.h"

namespace fx::db::detail {

namespace {

QString quotedIdentifier(const QString& name) {
    QString s = name;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

class SqliteCursor : public Cursor {
public:
    SqliteCursor(sqlite3* db, const QByteArray& sql) : db_(db), st_(db, sql) {
        if (st_.isEmpty()) {
            throw DbError(QStringLiteral("语句为空 (empty statement)"), SQLITE_MISUSE,
                          QString::fromUtf8(sql));
        }
    }

    int columnCount() const override { return sqlite3_column_count(st_.get()); }
    QString columnName(int column) const override {
        return QString::fromUtf8(sqlite3_column_name(st_.get(), column));
    }
    bool origin(int column, QString* table, QString* name) const override {
        const char* t = sqlite3_column_table_name(st_.get(), column);
        const char* o = sqlite3_column_origin_name(st_.get(), column);
        if (!t || !o) return false;
        *table = QString::fromUtf8(t);
        *name = QString::fromUtf8(o);
        return true;
    }
    void bindNull(int position) override { sqlite3_bind_null(st_.get(), position); }
    void bindInteger(int position, qint64 value) override {
        sqlite3_bind_int64(st_.get(), position, value);
    }
    void bindNumber(int position, double value) override {
        sqlite3_bind_double(st_.get(), position, value);
    }
    void bindText(int position, const QByteArray& utf8) override {
        sqlite3_bind_text(st_.get(), position, utf8.constData(), int(utf8.size()),
                          SQLITE_TRANSIENT);
    }
    bool step() override {
        const bool row = st_.step();
        if (!row) changes_ = sqlite3_changes(db_);
        return row;
    }
    void reset() override {
        sqlite3_reset(st_.get());
        sqlite3_clear_bindings(st_.get());
    }
    int changes() const override { return changes_; }

    // The value functions, unlike the column ones, take no lock; a row set reads on the thread
    // that uses its connection.
    ValueType type(int column) const override {
        switch (sqlite3_value_type(sqlite3_column_value(st_.get(), column))) {
            case SQLITE_NULL:
                return ValueType::Null;
            case SQLITE_INTEGER:
                return ValueType::Integer;
            case SQLITE_FLOAT:
                return ValueType::Float;
            case SQLITE_BLOB:
                return ValueType::Blob;
            default:
                return ValueType::Text;
        }
    }
    qint64 integer(int column) const override {
        return sqlite3_value_int64(sqlite3_column_value(st_.get(), column));
    }
    double number(int column) const override {
        return sqlite3_value_double(sqlite3_column_value(st_.get(), column));
    }
    const char* text(int column, int* bytes) const override {
        sqlite3_value* v = sqlite3_column_value(st_.get(), column);
        const char* p = sqlite3_value_type(v) == SQLITE_BLOB
                            ? static_cast<const char*>(sqlite3_value_blob(v))
                            : reinterpret_cast<const char*>(sqlite3_value_text(v));
        *bytes = sqlite3_value_bytes(v);
        return p;
    }

private:
    sqlite3* db_;
    Statement st_;
    int changes_ = 0;
};

}  // namespace

SqliteEngine::SqliteEngine(sqlite3* db, const QString& path) : db_(db), path_(path) {}

SqliteEngine::~SqliteEngine() {
    sqlite3_close_v2(db_);
}

QString SqliteEngine::translate(const QString& jetSql,
                                const std::function<bool(const QString&)>& isText) const {
    return translateJet(jetSql, isText, Dialect::File);
}

std::unique_ptr<Cursor> SqliteEngine::prepare(const QString& nativeSql) {
    return std::make_unique<SqliteCursor>(db_, nativeSql.toUtf8());
}

bool SqliteEngine::returnsRows(const QString& nativeSql) {
    const Statement st(db_, nativeSql.toUtf8());
    return !st.isEmpty() && sqlite3_column_count(st.get()) > 0;
}

int SqliteEngine::run(const QString& nativeSql) {
    const QByteArray utf8 = nativeSql.toUtf8();
    int offset = 0;
    int changed = 0;
    while (offset < utf8.size()) {
        int tail = 0;
        Statement st(db_, utf8, offset, &tail);
        if (st.isEmpty()) break;
        while (st.step()) {
        }
        changed += sqlite3_changes(db_);
        offset = tail;
    }
    return changed;
}

void SqliteEngine::runSchema(const QString& sql) {
    const QByteArray utf8 = sql.toUtf8();
    char* error = nullptr;
    if (sqlite3_exec(db_, utf8.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(db_));
        sqlite3_free(error);
        throw DbError(message, sqlite3_extended_errcode(db_), sql);
    }
}

bool SqliteEngine::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

QString SqliteEngine::beginStatement() const {
    // IMMEDIATE takes the write lock at once, so that the busy timeout applies here rather
    // than an immediate "database is locked" at the first change.
    return QStringLiteral("BEGIN IMMEDIATE");
}

std::vector<DeclaredTable> SqliteEngine::schema() {
    std::vector<DeclaredTable> tables;
    {
        Statement st(db_, QByteArrayLiteral("SELECT name FROM sqlite_master WHERE "
                                            "type='table' AND name NOT LIKE 'sqlite\\_%' "
                                            "ESCAPE '\\'"));
        while (st.step()) {
            DeclaredTable t;
            t.name =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)));
            tables.push_back(t);
        }
    }
    for (DeclaredTable& table : tables) {
        Statement st(db_, (QStringLiteral("PRAGMA table_info(") + quotedIdentifier(table.name) +
                           QLatin1Char(')'))
                              .toUtf8());
        int primaryKeys = 0;
        std::vector<int> pk;
        while (st.step()) {
            DeclaredColumn c;
            c.name =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)));
            c.type =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 2)));
            pk.push_back(sqlite3_column_int(st.get(), 5));
            if (pk.back() > 0) ++primaryKeys;
            table.columns.push_back(c);
        }
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            table.columns[i].primaryKey = pk[i] == 1 && primaryKeys == 1;
    }
    return tables;
}

QString SqliteEngine::quoteName(const QString& name) const {
    return quotedIdentifier(name);
}

QString SqliteEngine::rowKey() const {
    return QStringLiteral("rowid");
}

qint64 SqliteEngine::insertedKey(Cursor&) {
    return sqlite3_last_insert_rowid(db_);
}

}  // namespace fx::db::detail
