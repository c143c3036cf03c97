#include "filemode.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace fx::backup {

int fileMode(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return int(st.st_mode & 0666);
}

int modeBeside(const QString& databasePath) {
    const int own = fileMode(databasePath);
    if (own >= 0) return own;
    const int folder = fileMode(QFileInfo(databasePath).absolutePath());
    return folder >= 0 ? (folder & 0666 & ~S_IWOTH) : 0600;
}

QString applyMode(int fd, int mode) {
    if (::fchmod(fd, mode_t(mode)) == 0) return QString();
    // A file system without modes (a FAT stick) refuses to set them; nothing is more open there.
    if (errno == EPERM || errno == ENOTSUP || errno == EOPNOTSUPP) return QString();
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace fx::backup
