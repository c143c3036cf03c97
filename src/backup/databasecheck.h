#pragma once

#include <QString>
#include <QStringList>

namespace fx::backup {

// How thoroughly a database file is checked after it was opened.
enum class IntegrityCheck {
    None,   // the password opens it and its username row can be read
    Quick,  // ... and every page of every table and index reads back (PRAGMA quick_check)
    Full,   // ... and the indexes agree with their tables (PRAGMA integrity_check)
};

struct DatabaseProbe {
    bool opened = false;  // the password opened the file and "select mm,version from username" ran
    bool intact = false;  // opened, and the requested check found nothing wrong
    int version = 0;      // `version` of the username row
    QStringList tables;   // the file's tables, lower case (when opened)
    QString problem;      // what went wrong, in the engine's words
};

// Opens a database file read-only with a password, reads the username row the way the restore
// identifies a backup, and runs the requested check. The file is never changed: a rollback
// journal lying beside it makes the probe fail instead of being rolled back into the file.
DatabaseProbe probeDatabase(const QString& path, const QString& password, IntegrityCheck check);

}  // namespace fx::backup
