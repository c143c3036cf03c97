#include "serverbackup.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <memory>

#include "backupmessages.h"
#include "connection.h"
#include "databasecheck.h"
#include "dberror.h"
#include "filemode.h"
#include "migration.h"
#include "schema.h"
#include "serversessions.h"
#include "tablecopy.h"

namespace fx::backup {

namespace {

schema::DatabaseKind layoutOf(DatabaseKind kind) {
    return kind == DatabaseKind::Current ? schema::DatabaseKind::Current
                                         : schema::DatabaseKind::History;
}

// The rows copied so far as the progress bar's chunks: the whole copy moves it from 0 to its
// maximum, as a file's 60 chunks do.
db::CopyProgress chunkProgress(const ChunkProgress& progress) {
    if (!progress) return {};
    return [progress, shown = -1](qint64 copied, qint64 total) mutable {
        const int chunks = total > 0 ? int(copied * kChunks / total) : kChunks;
        if (chunks == shown) return;
        shown = chunks;
        progress(chunks);
    };
}

// A new keyed file at this program's layout for the database of that kind.
std::unique_ptr<db::Connection> createBackupFile(const QString& path, const QString& password,
                                                 DatabaseKind kind) {
    auto file = db::Connection::create(path, password);
    if (kind == DatabaseKind::Current)
        schema::createCurrentSchema(*file);
    else
        schema::createHistorySchema(*file);
    schema::migrate(*file, layoutOf(kind));
    return file;
}

QString giveMode(const QString& path, int mode) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return QString::fromLocal8Bit(std::strerror(errno));
    const QString error = applyMode(fd, mode);
    ::close(fd);
    return error;
}

}  // namespace

Result backupServerDatabase(const DatabaseLocation& database, DatabaseKind kind,
                            const QString& target, const ChunkProgress& progress,
                            const BackupRun& run) {
    const QString part = target + QStringLiteral(".part");
    const auto discard = [&part] {
        QFile::remove(part);
        QFile::remove(part + QStringLiteral("-journal"));
    };
    discard();
    try {
        auto server = db::Connection::openServer(database.conninfo, database.schema);
        auto file = createBackupFile(part, database.password, kind);
        {
            // One picture of the schema, however the others work on it meanwhile.
            db::ReadSnapshot picture(*server);
            db::Transaction written(*file);
            db::copyTables(*server, *file, chunkProgress(progress));
            written.commit();
        }
        file.reset();
    } catch (const db::DbError& e) {
        discard();
        return Result{Status::SourceUnreadable, text::serverBackupFailed(e.message())};
    }
    const QString modeError = giveMode(part, modeBeside(target));
    if (!modeError.isEmpty()) {
        discard();
        return Result{Status::WriteFailed, text::backupWriteFailed(modeError)};
    }
    return finishBackupCopy(part, target, kind, database.password, database.schema, run);
}

Result restoreServerDatabase(const QString& backupFile, const DatabaseLocation& database,
                             DatabaseKind kind, const QString& password,
                             const ChunkProgress& progress) {
    // The file is checked again as it is now (it was identified when it was chosen).
    const DatabaseProbe probe = probeDatabase(backupFile, password, IntegrityCheck::Quick);
    if (!probe.opened) return Result{Status::BackupUnreadable, text::backupUnreadable()};
    const QString problem = probe.intact ? layoutProblem(probe, kind) : probe.problem;
    if (!problem.isEmpty()) return Result{Status::CheckFailed, text::serverRestoreFailed(problem)};
    try {
        auto backup = db::Connection::open(backupFile, password);
        auto server = db::Connection::openServer(database.conninfo, database.schema);
        if (db::otherSessions(*server) > 0)
            return Result{Status::OthersOnline, text::restoreOthersOnline()};
        db::Transaction replaced(*server);
        // Nobody reads or writes the tables until they are whole again; and whoever connected
        // since the first look is refused as well.
        db::holdTablesExclusively(*server);
        if (db::otherSessions(*server) > 0)
            return Result{Status::OthersOnline, text::restoreOthersOnline()};
        db::copyTables(*backup, *server, chunkProgress(progress));
        // The schema keeps this program's layout, whatever the backup's was.
        server->execute(QStringLiteral("update username set version=%1")
                            .arg(schema::layoutVersion(layoutOf(kind))));
        replaced.commit();
    } catch (const db::DbError& e) {
        return Result{Status::WriteFailed, text::serverRestoreFailed(e.message())};
    }
    return Result{Status::Done, kind == DatabaseKind::Current ? text::currentRestored()
                                                              : text::historyRestored()};
}

}  // namespace fx::backup
