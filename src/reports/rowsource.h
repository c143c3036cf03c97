#pragma once

#include <QString>

#include "datasource.h"

namespace fx::db {
class Connection;
class RowSet;
}  // namespace fx::db

namespace fx::reports {

// The rows of an open row set, from the first to the last, copied into memory for the report
// engine, with the row set's field names. The row set is left on its last row.
report::MemoryDataSource copyRows(db::RowSet& rows);

// The rows of a query on a connection (Jet dialect, as every report's query is written);
// throws db::DbError when the query fails.
report::MemoryDataSource queryRows(db::Connection& connection, const QString& jetSql);

}  // namespace fx::reports
