#pragma once

#include <QStringList>
#include <QTextStream>

namespace fx::admin {

// server-import CONNINFO DATADIR [--keyfile FILE]: makes the register's two databases on the
// server (as server-init) and copies every row of DATADIR's gdzc.qsk and dbjl.his into them,
// counters continuing after the highest serial. All or nothing: on any failure neither
// database is left on the server. The files are only read.
int serverImportCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// server-export CONNINFO DATADIR [--keyfile FILE]: writes the server's two databases back as
// gdzc.qsk and dbjl.his in DATADIR (an existing folder holding neither), keyed as an
// installation's files. All or nothing: on failure no file is left behind.
int serverExportCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace fx::admin
