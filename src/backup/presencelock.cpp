#include "presencelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>
#include <cerrno>
#include <cstring>

#include "filemode.h"

namespace fx::backup {

namespace {

// This program's shared locks: database path -> the open lock file.
QHash<QString, int>& heldLocks() {
    static QHash<QString, int> locks;
    return locks;
}

QString keyOf(const QString& databasePath) {
    return QDir::cleanPath(QFileInfo(databasePath).absoluteFilePath());
}

QString systemMessage() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Opens (creating when missing, with the database's mode) a lock file. Falls back to reading
// only, so a read-only share can still be locked; -1 when the file cannot be opened at all.
int openLockFile(const QString& databasePath) {
    const QByteArray name = QFile::encodeName(presenceLockPath(databasePath));
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        applyMode(fd, modeBeside(databasePath));
        return fd;
    }
    fd = ::open(name.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    return fd;
}

int lockInterrupted(int fd, int operation) {
    int rc;
    do {
        rc = ::flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    return rc;
}

// Takes a shared lock, retrying until waitMs has passed.
bool lockSharedWaiting(int fd, int waitMs) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (lockInterrupted(fd, LOCK_SH | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK || timer.elapsed() >= waitMs) return false;
        QThread::msleep(50);
    }
}

}  // namespace

QString presenceLockPath(const QString& databasePath) {
    return databasePath + QStringLiteral(".lock");
}

Presence takePresence(const QString& databasePath, int waitMs, QString* problem) {
    const QString key = keyOf(databasePath);
    if (heldLocks().contains(key)) return Presence::Held;
    const int fd = openLockFile(key);
    if (fd < 0) {
        if (problem) *problem = systemMessage();
        return Presence::Unavailable;
    }
    if (!lockSharedWaiting(fd, waitMs)) {
        const bool busy = errno == EWOULDBLOCK;
        if (problem) *problem = systemMessage();
        ::close(fd);
        return busy ? Presence::Busy : Presence::Unavailable;
    }
    heldLocks().insert(key, fd);
    return Presence::Held;
}

bool holdPresence(const QString& databasePath, int waitMs) {
    return takePresence(databasePath, waitMs) == Presence::Held;
}

void releasePresence(const QString& databasePath) {
    const auto it = heldLocks().find(keyOf(databasePath));
    if (it == heldLocks().end()) return;
    // Closing the file gives up its lock.
    ::close(*it);
    heldLocks().erase(it);
}

bool holdsPresence(const QString& databasePath) {
    return heldLocks().contains(keyOf(databasePath));
}

ExclusiveAccess::ExclusiveAccess(const QString& databasePath) : path_(keyOf(databasePath)) {
    const auto held = heldLocks().constFind(path_);
    if (held != heldLocks().constEnd()) {
        fd_ = *held;
        converted_ = true;
    } else {
        fd_ = openLockFile(path_);
        if (fd_ < 0) {
            reason_ = systemMessage();
            return;
        }
    }
    if (lockInterrupted(fd_, LOCK_EX | LOCK_NB) == 0) {
        acquired_ = true;
        return;
    }
    othersPresent_ = errno == EWOULDBLOCK;
    reason_ = othersPresent_ ? QStringLiteral("held by another program") : systemMessage();
    if (converted_) {
        // A failed conversion may have dropped the shared lock: take it back.
        lockSharedWaiting(fd_, kPresenceWaitMs);
    } else {
        ::close(fd_);
        fd_ = -1;
    }
}

ExclusiveAccess::~ExclusiveAccess() {
    if (converted_) {
        if (acquired_ && !lockSharedWaiting(fd_, kPresenceWaitMs)) {
            // Cannot happen while we held it exclusively; should it, stop pretending to hold it.
            releasePresence(path_);
        }
        return;
    }
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace fx::backup
