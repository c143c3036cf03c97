#include "resulttable.h"

#include <sqlite3.h>

#include <QByteArray>
#include <charconv>
#include <limits>

#include "connection.h"
#include "dberror.h"

namespace fx::query {

namespace {

using Kind = ResultTable::Kind;

// Finalizes the statement on every way out.
struct StatementGuard {
    sqlite3_stmt* stmt = nullptr;
    ~StatementGuard() { sqlite3_finalize(stmt); }
};

// Holds the connection's mutex while the rows are read. Every column call of the engine takes
// that mutex; held here, each of them only re-enters it, and the values a column read returns
// stay protected while they are copied.
class ConnectionLock {
public:
    explicit ConnectionLock(sqlite3* db) : mutex_(sqlite3_db_mutex(db)) {
        sqlite3_mutex_enter(mutex_);
    }
    ~ConnectionLock() { sqlite3_mutex_leave(mutex_); }
    ConnectionLock(const ConnectionLock&) = delete;
    ConnectionLock& operator=(const ConnectionLock&) = delete;

private:
    sqlite3_mutex* mutex_;
};

[[noreturn]] void throwEngineError(sqlite3* db, const QString& statement) {
    throw db::DbError(QString::fromUtf8(sqlite3_errmsg(db)), sqlite3_extended_errcode(db),
                      statement);
}

Kind kindOfColumn(db::Connection::ColumnKind k) {
    using CK = db::Connection::ColumnKind;
    switch (k) {
        case CK::Integer:
        case CK::Counter:
            return Kind::Integer;
        case CK::Number:
            return Kind::Number;
        case CK::YesNo:
            return Kind::YesNo;
        case CK::Date:
            return Kind::Date;
        case CK::Text:
        case CK::Memo:
            break;
    }
    return Kind::Text;
}

// Writes a number as the shortest text that reads back the same; returns its length.
template <typename T>
int numberText(char (&out)[32], T value) {
    return int(std::to_chars(out, out + sizeof out, value).ptr - out);
}

}  // namespace

void ResultTable::load(db::Connection& connection, const QString& jetSql) {
    const QByteArray utf8 = connection.translate(jetSql).toUtf8();
    sqlite3* db = connection.handle();
    StatementGuard st;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &st.stmt, nullptr) !=
        SQLITE_OK) {
        st.stmt = nullptr;
        throwEngineError(db, jetSql);
    }
    if (!st.stmt) throw db::DbError(QStringLiteral("语句为空"), SQLITE_MISUSE, jetSql);

    const int columns = sqlite3_column_count(st.stmt);
    QStringList names;
    QHash<QString, int> index;
    std::vector<Kind> kinds;
    std::vector<bool> typed;  // the kind comes from a table column
    kinds.reserve(std::size_t(columns));
    for (int c = 0; c < columns; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(st.stmt, c));
        names << name;
        if (!index.contains(name.toLower())) index.insert(name.toLower(), c);
        const char* table = sqlite3_column_table_name(st.stmt, c);
        const char* origin = sqlite3_column_origin_name(st.stmt, c);
        if (table && origin) {
            kinds.push_back(kindOfColumn(
                connection.columnKind(QString::fromUtf8(table), QString::fromUtf8(origin))));
            typed.push_back(true);
        } else {
            kinds.push_back(Kind::Text);
            typed.push_back(false);
        }
    }

    std::vector<char> bytes;
    std::vector<std::uint32_t> ends;
    bytes.reserve(std::size_t(1) << 16);
    ends.reserve(std::size_t(columns) * 1024);
    int rows = 0;
    std::uint64_t used = 0;
    const ConnectionLock lock(db);
    for (;;) {
        const int rc = sqlite3_step(st.stmt);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) throwEngineError(db, jetSql);
        for (int c = 0; c < columns; ++c) {
            sqlite3_value* value = sqlite3_column_value(st.stmt, c);
            const int type = sqlite3_value_type(value);
            if (type != SQLITE_NULL) {
                if (!typed[std::size_t(c)]) {
                    // An expression takes the type of its first value.
                    kinds[std::size_t(c)] = type == SQLITE_INTEGER ? Kind::Integer
                                            : type == SQLITE_FLOAT ? Kind::Number
                                                                   : Kind::Text;
                    typed[std::size_t(c)] = true;
                }
                // Numbers are written here rather than by the engine's own text conversion,
                // which costs more than the stepping itself on a long list.
                char number[32];
                const char* p = number;
                int n = 0;
                if (type == SQLITE_INTEGER) {
                    n = numberText(number, sqlite3_value_int64(value));
                } else if (type == SQLITE_FLOAT) {
                    n = numberText(number, sqlite3_value_double(value));
                } else {
                    p = reinterpret_cast<const char*>(sqlite3_value_text(value));
                    n = sqlite3_value_bytes(value);
                }
                bytes.insert(bytes.end(), p, p + n);
                used += std::uint64_t(n);
            }
            if (used > std::numeric_limits<std::uint32_t>::max()) {
                throw db::DbError(QStringLiteral("查询结果太大，不能显示。"), SQLITE_TOOBIG,
                                  jetSql);
            }
            ends.push_back(std::uint32_t(used));
        }
        ++rows;
    }

    names_ = std::move(names);
    index_ = std::move(index);
    kinds_ = std::move(kinds);
    bytes.shrink_to_fit();
    ends.shrink_to_fit();
    bytes_ = std::move(bytes);
    ends_ = std::move(ends);
    rows_ = rows;
}

void ResultTable::clear() {
    names_.clear();
    index_.clear();
    kinds_.clear();
    bytes_ = {};
    ends_ = {};
    rows_ = 0;
}

int ResultTable::fieldIndex(const QString& name) const {
    return index_.value(name.toLower(), -1);
}

QString ResultTable::text(int row, int field) const {
    const QByteArrayView v = raw(row, field);
    return QString::fromUtf8(v.data(), v.size());
}

qint64 ResultTable::integer(int row, int field) const {
    const QByteArrayView v = raw(row, field);
    if (v.isEmpty()) return 0;
    qint64 out = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
    if (ec == std::errc() && end == v.data() + v.size()) return out;
    // A number column holding a fraction, read as a whole number.
    return qint64(number(row, field));
}

double ResultTable::number(int row, int field) const {
    const QByteArrayView v = raw(row, field);
    if (v.isEmpty()) return 0;
    // from_chars reads the engine's text whatever the program's locale says.
    double out = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
    return ec == std::errc() ? out : 0.0;
}

QString ResultTable::displayText(int row, int field) const {
    const QByteArrayView v = raw(row, field);
    if (v.isEmpty()) return QString();
    switch (fieldKind(field)) {
        case Kind::Number:
            return QString::number(number(row, field), 'f', 2);
        case Kind::YesNo:
            return integer(row, field) != 0 ? QStringLiteral("是") : QStringLiteral("否");
        case Kind::Date:
            return QString::fromUtf8(v.data(), qMin<qsizetype>(v.size(), 10));
        case Kind::Integer:
        case Kind::Text:
            break;
    }
    return QString::fromUtf8(v.data(), v.size());
}

}  // namespace fx::query
