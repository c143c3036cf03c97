#pragma once

#include <QByteArrayView>
#include <QString>
#include <memory>

#include "connection.h"

namespace fx::db {

namespace detail {
class Cursor;
}

// Reads the rows of a Jet statement one at a time without keeping them: for readers that hold
// the values in their own form (the results window's table of a whole register).
class Scan {
public:
    enum class Type { Null, Integer, Number, Text };

    // Translates and runs the statement. Throws DbError.
    Scan(Connection& connection, const QString& jetSql);
    ~Scan();
    Scan(const Scan&) = delete;
    Scan& operator=(const Scan&) = delete;

    int columnCount() const { return columns_; }
    QString columnName(int column) const;
    // The kind of the table column behind a result column; false for an expression.
    bool columnKind(int column, Connection::ColumnKind* kind) const;

    // Moves to the next row; false after the last. Throws DbError.
    bool next();
    // Values of the current row; text() gives the engine's text of a text value.
    Type type(int column) const;
    qint64 integer(int column) const;
    double number(int column) const;
    QByteArrayView text(int column) const;

private:
    Connection& connection_;
    std::unique_ptr<detail::Cursor> cursor_;
    int columns_ = 0;
};

}  // namespace fx::db
