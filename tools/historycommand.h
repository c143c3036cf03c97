#pragma once

#include <QStringList>
#include <QTextStream>

namespace fx::admin {

// "history DATADIR [--from DATE] [--to DATE] [--asset NUMBER]": prints the change history of
// DATADIR/dbjl.his, oldest first, one tab-separated line per row (time, user, workstation,
// operation, serial, asset number, changes); DATE is yyyy-mm-dd, both days included. Returns
// the exit status (0 done, 1 failed, 2 command line not understood).
int historyCommand(QStringList args, QTextStream& out, QTextStream& err);

}  // namespace fx::admin
