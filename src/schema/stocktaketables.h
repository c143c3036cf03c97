#pragma once

namespace fx::db {
class Connection;
}

namespace fx::schema {

// The layout version of the current database once the stocktake tables are there.
inline constexpr int kStocktakeVersion = 610;

// Adds the stocktake tables to the current database (those already there are kept as they are):
// pdrw (one row per stocktake), pdmx (the snapshot of every asset in a stocktake's scope, with the
// place and custodian the register held when it was made) and pdsm (every scan, one row each).
// Touches no existing table. Runs inside the migration's transaction; throws DbError.
void addStocktakeTables(db::Connection& c);

}  // namespace fx::schema
