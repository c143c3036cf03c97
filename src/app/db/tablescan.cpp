#include "tablescan.h"

#include "engine.h"

namespace fx::db {

Scan::Scan(Connection& connection, const QString& jetSql) : connection_(connection) {
    cursor_ = connection.engine().prepare(connection.translate(jetSql));
    columns_ = cursor_->columnCount();
}

Scan::~Scan() = default;

QString Scan::columnName(int column) const {
    return cursor_->columnName(column);
}

bool Scan::columnKind(int column, Connection::ColumnKind* kind) const {
    QString table;
    QString name;
    if (!cursor_->origin(column, &table, &name)) return false;
    *kind = connection_.columnKind(table, name);
    return true;
}

bool Scan::next() {
    return cursor_->step();
}

Scan::Type Scan::type(int column) const {
    switch (cursor_->type(column)) {
        case detail::ValueType::Null:
            return Type::Null;
        case detail::ValueType::Integer:
            return Type::Integer;
        case detail::ValueType::Float:
            return Type::Number;
        default:
            return Type::Text;
    }
}

qint64 Scan::integer(int column) const {
    return cursor_->integer(column);
}

double Scan::number(int column) const {
    return cursor_->number(column);
}

QByteArrayView Scan::text(int column) const {
    int n = 0;
    const char* p = cursor_->text(column, &n);
    return QByteArrayView(p, n);
}

}  // namespace fx::db
