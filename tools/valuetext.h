#pragma once

#include <QString>
#include <QVariant>

namespace fx::admin {

// How the sql command prints one field value in its tab-separated output:
//  - null: \N
//  - yes/no: 1 or 0
//  - date: yyyy-mm-dd; date and time: yyyy-mm-dd hh:mm:ss
//  - whole numbers as they are; other numbers with up to 15 significant digits (1234.5)
//  - text as it is, with backslash, tab, line feed and carriage return written as \\, \t, \n
//    and \r, so that every row stays on one line and the columns stay apart.
QString fieldText(const QVariant& value);

}  // namespace fx::admin
