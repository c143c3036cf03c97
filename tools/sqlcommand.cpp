#include "sqlcommand.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <optional>

#include "adminerror.h"
#include "companionpresence.h"
#include "connection.h"
#include "dberror.h"
#include "installation.h"
#include "migration.h"
#include "rowset.h"
#include "schema.h"
#include "valuetext.h"

namespace fx::admin {

namespace {

QString keyFileIn(const QString& folder) {
    return QDir(folder).filePath(QString::fromLatin1(schema::kKeyFileName));
}

}  // namespace

// Opens the chosen database of dataDir and proves it is one of this system's: the key opens
// it and it has the tables every such database has.
void takeServerOption(QStringList& args, SqlOptions& options) {
    for (int i = 0; i < args.size();) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--server")) {
            if (i + 1 >= args.size()) throw AdminError(QStringLiteral("--server needs CONNINFO"));
            options.server = args.at(i + 1);
            args.remove(i, 2);
        } else if (a.startsWith(QLatin1String("--server="))) {
            options.server = a.mid(9);
            args.removeAt(i);
        } else {
            ++i;
            continue;
        }
        if (options.server.trimmed().isEmpty())
            throw AdminError(QStringLiteral("--server needs CONNINFO"));
    }
}

namespace {

// The schema of the server that holds the chosen database.
std::unique_ptr<db::Connection> openServerDatabase(const SqlOptions& options) {
    const char* schema =
        options.history ? schema::kServerHistorySchema : schema::kServerCurrentSchema;
    try {
        return db::Connection::openServer(options.server, QString::fromLatin1(schema));
    } catch (const db::DbError& e) {
        throw AdminError(e.message());
    }
}

}  // namespace

std::unique_ptr<db::Connection> openDatabase(const SqlOptions& options) {
    if (options.onServer()) {
        auto c = openServerDatabase(options);
        const QString table = options.history ? QStringLiteral("jyjlb") : QStringLiteral("sbjl");
        if (!c->hasTable(QStringLiteral("username")) || !c->hasTable(table)) {
            throw AdminError(
                QStringLiteral("the server's schema %1 holds no database of this "
                               "system (no username or %2 table)")
                    .arg(QString::fromLatin1(options.history ? schema::kServerHistorySchema
                                                             : schema::kServerCurrentSchema),
                         table));
        }
        schema::migrate(
            *c, options.history ? schema::DatabaseKind::History : schema::DatabaseKind::Current);
        return c;
    }
    const QString path = QDir(options.dataDir)
                             .filePath(QString::fromLatin1(options.history ? schema::kHistoryFile
                                                                           : schema::kCurrentFile));
    // Checked here as well as by the layer: opening a missing file must never create one.
    if (!QFileInfo(path).isFile())
        throw AdminError(QStringLiteral("no database file %1").arg(path));

    schema::KeyRing keys;
    if (options.history) {
        // The history database opens without the companion key file while it has the fixed key.
        try {
            keys = resolveKeys(options.dataDir, options.keyFile);
        } catch (const AdminError&) {
            keys << schema::DatabaseKeys{QString(), QString::fromLatin1(schema::kHistoryPassword)};
        }
    } else {
        keys = resolveKeys(options.dataDir, options.keyFile);
    }
    const schema::DatabaseKind kind =
        options.history ? schema::DatabaseKind::History : schema::DatabaseKind::Current;

    std::unique_ptr<db::Connection> c;
    try {
        c = schema::openWithFirstKey(path, schema::passwordsFor(keys, kind));
    } catch (const db::DbError& e) {
        throw AdminError(QStringLiteral("cannot open %1: %2 (wrong password, or not a database "
                                        "of this system); the file was not changed")
                             .arg(path, e.message()));
    }
    const QString table = options.history ? QStringLiteral("jyjlb") : QStringLiteral("sbjl");
    if (!c->hasTable(QStringLiteral("username")) || !c->hasTable(table)) {
        throw AdminError(
            QStringLiteral("%1 is not a %2 database of this system (no username "
                           "or %3 table); the file was not changed")
                .arg(path, options.history ? QStringLiteral("history") : QStringLiteral("current"),
                     table));
    }
    // The companion works with the administrator's right: an earlier layout is brought up to
    // date (in one transaction of its own, which waits for other writers like any other).
    schema::migrate(*c, kind);
    return c;
}

namespace {

void printRows(db::Connection& c, const QString& statement, QTextStream& out) {
    db::RowSet rows(c, statement);
    rows.open();
    const QStringList& names = rows.fieldNames();
    out << names.join(QLatin1Char('\t')) << '\n';
    const int columns = int(names.size());
    QStringList line;
    for (rows.first(); !rows.eof(); rows.next()) {
        line.clear();
        for (int i = 0; i < columns; ++i) line << fieldText(rows.value(i));
        out << line.join(QLatin1Char('\t')) << '\n';
    }
}

}  // namespace

QString resolveKeyFile(const QString& dataDir, const QString& keyFile) {
    if (!keyFile.isEmpty()) {
        if (!QFileInfo(keyFile).isFile()) {
            throw AdminError(QStringLiteral("no key file %1").arg(keyFile));
        }
        return keyFile;
    }
    // Without a data folder (a server's data) only the registered installation is asked.
    const QString beside =
        dataDir.isEmpty() ? QString() : keyFileIn(QDir(dataDir).filePath(QStringLiteral("..")));
    if (!beside.isEmpty() && QFileInfo(beside).isFile()) return QDir::cleanPath(beside);
    const schema::InstallationKey key = schema::readInstallationKey();
    if (!key.appPath.isEmpty() && QFileInfo(keyFileIn(key.appPath)).isFile()) {
        return keyFileIn(key.appPath);
    }
    throw AdminError(QStringLiteral("no key file %1 above the data folder %2 nor in the "
                                    "installation folder (AppPath \"%3\"); give one with "
                                    "--keyfile")
                         .arg(QString::fromLatin1(schema::kKeyFileName), dataDir, key.appPath));
}

schema::KeyRing resolveKeys(const QString& dataDir, const QString& keyFile) {
    // An organisation key file given with --keyfile is tried first, the installation's after it.
    const schema::KeyRing given =
        keyFile.isEmpty() ? schema::KeyRing() : schema::readKeyRing(keyFile);
    QString shippedFile;
    try {
        shippedFile = resolveKeyFile(dataDir, given.isEmpty() ? keyFile : QString());
    } catch (const AdminError&) {
        if (given.isEmpty()) throw;
        return given;
    }
    const QString folder = QFileInfo(shippedFile).absolutePath();
    schema::KeyRing keys =
        schema::mergedKeyRing(given, schema::readKeyRing(schema::organisationKeyPath(folder)));
    const schema::DatabaseKeys shipped{schema::currentPasswordFromKeyFile(shippedFile),
                                       QString::fromLatin1(schema::kHistoryPassword)};
    if (shipped.current.isEmpty())
        throw AdminError(QStringLiteral("the key file %1 gives no password").arg(shippedFile));
    keys << shipped;
    return keys;
}

bool isRowStatement(const QString& statement) {
    QString s = statement.trimmed();
    while (s.startsWith(QLatin1Char('('))) s = s.mid(1).trimmed();
    return s.startsWith(QLatin1String("select"), Qt::CaseInsensitive) &&
           (s.size() == 6 || !s.at(6).isLetterOrNumber());
}

int runSql(const SqlOptions& options, QTextStream& out, QTextStream& err) {
    try {
        if (options.statement.trimmed().isEmpty()) throw AdminError(QStringLiteral("no statement"));
        // The database is proved to be there and one of this system's before a lock file is
        // made beside it. Then the companion is present on the data folder as the program is,
        // so that no backup or restore copies or replaces a database under the statement, and
        // opens the file again: a restore may have replaced it meanwhile.
        // On a server nothing is replaced under a connection: no presence to take there.
        openDatabase(options);
        std::optional<CompanionPresence> presence;
        if (!options.onServer()) presence.emplace(options.dataDir);
        auto c = openDatabase(options);
        if (isRowStatement(options.statement) || c->returnsRows(options.statement)) {
            printRows(*c, options.statement, out);
        } else {
            db::Transaction tx(*c);
            const int changed = c->execute(options.statement);
            tx.commit();
            out << changed << (changed == 1 ? " row changed" : " rows changed") << '\n';
        }
        out.flush();
        return 0;
    } catch (const AdminError& e) {
        err << "fxasset-admin: " << e.message() << '\n';
    } catch (const db::DbError& e) {
        err << "fxasset-admin: the statement failed: " << e.message() << '\n';
    }
    out.flush();
    err.flush();
    return 1;
}

}  // namespace fx::admin
