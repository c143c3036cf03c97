#pragma once

#include <QString>

namespace fx::backup {

// Flushing to the medium. Backup and restore say "完成" only after the file and the folder entry
// that names it have been flushed (fsync); a failed flush is a failed operation.

// Flushes an open file's data to the medium. Returns an empty string on success, else the
// system's message.
QString flushFile(int fd);

// Flushes a folder's entries (after a rename or a new file) to the medium, for the folder that
// holds path. Returns an empty string on success, else the system's message naming the folder.
QString flushFolderOf(const QString& path);

}  // namespace fx::backup
