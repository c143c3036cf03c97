#include "backuppair.h"

#include <sys/stat.h>

#include <QFile>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace fx::backup {

namespace {

bool modificationTime(const QString& path, timespec& time) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return false;
    time = st.st_mtim;
    return true;
}

}  // namespace

BackupRun BackupRun::now() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return BackupRun{std::chrono::duration_cast<std::chrono::nanoseconds>(since).count()};
}

QString stampRun(int fd, const BackupRun& run) {
    timespec times[2];
    times[0].tv_sec = time_t(run.startNs / 1000000000);
    times[0].tv_nsec = long(run.startNs % 1000000000);
    times[1] = times[0];
    if (::futimens(fd, times) == 0) return QString();
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool pairBelongsTogether(const QString& currentBackup, const QString& historyBackup) {
    timespec current{}, history{};
    if (!modificationTime(currentBackup, current) || !modificationTime(historyBackup, history))
        return true;
    return current.tv_sec == history.tv_sec && current.tv_nsec == history.tv_nsec;
}

}  // namespace fx::backup
