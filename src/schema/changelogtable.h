#pragma once

namespace fx::db {
class Connection;
}

namespace fx::schema {

// The history database's version once it holds the change history (操作记录).
inline constexpr int kChangeLogVersion = 610;

// Adds the change history table `czjl` with its indexes to a history database: one row per
// change of the register, who made it, when and from which workstation.
void addChangeLogTable(db::Connection& history);

}  // namespace fx::schema
