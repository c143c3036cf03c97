#pragma once

#include <QString>

namespace fx::backup {

// The permissions of the files backup and restore create (copies, the restored database, lock
// files, markers): taken from the database they copy or sit beside, so that nothing is more
// open than the database itself, whatever the umask.

// The read and write bits (of 0666) of an existing file; -1 when it does not exist.
int fileMode(const QString& path);

// The mode for a new file that belongs to databasePath: the database's own read and write bits;
// when the database does not exist, those of its folder without execute bits and without
// writing for others.
int modeBeside(const QString& databasePath);

// Gives an open file exactly that mode (a file system without modes is left as it is). Returns an
// empty string on success, else the system's message.
QString applyMode(int fd, int mode);

}  // namespace fx::backup
