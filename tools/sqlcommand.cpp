#include "sqlcommand.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

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
std::unique_ptr<db::Connection> openDatabase(const SqlOptions& options) {
    const QString path = QDir(options.dataDir)
                             .filePath(QString::fromLatin1(options.history ? schema::kHistoryFile
                                                                           : schema::kCurrentFile));
    // Checked here as well as by the layer: opening a missing file must never create one.
    if (!QFileInfo(path).isFile())
        throw AdminError(QStringLiteral("no database file %1").arg(path));

    QString password;
    if (options.history) {
        password = QString::fromLatin1(schema::kHistoryPassword);
    } else {
        const QString keyFile = resolveKeyFile(options.dataDir, options.keyFile);
        password = schema::currentPasswordFromKeyFile(keyFile);
        if (password.isEmpty()) {
            throw AdminError(QStringLiteral("the key file %1 gives no password").arg(keyFile));
        }
    }

    std::unique_ptr<db::Connection> c;
    try {
        c = db::Connection::open(path, password);
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
    schema::migrate(
        *c, options.history ? schema::DatabaseKind::History : schema::DatabaseKind::Current);
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
    const QString beside = keyFileIn(QDir(dataDir).filePath(QStringLiteral("..")));
    if (QFileInfo(beside).isFile()) return QDir::cleanPath(beside);
    const schema::InstallationKey key = schema::readInstallationKey();
    if (!key.appPath.isEmpty() && QFileInfo(keyFileIn(key.appPath)).isFile()) {
        return keyFileIn(key.appPath);
    }
    throw AdminError(QStringLiteral("no key file %1 above the data folder %2 nor in the "
                                    "installation folder (AppPath \"%3\"); give one with "
                                    "--keyfile")
                         .arg(QString::fromLatin1(schema::kKeyFileName), dataDir, key.appPath));
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
        openDatabase(options);
        const CompanionPresence presence(options.dataDir);
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
