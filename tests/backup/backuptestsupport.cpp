#include "backuptestsupport.h"

#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <stdexcept>

#include "connection.h"
#include "dberror.h"
#include "rowset.h"

#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlite3.h>

namespace fx::test {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

QByteArray patternBytes(qint64 size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = seed * 2654435761u + 1;
    for (qint64 i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        bytes[i] = char(x >> 24);
    }
    return bytes;
}

OtherProgram::OtherProgram(const QString& lockPath, bool exclusive) {
    int ready[2];
    int release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
    const QByteArray name = QFile::encodeName(lockPath);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT, 0666);
        const char ok = fd >= 0 && ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0;
        (void)!::write(ready[1], &ok, 1);
        char c;
        (void)!::read(release[0], &c, 1);  // returns when the parent closes its end
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char ok = 0;
    holding_ = ::read(ready[0], &ok, 1) == 1 && ok;
    ::close(ready[0]);
}

OtherProgram::~OtherProgram() {
    if (release_ >= 0) ::close(release_);
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
}

bool freeForAnotherProcess(const QString& lockPath) {
    const QByteArray name = QFile::encodeName(lockPath);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT, 0666);
        ::_exit(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void setOrganisation(const QString& databasePath, const QString& password, const QString& name) {
    auto c = db::Connection::open(databasePath, password);
    db::RowSet row(*c, QStringLiteral("select * from username"));
    row.open();
    row.edit();
    row.setValue(QStringLiteral("user"), name);
    row.post();
}

QString organisation(const QString& databasePath, const QString& password) {
    auto c = db::Connection::open(databasePath, password);
    db::RowSet row(*c, QStringLiteral("select * from username"));
    row.open();
    return row.text(QStringLiteral("user"));
}

bool leaveHotJournal(const QString& databasePath, const QString& password, int rows) {
    const QString journal = databasePath + QStringLiteral("-journal");
    QTemporaryDir snapshot;
    const QString savedDb = snapshot.filePath(QStringLiteral("db"));
    const QString savedJournal = snapshot.filePath(QStringLiteral("journal"));
    {
        auto c = db::Connection::open(databasePath, password);
        c->executeNative(QStringLiteral("BEGIN"));
        for (int i = 0; i < rows; ++i) {
            c->executeNative(QStringLiteral("INSERT INTO sbjl (id, num, sbmc, sbpz, other) VALUES "
                                            "('JSJ-', %1, '电脑', '%2', '')")
                                 .arg(i + 1)
                                 .arg(QString(200, QLatin1Char('x'))));
        }
        c->executeNative(QStringLiteral("COMMIT"));
        // A tiny page cache makes the engine write changed pages into the file before the
        // change is committed, keeping the old pages in the journal.
        c->executeNative(QStringLiteral("PRAGMA cache_size=4"));
        c->executeNative(QStringLiteral("BEGIN"));
        c->executeNative(QStringLiteral("UPDATE sbjl SET other='未提交'"));
        // The program is "killed" here: the files as they lie on the disk now.
        if (!QFile::copy(databasePath, savedDb) || !QFile::copy(journal, savedJournal))
            return false;
        c->executeNative(QStringLiteral("ROLLBACK"));
    }
    QFile::remove(databasePath);
    QFile::remove(journal);
    if (!QFile::copy(savedDb, databasePath) || !QFile::copy(savedJournal, journal)) return false;
    // Without its journal the file must show the unfinished change, or there is nothing hot.
    QTemporaryDir look;
    const QString alone = look.filePath(QStringLiteral("alone.qsk"));
    QFile::copy(savedDb, alone);
    return unfinishedRows(alone, password) != 0;
}

int unfinishedRows(const QString& databasePath, const QString& password) {
    // Read with the bare engine: the layer's own open may roll a journal back first.
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(databasePath).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    const QByteArray key = password.toUtf8();
    sqlite3_key(db, key.constData(), int(key.size()));
    sqlite3_stmt* stmt = nullptr;
    int count = -1;
    if (sqlite3_prepare_v2(db, "SELECT count(*) FROM sbjl WHERE other='未提交'", -1, &stmt,
                           nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        count = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return count;
}

}  // namespace fx::test
