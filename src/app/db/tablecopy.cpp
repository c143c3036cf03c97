#include "tablecopy.h"

#include <QStringList>
#include <algorithm>
#include <memory>

#include "connection.h"
#include "dberror.h"
#include "engine.h"

namespace fx::db {

namespace {

using detail::Cursor;
using detail::ValueType;

// How many rows one insert statement carries: one prepared row on the file, where a statement
// costs no round trip; on the server as many as keep a statement under a thousand parameters,
// so that a register of 100000 assets is not 100000 round trips.
int rowsPerInsert(const Connection& to, int columns) {
    if (!to.isServer() || columns == 0) return 1;
    return std::max(1, 1000 / columns);
}

QString insertStatement(detail::Engine& engine, const QString& table, const QStringList& columns,
                        int rows) {
    QStringList names;
    QStringList marks;
    for (const QString& c : columns) {
        names << engine.quoteName(c);
        marks << QStringLiteral("?");
    }
    const QString row = QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    QStringList values;
    for (int i = 0; i < rows; ++i) values << row;
    return QStringLiteral("INSERT INTO ") + engine.quoteName(table) + QStringLiteral(" (") +
           names.join(QLatin1Char(',')) + QStringLiteral(") VALUES ") +
           values.join(QLatin1Char(','));
}

// An empty text where the target keeps a number, a date or a yes/no means no value there: the
// file takes any value in any column, the server only values of the column's type.
bool typedColumn(Connection::ColumnKind kind) {
    return kind != Connection::ColumnKind::Text && kind != Connection::ColumnKind::Memo;
}

// One value of a source row, held until its insert statement is full.
struct Value {
    ValueType type = ValueType::Null;
    qint64 integer = 0;
    double number = 0;
    QByteArray text;
};

Value readValue(const Cursor& row, int column, bool typed) {
    Value v;
    v.type = row.type(column);
    switch (v.type) {
        case ValueType::Null:
            break;
        case ValueType::Integer:
            v.integer = row.integer(column);
            break;
        case ValueType::Float:
            v.number = row.number(column);
            break;
        default: {
            int bytes = 0;
            const char* text = row.text(column, &bytes);
            v.text = QByteArray(text, bytes);
            if (typed && bytes == 0) v.type = ValueType::Null;
            break;
        }
    }
    return v;
}

void bindValue(Cursor& insert, int position, const Value& v) {
    switch (v.type) {
        case ValueType::Null:
            insert.bindNull(position);
            return;
        case ValueType::Integer:
            insert.bindInteger(position, v.integer);
            return;
        case ValueType::Float:
            insert.bindNumber(position, v.number);
            return;
        default:
            insert.bindText(position, v.text);
            return;
    }
}

// Inserts the held rows with one statement (prepared for that many rows) and forgets them.
void insertRows(Cursor& insert, std::vector<Value>& held) {
    int position = 1;
    for (const Value& v : held) bindValue(insert, position++, v);
    insert.step();
    insert.reset();
    held.clear();
}

// Explicit counters leave the server's sequence where it was; it goes on after the highest.
// (The file's counter follows the highest row by itself.)
void continueCounter(Connection& to, const QString& table) {
    const QString counter = to.counterColumn(table);
    if (!to.isServer() || counter.isEmpty()) return;
    detail::Engine& e = to.engine();
    e.run(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', '%2')::regclass, "
                         "coalesce(max(%3), 0) + 1, false) FROM %4")
              .arg(table.toLower(), counter.toLower(), e.quoteName(counter), e.quoteName(table)));
}

qint64 countRows(Connection& from, const QString& table) {
    std::unique_ptr<Cursor> count = from.engine().prepare(QStringLiteral("SELECT count(*) FROM ") +
                                                          from.engine().quoteName(table));
    return count->step() ? count->integer(0) : 0;
}

}  // namespace

qint64 copyTables(Connection& from, Connection& to, const CopyProgress& progress) {
    detail::Engine& target = to.engine();
    QStringList tables;
    for (const detail::DeclaredTable& t : target.schema()) tables << t.name;

    qint64 total = 0;
    for (const QString& table : tables)
        if (from.hasTable(table)) total += countRows(from, table);
    qint64 copied = 0;
    const auto tell = [&] {
        if (progress) progress(copied, total);
    };

    for (const QString& table : tables) {
        target.run(QStringLiteral("DELETE FROM ") + target.quoteName(table));
        if (!from.hasTable(table)) continue;
        QStringList columns;
        std::vector<bool> typed;
        for (const QString& c : to.columnNames(table)) {
            if (!from.hasColumn(table, c)) continue;
            columns << c;
            typed.push_back(typedColumn(to.columnKind(table, c)));
        }
        if (columns.isEmpty()) continue;
        QStringList sourceNames;
        for (const QString& c : columns) sourceNames << from.engine().quoteName(c);
        std::unique_ptr<Cursor> rows =
            from.engine().prepare(QStringLiteral("SELECT ") + sourceNames.join(QLatin1Char(',')) +
                                  QStringLiteral(" FROM ") + from.engine().quoteName(table));

        const int width = int(columns.size());
        const int batch = rowsPerInsert(to, width);
        std::unique_ptr<Cursor> full =
            target.prepare(insertStatement(target, table, columns, batch));
        std::vector<Value> held;
        held.reserve(std::size_t(batch * width));
        while (rows->step()) {
            for (int c = 0; c < width; ++c)
                held.push_back(readValue(*rows, c, typed[std::size_t(c)]));
            if (int(held.size()) == batch * width) {
                insertRows(*full, held);
                copied += batch;
                if (copied % 4096 < batch) tell();
            }
        }
        if (!held.empty()) {
            // The last rows of the table, fewer than a whole statement.
            const int rest = int(held.size()) / width;
            std::unique_ptr<Cursor> last =
                target.prepare(insertStatement(target, table, columns, rest));
            insertRows(*last, held);
            copied += rest;
        }
        continueCounter(to, table);
        tell();
    }
    // The server plans its statements by what it knows of the tables: it learns the new rows
    // now, not when its background statistics next come round.
    if (to.isServer() && !tables.isEmpty()) {
        QStringList names;
        for (const QString& table : tables) names << target.quoteName(table);
        target.run(QStringLiteral("ANALYZE ") + names.join(QLatin1Char(',')));
    }
    return copied;
}

void holdTablesExclusively(Connection& c) {
    if (!c.isServer()) return;
    detail::Engine& e = c.engine();
    QStringList names;
    for (const detail::DeclaredTable& t : e.schema()) names << e.quoteName(t.name);
    if (names.isEmpty()) return;
    e.run(QStringLiteral("LOCK TABLE ") + names.join(QLatin1Char(',')) +
          QStringLiteral(" IN ACCESS EXCLUSIVE MODE"));
}

ReadSnapshot::ReadSnapshot(Connection& c) : c_(c) {
    if (c.inTransaction()) {
        throw DbError(
            QStringLiteral("事务已经开始 (cannot start a transaction within a transaction)"));
    }
    detail::Engine& e = c.engine();
    e.run(c.isServer() ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                       : QStringLiteral("BEGIN"));
    try {
        // The picture is taken by the first read, not by BEGIN: read at once.
        std::unique_ptr<detail::Cursor> first =
            e.prepare(c.isServer() ? QStringLiteral("SELECT 1")
                                   : QStringLiteral("SELECT count(*) FROM sqlite_master"));
        first->step();
    } catch (...) {
        if (c.inTransaction()) e.run(QStringLiteral("ROLLBACK"));
        throw;
    }
}

ReadSnapshot::~ReadSnapshot() {
    try {
        if (c_.inTransaction()) c_.engine().run(QStringLiteral("ROLLBACK"));
    } catch (const DbError&) {
        // A lost connection ended the transaction with it.
    }
}

}  // namespace fx::db
