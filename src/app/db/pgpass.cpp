#include "pgpass.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <cstring>

namespace fx::db {

namespace {

QString escaped(const QString& field) {
    QString s = field;
    s.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    s.replace(QLatin1Char(':'), QStringLiteral("\\:"));
    return s;
}

// The first four fields of a line as libpq splits it (escapes undone); fewer for a comment or
// a line that is not one of libpq's.
QStringList leadingFields(const QString& line) {
    QStringList fields;
    QString field;
    for (qsizetype i = 0; i < line.size() && fields.size() < 4; ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char('\\') && i + 1 < line.size()) {
            field += line[++i];
        } else if (c == QLatin1Char(':')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    return fields;
}

QString systemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Writes all of data to fd; false on a failed write.
bool writeAll(int fd, const QByteArray& data) {
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, std::size_t(data.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

}  // namespace

QString passwordFilePath() {
    const QString named = qEnvironmentVariable("PGPASSFILE");
    if (!named.isEmpty()) return named;
    return QDir::homePath() + QStringLiteral("/.pgpass");
}

QString passwordFileLine(const QString& host, int port, const QString& database,
                         const QString& user, const QString& password) {
    return QStringList{escaped(host), QString::number(port), escaped(database), escaped(user),
                       escaped(password)}
        .join(QLatin1Char(':'));
}

QString rememberPassword(const QString& host, int port, const QString& database,
                         const QString& user, const QString& password) {
    const QString path = passwordFilePath();
    const QStringList ours{host, QString::number(port), database, user};

    QStringList lines;
    QFile old(path);
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly)) {
            return QStringLiteral("无法读取密码文件 %1：%2").arg(path, old.errorString());
        }
        const QString text = QString::fromUtf8(old.readAll());
        old.close();
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            if (line.isEmpty()) continue;
            if (leadingFields(line) == ours) continue;
            lines << line;
        }
    }
    lines << passwordFileLine(host, port, database, user, password);
    const QByteArray data = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();

    const QString temporary = path + QStringLiteral(".fxnew");
    const QByteArray tmp = QFile::encodeName(temporary);
    ::unlink(tmp.constData());
    // Made 0600 from the start: the password is never readable by others, not even for a moment.
    const int fd = ::open(tmp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return QStringLiteral("无法写入密码文件 %1：%2").arg(path, systemError());
    const bool written = ::fchmod(fd, 0600) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
    const QString problem = written ? QString() : systemError();
    ::close(fd);
    if (!written || ::rename(tmp.constData(), QFile::encodeName(path).constData()) != 0) {
        const QString reason = written ? systemError() : problem;
        ::unlink(tmp.constData());
        return QStringLiteral("无法写入密码文件 %1：%2").arg(path, reason);
    }
    return QString();
}

}  // namespace fx::db
