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

// Opens (creating when missing) a lock file. Falls back to reading only, so a read-only share
// can still be locked; -1 when the file cannot be opened at all.
int openLockFile(const QString& lockPath) {
    const QByteArray name = QFile::encodeName(lockPath);
    int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
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

bool holdPresence(const QString& databasePath, int waitMs) {
    const QString key = keyOf(databasePath);
    if (heldLocks().contains(key)) return true;
    const int fd = openLockFile(presenceLockPath(key));
    if (fd < 0) return false;
    if (!lockSharedWaiting(fd, waitMs)) {
        ::close(fd);
        return false;
    }
    heldLocks().insert(key, fd);
    return true;
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
        fd_ = openLockFile(presenceLockPath(path_));
        if (fd_ < 0) {
            reason_ = systemMessage();
            return;
        }
    }
    if (lockInterrupted(fd_, LOCK_EX | LOCK_NB) == 0) {
        acquired_ = true;
        return;
    }
    reason_ = errno == EWOULDBLOCK ? QStringLiteral("held by another program") : systemMessage();
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
