#include "backupcommand.h"

#include <QDir>

#include "admincommand.h"
#include "adminerror.h"
#include "backupfiles.h"
#include "backupmessages.h"
#include "backupoperations.h"
#include "installation.h"
#include "schema.h"
#include "sqlcommand.h"

namespace fx::admin {

namespace {

struct Arguments {
    QString dataDir;  // ends with "/"
    QString file;
    QString keyFile;
};

// DATADIR FILE [--keyfile KEY]; false with a message on err when the line is not understood.
bool parseArguments(const QString& command, const QStringList& args, Arguments& parsed,
                    QTextStream& err) {
    QStringList positional;
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
        err << "fxasset-admin: " << command << " needs DATADIR and FILE\n\n" << usageText();
        return false;
    }
    parsed.dataDir = QDir(positional.at(0)).absolutePath() + QLatin1Char('/');
    parsed.file = QDir(positional.at(1)).absolutePath();
    return true;
}

// The current database's password from the key file; a key file that gives none is refused, as
// the sql command does: an empty key would open plain, unkeyed files.
QString currentPassword(const Arguments& a) {
    const QString keyFile = resolveKeyFile(a.dataDir, a.keyFile);
    const QString password = schema::currentPasswordFromKeyFile(keyFile);
    if (password.isEmpty())
        throw AdminError(QStringLiteral("the key file %1 gives no password").arg(keyFile));
    return password;
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
    QString password;
    try {
        password = currentPassword(a);
    } catch (const AdminError& e) {
        return failed(err, e.message());
    }
    const QString chosen = backup::withDefaultSuffix(a.file);
    const QString currentTarget = backup::currentBackupTarget(chosen, true);
    const QString historyTarget = backup::historyBackupTarget(chosen);
    if (backup::namesDatabaseFile(currentTarget, a.dataDir) ||
        backup::namesDatabaseFile(historyTarget, a.dataDir))
        return failed(err, backup::text::backupOntoDatabase());

    const struct {
        backup::DatabaseKind kind;
        QString database;
        QString target;
    } steps[] = {
        {backup::DatabaseKind::Current, a.dataDir + QLatin1String(schema::kCurrentFile),
         currentTarget},
        {backup::DatabaseKind::History, a.dataDir + QLatin1String(schema::kHistoryFile),
         historyTarget},
    };
    if (!backup::pairBelongsTogether(currentTarget, historyTarget))
        out << backup::text::pairMismatch(currentTarget, historyTarget) << '\n';
    const backup::BackupRun run = backup::BackupRun::now();
    for (const auto& step : steps) {
        const backup::Result r =
            backup::backupDatabase(step.database, backup::passwordFor(step.kind, password),
                                   step.kind, step.target, {}, run);
        if (!r.ok()) return failed(err, r.message);
        out << r.message << ' ' << step.target << '\n';
    }
    out.flush();
    return kExitOk;
}

int restoreCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    Arguments a;
    if (!parseArguments(QStringLiteral("restore"), args, a, err)) return kExitUsage;
    QString password;
    try {
        password = currentPassword(a);
    } catch (const AdminError& e) {
        return failed(err, e.message());
    }
    const backup::IdentifiedBackup found = backup::identifyBackup(a.file, password);
    if (!found.ok) return failed(err, backup::text::notADatabase());
    const bool current = found.kind == backup::DatabaseKind::Current;
    out << (current ? backup::text::currentKindCaption(found.version)
                    : backup::text::historyKindCaption(found.version))
        << '\n';
    out.flush();
    const QString target =
        a.dataDir + QLatin1String(current ? schema::kCurrentFile : schema::kHistoryFile);
    const backup::Result r = backup::restoreDatabase(a.file, target, found.kind,
                                                     backup::passwordFor(found.kind, password));
    if (!r.ok()) return failed(err, r.message);
    out << r.message << '\n';
    out.flush();
    return kExitOk;
}

}  // namespace fx::admin
