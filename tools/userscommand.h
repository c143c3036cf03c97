#pragma once

#include <QStringList>
#include <QTextStream>

namespace fx::admin {

// "users DATADIR --hash-all [--keyfile FILE]": replaces every password of DATADIR/gdzc.qsk kept
// in clear by an older version with its hash, in one transaction, and prints how many. Returns
// the exit status (0 done, 1 failed, 2 command line not understood).
int usersCommand(QStringList args, QTextStream& out, QTextStream& err);

}  // namespace fx::admin
