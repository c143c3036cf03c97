#include "resultsource.h"

#include <QDate>

#include "resulttable.h"

namespace fx::query {

int ResultSource::count() const {
    return table_.rowCount();
}

int ResultSource::fieldIndex(const QString& name) const {
    return table_.fieldIndex(name);
}

QVariant ResultSource::value(int row, int field) const {
    if (row < 0 || row >= table_.rowCount() || field < 0 || field >= table_.fieldCount()) return {};
    using Kind = ResultTable::Kind;
    const Kind kind = table_.fieldKind(field);
    if (kind == Kind::Text) return table_.text(row, field);
    if (table_.raw(row, field).isEmpty()) return {};
    switch (kind) {
        case Kind::Integer:
            return table_.integer(row, field);
        case Kind::Number:
            return table_.number(row, field);
        case Kind::YesNo:
            return table_.yesNo(row, field);
        case Kind::Date:
            return QDate::fromString(table_.text(row, field).left(10), Qt::ISODate);
        default:
            return table_.text(row, field);
    }
}

}  // namespace fx::query
