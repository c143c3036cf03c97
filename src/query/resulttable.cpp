#include "resulttable.h"

#include <QByteArray>
#include <charconv>
#include <limits>

#include "connection.h"
#include "dberror.h"
#include "tablescan.h"

namespace fx::query {

namespace {

using Kind = ResultTable::Kind;

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
    db::Scan scan(connection, jetSql);
    const int columns = scan.columnCount();
    QStringList names;
    QHash<QString, int> index;
    std::vector<Kind> kinds;
    std::vector<bool> typed;  // the kind comes from a table column
    kinds.reserve(std::size_t(columns));
    for (int c = 0; c < columns; ++c) {
        const QString name = scan.columnName(c);
        names << name;
        if (!index.contains(name.toLower())) index.insert(name.toLower(), c);
        db::Connection::ColumnKind kind;
        if (scan.columnKind(c, &kind)) {
            kinds.push_back(kindOfColumn(kind));
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
    using Type = db::Scan::Type;
    while (scan.next()) {
        for (int c = 0; c < columns; ++c) {
            const Type type = scan.type(c);
            if (type != Type::Null) {
                if (!typed[std::size_t(c)]) {
                    // An expression takes the type of its first value.
                    kinds[std::size_t(c)] = type == Type::Integer  ? Kind::Integer
                                            : type == Type::Number ? Kind::Number
                                                                   : Kind::Text;
                    typed[std::size_t(c)] = true;
                }
                // Numbers are written here rather than by the engine's own text conversion,
                // which costs more than the stepping itself on a long list.
                char number[32];
                const char* p = number;
                int n = 0;
                if (type == Type::Integer) {
                    n = numberText(number, scan.integer(c));
                } else if (type == Type::Number) {
                    n = numberText(number, scan.number(c));
                } else {
                    const QByteArrayView text = scan.text(c);
                    p = text.data();
                    n = int(text.size());
                }
                bytes.insert(bytes.end(), p, p + n);
                used += std::uint64_t(n);
            }
            if (used > std::numeric_limits<std::uint32_t>::max()) {
                throw db::DbError(QStringLiteral("查询结果太大，不能显示。"), 0, jetSql);
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
