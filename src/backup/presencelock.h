#pragma once

#include <QString>

namespace fx::backup {

// The presence lock. Every running program holds a shared lock on a lock file beside each
// database it works on ("gdzc.qsk.lock", "dbjl.his.lock"); backup and restore take it
// exclusively without waiting, so failing to get it means other users are online. A file can
// be renamed on Linux while others have it open, so this lock, not the rename, is what keeps a
// restore from pulling a database from under another workstation.
//
// The locks are flock() locks: they belong to an open file, work across the machines of an NFS
// share, and vanish when a process ends however it ends. The lock files stay in place.

// The lock file of a database.
QString presenceLockPath(const QString& databasePath);

// How long a starting program waits for a backup or restore elsewhere to finish.
inline constexpr int kPresenceWaitMs = 30000;

// What taking the shared lock came to.
enum class Presence {
    Held,         // this program holds it (also when it was held already)
    Busy,         // another program holds it exclusively (a backup or restore) beyond the wait
    Unavailable,  // the lock file cannot be created or opened: the data folder is not writable
};

// Takes this program's shared lock on a database, waiting up to waitMs while another program
// holds it exclusively. A new lock file takes the database's mode. problem, when given, is set
// to the system's message when the lock is not held.
Presence takePresence(const QString& databasePath, int waitMs = kPresenceWaitMs,
                      QString* problem = nullptr);
// takePresence() == Presence::Held.
bool holdPresence(const QString& databasePath, int waitMs = kPresenceWaitMs);
// Gives up this program's shared lock on a database (nothing when not held).
void releasePresence(const QString& databasePath);
// True when this program holds its shared lock on the database.
bool holdsPresence(const QString& databasePath);

// Exclusive use of a database for one backup or restore, taken without waiting. When this
// program holds its own shared lock on the database, that lock is converted (flock locks of
// one process conflict with each other too) and taken back shared when this object ends.
class ExclusiveAccess {
public:
    explicit ExclusiveAccess(const QString& databasePath);
    ~ExclusiveAccess();
    ExclusiveAccess(const ExclusiveAccess&) = delete;
    ExclusiveAccess& operator=(const ExclusiveAccess&) = delete;

    // True when nobody else holds the database: the operation may go on.
    bool acquired() const { return acquired_; }
    // Not acquired because another program holds the lock (rather than the lock file failing
    // to open: a data folder that cannot be written).
    bool othersPresent() const { return othersPresent_; }
    // Why it was not acquired, for logs and the command line ("held by another program", or
    // the system's message when the lock file could not be opened).
    const QString& reason() const { return reason_; }

private:
    QString path_;
    int fd_ = -1;
    bool converted_ = false;  // the fd is this program's shared lock, converted
    bool acquired_ = false;
    bool othersPresent_ = false;
    QString reason_;
};

}  // namespace fx::backup
