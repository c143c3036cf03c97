#pragma once

#include <QStringList>
#include <QTextStream>

namespace fx::admin {

// import DATADIR FILE [--sheet NAME] [--check] [--map 列名=字段 ...] [--header N]
//        [--encoding UTF-8|GBK] [--prefix 类别=字母] [--months 年限=月数] [--keyfile FILE]
// Checks a spreadsheet (.xlsx, .xls, .csv, .txt) against the register of DATADIR and, without
// --check, stores every accepted row with its dictionary items in one transaction. Problems are
// printed by row and column. Holds the presence lock, and refuses while a backup or restore
// holds the data. Exit status 0 only when every row was stored (with --check: when no row would
// be refused).
int importCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace fx::admin
