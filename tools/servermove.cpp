#include "servermove.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "admincommand.h"
#include "adminerror.h"
#include "connection.h"
#include "dberror.h"
#include "installation.h"
#include "migration.h"
#include "rowset.h"
#include "schema.h"
#include "sqlcommand.h"
#include "tablecopy.h"

namespace fx::admin {

namespace {

struct MoveOptions {
    QString conninfo;
    QString dataDir;
    QString keyFile;
};

MoveOptions parseMove(const QString& command, const QStringList& args) {
    MoveOptions o;
    QStringList positional;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--keyfile")) {
            if (i + 1 >= args.size()) throw AdminError(QStringLiteral("--keyfile needs a value"));
            o.keyFile = args.at(++i);
        } else if (a.startsWith(QLatin1String("--"))) {
            throw AdminError(QStringLiteral("unknown option %1").arg(a));
        } else {
            positional << a;
        }
    }
    if (positional.size() != 2)
        throw AdminError(QStringLiteral("%1 needs CONNINFO and DATADIR").arg(command));
    o.conninfo = positional.at(0);
    o.dataDir = positional.at(1);
    return o;
}

std::unique_ptr<db::Connection> openFile(const MoveOptions& o, bool history) {
    SqlOptions s;
    s.dataDir = o.dataDir;
    s.history = history;
    s.keyFile = o.keyFile;
    return openDatabase(s);
}

std::unique_ptr<db::Connection> openSchema(const QString& conninfo, const char* schema) {
    return db::Connection::openServer(conninfo, QString::fromLatin1(schema));
}

void dropBoth(const QString& conninfo) {
    for (const char* schema : {schema::kServerCurrentSchema, schema::kServerHistorySchema}) {
        try {
            openSchema(conninfo, schema)->dropSchema();
        } catch (const db::DbError&) {
            // Not made, or gone already.
        }
    }
}

int fail(QTextStream& err, const QString& message) {
    err << "fxasset-admin: " << message << '\n';
    err.flush();
    return kExitFailed;
}

}  // namespace

int serverImportCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    MoveOptions o;
    try {
        o = parseMove(QStringLiteral("server-import"), args);
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << "\n\n" << usageText();
        err.flush();
        return kExitUsage;
    }
    std::unique_ptr<db::Connection> current;
    std::unique_ptr<db::Connection> history;
    try {
        current = openFile(o, false);
        history = openFile(o, true);
        if (schema::storedVersion(*current) >
                schema::layoutVersion(schema::DatabaseKind::Current) ||
            schema::storedVersion(*history) > schema::layoutVersion(schema::DatabaseKind::History))
            return fail(err, QStringLiteral("the databases of %1 are of a newer version than this "
                                            "program; nothing was copied")
                                 .arg(o.dataDir));
        schema::createServerDatabases(o.conninfo);
    } catch (const AdminError& e) {
        return fail(err, e.message());
    } catch (const db::DbError& e) {
        return fail(err, QStringLiteral("database error: ") + e.message());
    }
    try {
        auto serverCurrent = openSchema(o.conninfo, schema::kServerCurrentSchema);
        auto serverHistory = openSchema(o.conninfo, schema::kServerHistorySchema);
        db::Transaction tc(*serverCurrent);
        db::Transaction th(*serverHistory);
        const qint64 rows =
            db::copyTables(*current, *serverCurrent) + db::copyTables(*history, *serverHistory);
        // The server's tables are of this program's layout, whatever the files' was.
        serverCurrent->execute(QStringLiteral("update username set version=%1")
                                   .arg(schema::layoutVersion(schema::DatabaseKind::Current)));
        serverHistory->execute(QStringLiteral("update username set version=%1")
                                   .arg(schema::layoutVersion(schema::DatabaseKind::History)));
        th.commit();
        tc.commit();
        out << "copied " << rows << " rows of " << o.dataDir << " to the server\n";
        out.flush();
        return kExitOk;
    } catch (const db::DbError& e) {
        dropBoth(o.conninfo);
        return fail(err, QStringLiteral("database error: ") + e.message() +
                             QStringLiteral("; nothing was left on the server"));
    }
}

int serverExportCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    MoveOptions o;
    try {
        o = parseMove(QStringLiteral("server-export"), args);
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << "\n\n" << usageText();
        err.flush();
        return kExitUsage;
    }
    const QDir dir(o.dataDir);
    const QString currentFile = dir.filePath(QString::fromLatin1(schema::kCurrentFile));
    const QString historyFile = dir.filePath(QString::fromLatin1(schema::kHistoryFile));
    bool made = false;
    try {
        auto serverCurrent = openSchema(o.conninfo, schema::kServerCurrentSchema);
        auto serverHistory = openSchema(o.conninfo, schema::kServerHistorySchema);
        // The files get the installation's first keys: the organisation's own when it has one.
        const schema::KeyRing keys = resolveKeys(o.dataDir, o.keyFile);
        const QString password = keys.first().current;
        const QString historyPassword = keys.first().history;
        schema::createDatabases(o.dataDir, password, historyPassword);
        made = true;
        auto current = db::Connection::open(currentFile, password);
        auto history = db::Connection::open(historyFile, historyPassword);
        qint64 rows = 0;
        {
            // One picture of each of the server's databases, however others work meanwhile.
            db::ReadSnapshot currentPicture(*serverCurrent);
            db::Transaction tc(*current);
            rows += db::copyTables(*serverCurrent, *current);
            tc.commit();
        }
        {
            db::ReadSnapshot historyPicture(*serverHistory);
            db::Transaction th(*history);
            rows += db::copyTables(*serverHistory, *history);
            th.commit();
        }
        out << "copied " << rows << " rows of the server to " << o.dataDir << '\n';
        out.flush();
        return kExitOk;
    } catch (const AdminError& e) {
        if (made) {
            QFile::remove(currentFile);
            QFile::remove(historyFile);
        }
        return fail(err, e.message());
    } catch (const db::DbError& e) {
        if (made) {
            QFile::remove(currentFile);
            QFile::remove(historyFile);
        }
        return fail(err, QStringLiteral("database error: ") + e.message() +
                             QStringLiteral("; no file was left behind"));
    }
}

}  // namespace fx::admin
