#include "restoremarker.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cerrno>
#include <cstring>

#include "backupfiles.h"
#include "diskflush.h"
#include "filemode.h"
#include "presencelock.h"

namespace fx::backup {

namespace {

// What identifies a database file across renames: size and modification time to the
// nanosecond (a rename keeps both; a new copy gets a new time).
struct FileIdentity {
    bool present = false;
    qint64 size = 0;
    qint64 mtimeNs = 0;
};

FileIdentity identityOf(const QString& path) {
    struct stat st {};
    FileIdentity id;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return id;
    id.present = true;
    id.size = st.st_size;
    id.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return id;
}

bool sameFile(const FileIdentity& a, const FileIdentity& b) {
    return a.present == b.present && a.size == b.size && a.mtimeNs == b.mtimeNs;
}

// Reads the marker's "key=value" lines; nothing when there is no marker.
bool readMarker(const QString& databasePath, FileIdentity& before) {
    QFile f(restoreMarkerPath(databasePath));
    if (!f.open(QIODevice::ReadOnly)) return false;
    QHash<QString, QString> values;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            values.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
    before.present = values.value(QStringLiteral("original")) == QLatin1String("present");
    before.size = values.value(QStringLiteral("size")).toLongLong();
    before.mtimeNs = values.value(QStringLiteral("mtime")).toLongLong();
    return true;
}

QString fileName(const QString& path) {
    return QFileInfo(path).fileName();
}

}  // namespace

QString restoreMarkerPath(const QString& databasePath) {
    return databasePath + QStringLiteral(".restoring");
}

QString writeRestoreMarker(const QString& databasePath, const QString& backupFile) {
    const FileIdentity id = identityOf(databasePath);
    const QByteArray content = "backup=" + backupFile.toUtf8() +
                               "\noriginal=" + (id.present ? "present" : "absent") +
                               "\nsize=" + QByteArray::number(id.size) +
                               "\nmtime=" + QByteArray::number(id.mtimeNs) + '\n';
    const QString path = restoreMarkerPath(databasePath);
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return QString::fromLocal8Bit(std::strerror(errno));
    QString error = applyMode(fd, modeBeside(databasePath));
    if (error.isEmpty() &&
        ::write(fd, content.constData(), size_t(content.size())) != ssize_t(content.size()))
        error = QString::fromLocal8Bit(std::strerror(errno));
    if (error.isEmpty()) error = flushFile(fd);
    ::close(fd);
    if (error.isEmpty()) error = flushFolderOf(path);
    if (!error.isEmpty()) QFile::remove(path);
    return error;
}

void removeRestoreMarker(const QString& databasePath) {
    const QString path = restoreMarkerPath(databasePath);
    if (QFile::remove(path)) flushFolderOf(path);
}

InterruptedRestore interruptedRestore(const QString& databasePath) {
    FileIdentity before;
    if (!readMarker(databasePath, before)) return InterruptedRestore::None;
    const FileIdentity now = identityOf(databasePath);
    // Nothing was replaced yet, or the user has put the kept file back.
    if (sameFile(before, now)) return InterruptedRestore::None;
    // Restoring into a missing file: until the copy started there is still nothing there.
    if (!before.present && !now.present) return InterruptedRestore::None;
    if (before.present && sameFile(before, identityOf(savedDatabasePath(databasePath))))
        return InterruptedRestore::PreviousInSav;
    return InterruptedRestore::Incomplete;
}

QString interruptedRestoreMessage(const QString& databasePath) {
    if (!QFileInfo::exists(restoreMarkerPath(databasePath))) return QString();
    const InterruptedRestore state = interruptedRestore(databasePath);
    if (state == InterruptedRestore::None) {
        ExclusiveAccess access(databasePath);
        if (access.acquired()) removeRestoreMarker(databasePath);
        return QString();
    }
    const QString db = fileName(databasePath);
    const QString dir = QFileInfo(databasePath).absolutePath();
    QString message =
        QStringLiteral("上次恢复数据库“%1”时程序中断，这个数据库文件可能不完整，本系统不能使用它。")
            .arg(db);
    if (state == InterruptedRestore::PreviousInSav) {
        const QString sav = fileName(savedDatabasePath(databasePath));
        message += QStringLiteral(
                       "恢复前的数据库保存在“%1”中。请在所有用户退出本系统后，把文件夹“%2”中的“%"
                       "1”改名为“%3”")
                       .arg(sav, dir, db);
        if (QFileInfo::exists(journalPath(savedDatabasePath(databasePath)))) {
            message += QStringLiteral("，同时把“%1”改名为“%2”")
                           .arg(fileName(journalPath(savedDatabasePath(databasePath))),
                                fileName(journalPath(databasePath)));
        }
        message += QStringLiteral("，然后重新进入本系统；");
    } else {
        message += QStringLiteral("请在所有用户退出本系统后");
    }
    message +=
        QStringLiteral("也可以用命令“fxasset-admin restore %1 备份文件”重新恢复备份。").arg(dir);
    return message;
}

}  // namespace fx::backup
