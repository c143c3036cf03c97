#include "diskflush.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace fx::backup {

namespace {

QString systemMessage(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

int syncOrFail(int fd) {
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 ? 0 : errno;
}

}  // namespace

QString flushFile(int fd) {
    const int error = syncOrFail(fd);
    return error == 0 ? QString() : systemMessage(error);
}

QString flushFolderOf(const QString& path) {
    const QString dir = QFileInfo(path).absolutePath();
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return dir + QStringLiteral("：") + systemMessage(errno);
    const int error = syncOrFail(fd);
    ::close(fd);
    // Some file systems cannot flush a folder at all; their entries are written with the files.
    if (error == 0 || error == EINVAL) return QString();
    return dir + QStringLiteral("：") + systemMessage(error);
}

}  // namespace fx::backup
