#include "rekey.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <vector>

#include "chunkedcopy.h"
#include "connection.h"
#include "dberror.h"
#include "diskflush.h"
#include "filemode.h"
#include "presencelock.h"
#include "schema.h"

namespace fx::backup {

namespace {

// One database of the data folder on its way to the new key.
struct Target {
    schema::DatabaseKind kind;
    QString path;
    QString oldKey;
    QString newKey;
    QString copy;
};

QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

void removeCopy(const QString& copy) {
    QFile::remove(copy);
    QFile::remove(copy + QStringLiteral("-journal"));
}

// The copy of the database under its new key, checked and flushed; an empty string when ready,
// else why not.
QString prepareCopy(const Target& t) {
    removeCopy(t.copy);  // left by an earlier run that did not finish
    const CopyOutcome copied =
        copyFileInChunks(t.path, t.copy, {}, Flush::StartWriting, fileMode(t.path));
    if (!copied.ok()) return copied.message;
    try {
        auto c = db::Connection::open(t.copy, t.oldKey);
        c->executeNative(QStringLiteral("PRAGMA rekey = \"%1\"").arg(t.newKey));
    } catch (const db::DbError& e) {
        return e.message();
    }
    try {
        auto c = db::Connection::open(t.copy, t.newKey);
        const QString check = c->queryValue(QStringLiteral("PRAGMA quick_check")).toString();
        if (check != QLatin1String("ok"))
            return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(t.copy), check);
    } catch (const db::DbError& e) {
        return e.message();
    }
    const int fd = ::open(QFile::encodeName(t.copy).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(t.copy), errnoText());
    const QString flushed = flushFile(fd);
    ::close(fd);
    return flushed;
}

bool renameOver(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

RekeyResult refused(const QString& message) {
    return {false, message + QStringLiteral("; nothing was changed")};
}

RekeyResult refusedAccess(const QString& database, const ExclusiveAccess& access) {
    if (access.othersPresent()) {
        return refused(QStringLiteral("other workstations are working on %1; the rekey needs "
                                      "every program on the data to be closed")
                           .arg(QDir::toNativeSeparators(database)));
    }
    return refused(
        QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(database), access.reason()));
}

}  // namespace

QString rekeyCopyPath(const QString& databasePath) {
    return databasePath + QStringLiteral(".rekey");
}

RekeyResult rekeyDataFolder(const RekeyRequest& request) {
    const QDir dir(request.dataDir);
    const schema::DatabaseKeys next = schema::newRandomKeys();
    schema::KeyRing known = request.ring;
    known << request.shipped;
    std::vector<Target> targets;
    for (const auto kind : {schema::DatabaseKind::Current, schema::DatabaseKind::History}) {
        const bool current = kind == schema::DatabaseKind::Current;
        const QString path = dir.absoluteFilePath(
            QString::fromLatin1(current ? schema::kCurrentFile : schema::kHistoryFile));
        if (!QFileInfo(path).isFile())
            return refused(QStringLiteral("no database file %1").arg(path));
        targets.push_back(
            {kind, path, QString(), current ? next.current : next.history, rekeyCopyPath(path)});
    }

    // Nobody else may work on either file while it is replaced.
    ExclusiveAccess currentAccess(targets[0].path);
    if (!currentAccess.acquired()) return refusedAccess(targets[0].path, currentAccess);
    ExclusiveAccess historyAccess(targets[1].path);
    if (!historyAccess.acquired()) return refusedAccess(targets[1].path, historyAccess);

    for (Target& t : targets) {
        try {
            schema::openWithFirstKey(t.path, schema::passwordsFor(known, t.kind), &t.oldKey);
        } catch (const db::DbError& e) {
            return refused(e.message());
        }
    }
    for (const Target& t : targets) {
        const QString problem = prepareCopy(t);
        if (!problem.isEmpty()) {
            for (const Target& u : targets) removeCopy(u.copy);
            return refused(QStringLiteral("the rekeyed copy failed: %1").arg(problem));
        }
    }
    const QString written =
        schema::writeKeyRing(request.keyFilePath, schema::mergedKeyRing({next}, request.ring));
    if (!written.isEmpty()) {
        for (const Target& u : targets) removeCopy(u.copy);
        return refused(QStringLiteral("the key file could not be written: %1").arg(written));
    }

    // The key file now holds the old and the new keys, so each database opens whichever of the
    // two it carries. The first database's old file is kept under a second name until the
    // second rename is done, so that a failure there can put it back.
    const QString kept = targets[0].path + QStringLiteral(".prekey");
    QFile::remove(kept);
    const bool keptOld = ::link(QFile::encodeName(targets[0].path).constData(),
                                QFile::encodeName(kept).constData()) == 0;
    if (!keptOld || !renameOver(targets[0].copy, targets[0].path)) {
        const QString why = errnoText();
        QFile::remove(kept);
        for (const Target& u : targets) removeCopy(u.copy);
        return refused(QStringLiteral("%1 could not be replaced: %2").arg(targets[0].path, why));
    }
    if (!renameOver(targets[1].copy, targets[1].path)) {
        const QString why = errnoText();
        renameOver(kept, targets[0].path);
        removeCopy(targets[1].copy);
        flushFolderOf(targets[0].path);
        return refused(QStringLiteral("%1 could not be replaced: %2").arg(targets[1].path, why));
    }
    QFile::remove(kept);
    const QString flushed = flushFolderOf(targets[0].path);
    if (!flushed.isEmpty()) {
        return {false, QStringLiteral("both databases carry the new key, but the folder could not "
                                      "be flushed: %1")
                           .arg(flushed)};
    }
    return {true, QStringLiteral("both databases of %1 now open with the organisation key in %2")
                      .arg(dir.absolutePath(), request.keyFilePath)};
}

}  // namespace fx::backup
