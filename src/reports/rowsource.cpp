#include "rowsource.h"

#include <QVariantList>

#include "rowset.h"

namespace fx::reports {

report::MemoryDataSource copyRows(db::RowSet& rows) {
    report::MemoryDataSource data(rows.fieldNames());
    const int columns = int(rows.fieldNames().size());
    for (rows.first(); !rows.eof(); rows.next()) {
        QVariantList values;
        values.reserve(columns);
        for (int i = 0; i < columns; ++i) values << rows.value(i);
        data.addRow(values);
    }
    return data;
}

report::MemoryDataSource queryRows(db::Connection& connection, const QString& jetSql) {
    db::RowSet rows(connection, jetSql);
    rows.open();
    return copyRows(rows);
}

}  // namespace fx::reports
