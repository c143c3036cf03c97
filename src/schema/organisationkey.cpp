#include "organisationkey.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <optional>

#include "connection.h"
#include "dberror.h"
#include "installation.h"
#include "schema.h"

namespace fx::schema {

namespace {

constexpr int kKeyBytes = 32;
const char kHeading[] = "fxasset organisation key 1";

QString rawKey(const QByteArray& bytes) {
    return QStringLiteral("x'") + QString::fromLatin1(bytes.toHex()) + QLatin1Char('\'');
}

// The hex digits of a raw key; empty when the text is not one of 32 bytes.
QByteArray rawKeyHex(const QString& key) {
    if (key.size() != kKeyBytes * 2 + 3 || !key.startsWith(QLatin1String("x'")) ||
        !key.endsWith(QLatin1Char('\'')))
        return {};
    const QByteArray hex = key.mid(2, kKeyBytes * 2).toLatin1();
    for (const char c : hex)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
    return hex.toLower();
}

QByteArray randomBytes() {
    QByteArray bytes(kKeyBytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(reinterpret_cast<quint32*>(bytes.data()),
                                         reinterpret_cast<quint32*>(bytes.data() + kKeyBytes));
    return bytes;
}

QString systemMessage(const QString& path) {
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

}  // namespace

DatabaseKeys newRandomKeys() {
    return {rawKey(randomBytes()), rawKey(randomBytes())};
}

QByteArray keyRingText(const KeyRing& ring) {
    QByteArray text = QByteArray(kHeading) + '\n';
    for (const DatabaseKeys& keys : ring)
        text += rawKeyHex(keys.current) + ' ' + rawKeyHex(keys.history) + '\n';
    return text;
}

KeyRing readKeyRing(const QString& path, QString* problem) {
    if (problem) problem->clear();
    if (!QFileInfo::exists(path)) return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (problem) *problem = QStringLiteral("%1: %2").arg(path, file.errorString());
        return {};
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    KeyRing ring;
    bool wellFormed = !lines.isEmpty() && lines.front() == kHeading;
    for (qsizetype i = 1; wellFormed && i < lines.size(); ++i) {
        if (lines.at(i).isEmpty()) continue;
        const QList<QByteArray> pair = lines.at(i).split(' ');
        DatabaseKeys keys;
        if (pair.size() == 2) {
            keys = {QStringLiteral("x'%1'").arg(QString::fromLatin1(pair.at(0))),
                    QStringLiteral("x'%1'").arg(QString::fromLatin1(pair.at(1)))};
        }
        wellFormed = !rawKeyHex(keys.current).isEmpty() && !rawKeyHex(keys.history).isEmpty();
        ring << keys;
    }
    if (!wellFormed || ring.isEmpty()) {
        if (problem) *problem = QStringLiteral("%1 is not an organisation key file").arg(path);
        return {};
    }
    return ring;
}

QString writeKeyRing(const QString& path, const KeyRing& ring) {
    const QString part = path + QStringLiteral(".part");
    const QByteArray partName = QFile::encodeName(part);
    ::unlink(partName.constData());
    const int fd = ::open(partName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return systemMessage(part);
    // Only the owner may read the keys, whatever the umask.
    const bool written =
        ::fchmod(fd, 0600) == 0 && writeAll(fd, keyRingText(ring)) && ::fsync(fd) == 0;
    const QString failure = written ? QString() : systemMessage(part);
    ::close(fd);
    if (!written || ::rename(partName.constData(), QFile::encodeName(path).constData()) != 0) {
        const QString message = written ? systemMessage(path) : failure;
        ::unlink(partName.constData());
        return message;
    }
    const QString folder = QFileInfo(path).absolutePath();
    const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd < 0) return systemMessage(folder);
    const bool flushed = ::fsync(dirFd) == 0;
    ::close(dirFd);
    return flushed ? QString() : systemMessage(folder);
}

KeyRing mergedKeyRing(const KeyRing& front, const KeyRing& back) {
    KeyRing merged = front;
    for (const DatabaseKeys& keys : back)
        if (!merged.contains(keys)) merged << keys;
    return merged;
}

QString organisationKeyPath(const QString& appPath) {
    return QDir(appPath).filePath(QString::fromLatin1(kOrganisationKeyFileName));
}

DatabaseKeys shippedKeys(const QString& appPath) {
    return {currentPasswordFromKeyFile(QDir(appPath).filePath(QString::fromLatin1(kKeyFileName))),
            QString::fromLatin1(kHistoryPassword)};
}

KeyRing installationKeys(const QString& appPath) {
    KeyRing ring = readKeyRing(organisationKeyPath(appPath));
    ring << shippedKeys(appPath);
    return ring;
}

QStringList passwordsFor(const KeyRing& ring, DatabaseKind kind) {
    QStringList passwords;
    for (const DatabaseKeys& keys : ring) {
        const QString& p = kind == DatabaseKind::Current ? keys.current : keys.history;
        if (!p.isEmpty() && !passwords.contains(p)) passwords << p;
    }
    return passwords;
}

std::unique_ptr<db::Connection> openWithFirstKey(const QString& path, const QStringList& passwords,
                                                 QString* used) {
    std::optional<db::DbError> first;
    for (const QString& password : passwords) {
        try {
            auto c = db::Connection::open(path, password);
            if (used) *used = password;
            return c;
        } catch (const db::DbError& e) {
            if (!e.isWrongKey()) throw;
            if (!first) first = e;
        }
    }
    if (first) throw *first;
    // Without a password the engine would read the file as a plain database: refused instead.
    throw db::DbError(
        QStringLiteral("没有打开数据库“%1”的密码").arg(QDir::toNativeSeparators(path)));
}

}  // namespace fx::schema
