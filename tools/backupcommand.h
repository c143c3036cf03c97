#pragma once

#include <QStringList>
#include <QTextStream>

namespace fx::admin {

// backup DATADIR FILE [--keyfile KEY]: backs up both databases of DATADIR the way the program's
// "备份数据" does: the current database to FILE (.qsl added when it has no extension), the
// history database to the same name with .qsh; a backup already there is kept as .bak / .bah.
// Prints the program's messages; 0 only when both backups were made and checked.
int backupCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// restore DATADIR FILE [--keyfile KEY]: identifies FILE by the password that opens it and
// restores it over gdzc.qsk or dbjl.his of DATADIR the way "恢复备份" does, keeping the
// replaced file as .sav. 0 only when the restored database was written and checked.
int restoreCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace fx::admin
