#pragma once

#include <QString>

#include "organisationkey.h"

namespace fx::backup {

// Giving the two databases of a data folder the organisation's own keys.
struct RekeyRequest {
    QString dataDir;       // folder of gdzc.qsk and dbjl.his
    QString keyFilePath;   // the organisation key file to write (in the installation folder)
    schema::KeyRing ring;  // the keys of that key file now (empty when it has none yet)
    schema::DatabaseKeys shipped;  // the keys every installation ships
};

struct RekeyResult {
    bool ok = false;
    QString message;  // what was done, or why nothing was
};

// Gives both databases a new pair of random keys in one step. Refused, with nothing changed,
// while another program is present on either database (the exclusive presence lock, taken
// without waiting), or when a database does not open with any key of the ring or the shipped
// ones. Each database is copied beside itself, the copy rekeyed (PRAGMA rekey), checked under
// its new key and flushed; only when both copies are ready is the key file written, with the
// new pair in front of the older ones (so backups made before keep restoring, and every file
// opens with a key of the ring at every moment), and then the copies take the databases' names.
// A failure before that point removes the copies and leaves both databases and the key file as
// they were; a failed second rename puts the first database back.
RekeyResult rekeyDataFolder(const RekeyRequest& request);

// The name of the rekeyed copy of a database while a rekey prepares it.
QString rekeyCopyPath(const QString& databasePath);

}  // namespace fx::backup
