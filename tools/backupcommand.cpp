#include "backupcommand.h"

#include <QDir>

#include "admincommand.h"
#include "adminerror.h"
#include "backupfiles.h"
#include "backupmessages.h"
#include "backupoperations.h"
#include "connection.h"
#include "databaselocation.h"
#include "dberror.h"
#include "installation.h"
#include "organisationkey.h"
#include "schema.h"
#include "sqlcommand.h"

namespace fx::admin {

namespace {

struct Arguments {
    QString dataDir;  // ends with "/"; empty on a server
    QString server;   // --server: the server's schemas instead of the files of dataDir
    QString file;
    QString keyFile;
};

// DATADIR FILE [--keyfile KEY], or --server CONNINFO FILE [--keyfile KEY]; false with a
// message on err when the line is not understood.
bool parseArguments(const QString& command, QStringList args, Arguments& parsed, QTextStream& err) {
    SqlOptions where;
    try {
        takeServerOption(args, where);
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << "\n\n" << usageText();
        return false;
    }
    parsed.server = where.server;
    QStringList positional;
    if (!parsed.server.isEmpty()) positional << QString();
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--keyfile") && i + 1 < args.size()) {
            parsed.keyFile = args.at(++i);
        } else if (a.startsWith(QLatin1String("--keyfile="))) {
            parsed.keyFile = a.mid(10);
        } else if (a.startsWith(QLatin1String("--"))) {
            err << "fxasset-admin: unknown option " << a << "\n\n" << usageText();
            return false;
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2) {
        err << "fxasset-admin: " << command << " needs DATADIR (or --server CONNINFO) and FILE\n\n"
            << usageText();
        return false;
    }
    if (parsed.server.isEmpty())
        parsed.dataDir = QDir(positional.at(0)).absolutePath() + QLatin1Char('/');
    parsed.file = QDir(positional.at(1)).absolutePath();
    return true;
}

// The password that opens a database of the data folder, the first of the keys that fits.
QString passwordOf(const QString& database, const schema::KeyRing& keys,
                   schema::DatabaseKind kind) {
    QString used;
    try {
        schema::openWithFirstKey(database, schema::passwordsFor(keys, kind), &used);
    } catch (const db::DbError& e) {
        throw AdminError(e.message());
    }
    return used;
}

// Where a database of the command's data lives: the file of the data folder, opened with the
// first key that fits, or the server's schema, whose backups get the first keys of the
// installation (as server-export keys its files).
backup::DatabaseLocation locationOf(const Arguments& a, backup::DatabaseKind kind,
                                    const schema::KeyRing& keys) {
    const bool current = kind == backup::DatabaseKind::Current;
    backup::DatabaseLocation where;
    if (!a.server.isEmpty()) {
        where.conninfo = a.server;
        where.schema = QString::fromLatin1(current ? schema::kServerCurrentSchema
                                                   : schema::kServerHistorySchema);
        where.password = current ? keys.first().current : keys.first().history;
        return where;
    }
    where.path = a.dataDir + QLatin1String(current ? schema::kCurrentFile : schema::kHistoryFile);
    where.password = passwordOf(
        where.path, keys, current ? schema::DatabaseKind::Current : schema::DatabaseKind::History);
    return where;
}

int failed(QTextStream& err, const QString& message) {
    err << message << '\n';
    err.flush();
    return kExitFailed;
}

}  // namespace

int backupCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    Arguments a;
    if (!parseArguments(QStringLiteral("backup"), args, a, err)) return kExitUsage;
    schema::KeyRing keys;
    try {
        keys = resolveKeys(a.dataDir, a.keyFile);
    } catch (const AdminError& e) {
        return failed(err, e.message());
    }
    const QString chosen = backup::withDefaultSuffix(a.file);
    const QString currentTarget = backup::currentBackupTarget(chosen, true);
    const QString historyTarget = backup::historyBackupTarget(chosen);
    if (!a.dataDir.isEmpty() && (backup::namesDatabaseFile(currentTarget, a.dataDir) ||
                                 backup::namesDatabaseFile(historyTarget, a.dataDir)))
        return failed(err, backup::text::backupOntoDatabase());

    const struct {
        backup::DatabaseKind kind;
        QString target;
    } steps[] = {
        {backup::DatabaseKind::Current, currentTarget},
        {backup::DatabaseKind::History, historyTarget},
    };
    if (!backup::pairBelongsTogether(currentTarget, historyTarget))
        out << backup::text::pairMismatch(currentTarget, historyTarget) << '\n';
    const backup::BackupRun run = backup::BackupRun::now();
    for (const auto& step : steps) {
        backup::DatabaseLocation where;
        try {
            where = locationOf(a, step.kind, keys);
        } catch (const AdminError& e) {
            return failed(err, e.message());
        }
        const backup::Result r = backup::backupDatabase(where, step.kind, step.target, {}, run);
        if (!r.ok()) return failed(err, r.message);
        out << r.message << ' ' << step.target << '\n';
    }
    out.flush();
    return kExitOk;
}

int restoreCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    Arguments a;
    if (!parseArguments(QStringLiteral("restore"), args, a, err)) return kExitUsage;
    schema::KeyRing keys;
    try {
        keys = resolveKeys(a.dataDir, a.keyFile);
    } catch (const AdminError& e) {
        return failed(err, e.message());
    }
    const backup::IdentifiedBackup found = backup::identifyBackup(a.file, keys);
    if (!found.ok) return failed(err, backup::text::notADatabase());
    const bool current = found.kind == backup::DatabaseKind::Current;
    out << (current ? backup::text::currentKindCaption(found.version)
                    : backup::text::historyKindCaption(found.version))
        << '\n';
    out.flush();
    backup::DatabaseLocation where;
    if (a.server.isEmpty()) {
        where.path =
            a.dataDir + QLatin1String(current ? schema::kCurrentFile : schema::kHistoryFile);
    } else {
        where = locationOf(a, found.kind, keys);
    }
    const backup::Result r = backup::restoreDatabase(a.file, where, found.kind, found.password);
    if (!r.ok()) return failed(err, r.message);
    out << r.message << '\n';
    out.flush();
    return kExitOk;
}

}  // namespace fx::admin
