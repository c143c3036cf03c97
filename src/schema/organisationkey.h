#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

#include "migration.h"

namespace fx::db {
class Connection;
}

namespace fx::schema {

// The passwords of the two databases of one data folder.
struct DatabaseKeys {
    QString current;  // gdzc.qsk
    QString history;  // dbjl.his
    bool operator==(const DatabaseKeys&) const = default;
};

// An organisation's own keys, newest first. Each rekey puts a new pair in front and keeps the
// older pairs, so that backups made under an older key still restore.
using KeyRing = QList<DatabaseKeys>;

// The organisation's key file in the installation folder, readable only by its owner.
inline constexpr const char* kOrganisationKeyFileName = "qslorgkey.key";

// A new pair of keys, 32 bytes each from the system's cryptographic generator, given to the
// engine as raw keys (x'..'), which it uses as they are instead of deriving them from a
// passphrase.
DatabaseKeys newRandomKeys();

// Reads an organisation key file. A file that is not there gives an empty ring and no problem;
// one that cannot be read or is not such a file gives an empty ring and problem (when given)
// says why.
KeyRing readKeyRing(const QString& path, QString* problem = nullptr);
// The key file as text: a heading line, then one line per pair, newest first.
QByteArray keyRingText(const KeyRing& ring);
// Writes the key file in one step: a temporary file beside it with mode 0600, flushed to the
// medium, renamed over path, and the folder flushed. Returns an empty string on success, else
// the system's message (path is then as it was).
QString writeKeyRing(const QString& path, const KeyRing& ring);
// front followed by the pairs of back that front lacks, in their order.
KeyRing mergedKeyRing(const KeyRing& front, const KeyRing& back);

// The organisation key file of an installation folder.
QString organisationKeyPath(const QString& appPath);
// The keys every installation ships: the current password from the companion key file of the
// folder (installation.h) and the history database's fixed password.
DatabaseKeys shippedKeys(const QString& appPath);
// The keys an installation opens its databases with: its organisation's ring (when it has a
// readable key file), then the shipped keys.
KeyRing installationKeys(const QString& appPath);

// The passwords of one kind of database in the ring, in order, each once, empty ones left out.
QStringList passwordsFor(const KeyRing& ring, DatabaseKind kind);

// Opens path with the first of the passwords that fits (db::Connection::open). A password that
// does not fit is the engine's "not a database", after which the next is tried; any other
// failure (a missing file, a lock held too long) is thrown at once. When none fits, the first
// password's failure is thrown. used, when given, is set to the password that opened it.
std::unique_ptr<db::Connection> openWithFirstKey(const QString& path, const QStringList& passwords,
                                                 QString* used = nullptr);

}  // namespace fx::schema
