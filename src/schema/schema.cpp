#include "schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "connection.h"
#include "dberror.h"
#include "layouttables.h"
#include "migration.h"
#include "quote.h"
#include "rowset.h"

namespace fx::schema {

namespace {

// Declared column types, as the data-access layer reads them back (Connection::ColumnKind):
// TEXT(n) text of at most n characters (the width is what the program assumes; the engine
// does not cut), LONGTEXT memo, INTEGER 32-bit integer, DOUBLE number, YESNO yes/no stored as
// 0/1, DATE a 'yyyy-mm-dd' text, INTEGER PRIMARY KEY AUTOINCREMENT the counter (never reused).
//
// Texts default to '' so that a row appended without them reads as empty, not missing
// (queries look for bgr='' ); yes/no columns are never null, as in the original files.

const char* const kCurrentTables[] = {
    // The asset register.
    "CREATE TABLE sbjl ("
    " ID1 INTEGER PRIMARY KEY AUTOINCREMENT,"
    " id TEXT(9) DEFAULT '',"
    " num INTEGER DEFAULT 0,"
    " zclb TEXT(50) DEFAULT '',"
    " sbmc TEXT(50) DEFAULT '',"
    " sbxh TEXT(50) DEFAULT '',"
    " sbpz TEXT(100) DEFAULT '',"
    " yt TEXT(50) DEFAULT '',"
    " worp YESNO NOT NULL DEFAULT 0,"
    " wz TEXT(50) DEFAULT '',"
    " bgr TEXT(20) DEFAULT '',"
    " ly TEXT(20) DEFAULT '',"
    " bxq TEXT(20) DEFAULT '',"
    " gmrq DATE,"
    " pzrq DATE,"
    " gmjg DOUBLE DEFAULT 0,"
    " other TEXT(100) DEFAULT '',"
    " ybf YESNO NOT NULL DEFAULT 0,"
    " yjc YESNO NOT NULL DEFAULT 0,"
    " wx YESNO NOT NULL DEFAULT 0,"
    " wxjl LONGTEXT)",
    // The data dictionary.
    "CREATE TABLE sortproc ("
    " sort TEXT(50) DEFAULT '',"
    " title TEXT(8) DEFAULT '',"
    " cz INTEGER DEFAULT 0)",
    "CREATE TABLE sortb ("
    " name TEXT(50) DEFAULT '',"
    " sort TEXT(50) DEFAULT '',"
    " bht TEXT(8) DEFAULT '',"
    " wzorgr YESNO NOT NULL DEFAULT 0)",
    "CREATE TABLE xhpz ("
    " sbmc TEXT(50) DEFAULT '',"
    " sbxh TEXT(50) DEFAULT '',"
    " sbpz TEXT(100) DEFAULT '')",
    "CREATE TABLE ytb ("
    " sort TEXT(50) DEFAULT '',"
    " yt TEXT(50) DEFAULT '')",
    "CREATE TABLE wzb ("
    " wz TEXT(50) DEFAULT '',"
    " isbm YESNO NOT NULL DEFAULT 0)",
    "CREATE TABLE person ("
    " pname TEXT(50) DEFAULT '',"
    " bm TEXT(50) DEFAULT '')",
    "CREATE TABLE syq ("
    " qx TEXT(20) DEFAULT '',"
    " yue INTEGER DEFAULT 0)",
    "CREATE TABLE lyfs ("
    " ly TEXT(20) DEFAULT '')",
    // Users and identity.
    "CREATE TABLE users ("
    " user TEXT(50) DEFAULT '',"
    " password TEXT(50) DEFAULT '',"
    " ins YESNO NOT NULL DEFAULT 0,"
    " modi YESNO NOT NULL DEFAULT 0,"
    " del YESNO NOT NULL DEFAULT 0,"
    " view YESNO NOT NULL DEFAULT 0,"
    " jc YESNO NOT NULL DEFAULT 0,"
    " gh YESNO NOT NULL DEFAULT 0,"
    " db YESNO NOT NULL DEFAULT 0,"
    " spmodi YESNO NOT NULL DEFAULT 0)",
    "CREATE TABLE username ("
    " user TEXT(50) DEFAULT '',"
    " version INTEGER DEFAULT 0,"
    " password INTEGER DEFAULT 0,"
    " mm TEXT(50) DEFAULT '')",
    // Numbering.
    "CREATE TABLE idupper ("
    " idup TEXT(9) DEFAULT '',"
    " max INTEGER DEFAULT 0)",
    // Open loans and maintenance.
    "CREATE TABLE jcb ("
    " id INTEGER DEFAULT 0,"
    " jcr TEXT(50) DEFAULT '',"
    " pzr TEXT(20) DEFAULT '',"
    " jyr TEXT(50) DEFAULT '',"
    " jydw TEXT(50) DEFAULT '',"
    " jcrq DATE,"
    " ghrq DATE,"
    " other TEXT(100) DEFAULT '')",
    "CREATE TABLE wxjlb ("
    " id INTEGER DEFAULT 0,"
    " sxrq DATE,"
    " wxrq DATE,"
    " sxdd TEXT(50) DEFAULT '',"
    " ghpj TEXT(100) DEFAULT '',"
    " gzyy TEXT(100) DEFAULT '',"
    " wxfy DOUBLE DEFAULT 0,"
    " wxzk TEXT(100) DEFAULT '',"
    " sxr TEXT(50) DEFAULT '')",
};

const char* const kCurrentIndexes[] = {
    // An asset number is unique; the modify path relies on the refused post.
    "CREATE UNIQUE INDEX sbjl_number ON sbjl (id, num)",
    // At most one open loan per asset.
    "CREATE UNIQUE INDEX jcb_asset ON jcb (id)",
    // One row per prefix.
    "CREATE UNIQUE INDEX idupper_prefix ON idupper (idup)",
    // Lookups of the card, the queries and the dictionary's cascading updates and checks. One
    // column each: rows with the same key then come in table order, as the lists expect.
    "CREATE INDEX sbjl_category ON sbjl (zclb)",
    "CREATE INDEX sbjl_name ON sbjl (sbmc)",
    "CREATE INDEX sbjl_place ON sbjl (wz)",
    "CREATE INDEX sortproc_sort ON sortproc (sort)",
    "CREATE INDEX sortb_name ON sortb (name)",
    "CREATE INDEX sortb_sort ON sortb (sort)",
    "CREATE INDEX xhpz_name ON xhpz (sbmc)",
    "CREATE INDEX ytb_sort ON ytb (sort)",
    "CREATE INDEX wzb_place ON wzb (wz)",
    "CREATE INDEX person_name ON person (pname)",
    "CREATE INDEX person_department ON person (bm)",
    "CREATE INDEX syq_life ON syq (qx)",
    "CREATE INDEX lyfs_source ON lyfs (ly)",
    "CREATE INDEX users_name ON users (user)",
    "CREATE INDEX wxjlb_asset ON wxjlb (id)",
};

const char* const kHistoryTables[] = {
    "CREATE TABLE jyjlb ("
    " id INTEGER DEFAULT 0,"
    " czy TEXT(50) DEFAULT '',"
    " jyr TEXT(50) DEFAULT '',"
    " jydw TEXT(50) DEFAULT '',"
    " jcr TEXT(50) DEFAULT '',"
    " jcrq DATE,"
    " ghrq DATE,"
    " other TEXT(100) DEFAULT '',"
    " trueghrq DATE,"
    " bz TEXT(10) DEFAULT '')",
    "CREATE TABLE his ("
    " \"index\" INTEGER PRIMARY KEY AUTOINCREMENT,"
    " id INTEGER DEFAULT 0,"
    " swz TEXT(50) DEFAULT '',"
    " sbgr TEXT(20) DEFAULT '',"
    " owz TEXT(50) DEFAULT '',"
    " obgr TEXT(20) DEFAULT '',"
    " date DATE,"
    " czy TEXT(50) DEFAULT '')",
    "CREATE TABLE username ("
    " user TEXT(50) DEFAULT '',"
    " version INTEGER DEFAULT 0,"
    " password INTEGER DEFAULT 0,"
    " mm TEXT(50) DEFAULT '')",
};

const char* const kHistoryIndexes[] = {
    "CREATE INDEX jyjlb_asset ON jyjlb (id)",
    "CREATE INDEX his_asset ON his (id)",
};

void runAll(db::Connection& c, const char* const* statements, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) c.executeNative(QString::fromUtf8(statements[i]));
}

template <std::size_t N>
void runAll(db::Connection& c, const char* const (&statements)[N]) {
    runAll(c, statements, N);
}

QString usernameRow() {
    return QStringLiteral(
               "INSERT INTO username (user, version, password, mm) VALUES ('', %1, 0, '')")
        .arg(kLayoutVersion);
}

// Creates one keyed file with its tables; a file left half made is removed again.
void createFile(const QString& path, const QString& password, void (*createSchema)(db::Connection&),
                DatabaseKind kind) {
    if (QFileInfo::exists(path)) {
        throw db::DbError(
            QStringLiteral("数据库文件“%1”已经存在，不能新建").arg(QDir::toNativeSeparators(path)));
    }
    try {
        std::unique_ptr<db::Connection> c = db::Connection::create(path, password);
        createSchema(*c);
        // A new database is made at the first layout and brought up to date like any other.
        migrate(*c, kind);
    } catch (...) {
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        throw;
    }
}

}  // namespace

void createCurrentSchema(db::Connection& c) {
    db::Transaction t(c);
    runAll(c, kCurrentTables);
    runAll(c, kCurrentIndexes);
    c.executeNative(usernameRow());
    c.executeNative(
        QStringLiteral(
            "INSERT INTO users (user, password, ins, modi, del, view, jc, gh, db, spmodi) "
            "VALUES (%1, '', 1, 1, 1, 1, 1, 1, 1, 1)")
            .arg(db::quoted(QString::fromUtf8(kAdministrator))));
    c.executeNative(QStringLiteral("INSERT INTO person (pname, bm) VALUES (%1, '')")
                        .arg(db::quoted(QString::fromUtf8(kUnassignedPerson))));
    t.commit();
    c.reloadSchema();
}

void createHistorySchema(db::Connection& c) {
    db::Transaction t(c);
    runAll(c, kHistoryTables);
    runAll(c, kHistoryIndexes);
    c.executeNative(usernameRow());
    t.commit();
    c.reloadSchema();
}

void createDatabases(const QString& dataDir, const QString& currentPassword,
                     const QString& historyPassword) {
    const QDir dir(dataDir);
    if (!dir.exists()) {
        throw db::DbError(
            QStringLiteral("数据目录“%1”不存在").arg(QDir::toNativeSeparators(dataDir)));
    }
    const QString current = dir.filePath(QString::fromLatin1(kCurrentFile));
    const QString history = dir.filePath(QString::fromLatin1(kHistoryFile));
    // Refuse before creating anything, so that an existing file is never half-joined by a new one.
    for (const QString& path : {current, history}) {
        if (QFileInfo::exists(path)) {
            throw db::DbError(QStringLiteral("数据库文件“%1”已经存在，不能新建")
                                  .arg(QDir::toNativeSeparators(path)));
        }
    }
    createFile(current, currentPassword, &createCurrentSchema, DatabaseKind::Current);
    try {
        createFile(
            history,
            historyPassword.isEmpty() ? QString::fromLatin1(kHistoryPassword) : historyPassword,
            &createHistorySchema, DatabaseKind::History);
    } catch (...) {
        QFile::remove(current);
        throw;
    }
}

void createServerDatabases(const QString& conninfo, const QString& prefix) {
    const QString current = prefix + QLatin1String(kServerCurrentSchema);
    const QString history = prefix + QLatin1String(kServerHistorySchema);
    std::unique_ptr<db::Connection> c = db::Connection::createServer(conninfo, current);
    try {
        createCurrentSchema(*c);
        migrate(*c, DatabaseKind::Current);
        std::unique_ptr<db::Connection> h = db::Connection::createServer(conninfo, history);
        try {
            createHistorySchema(*h);
            migrate(*h, DatabaseKind::History);
        } catch (...) {
            h->dropSchema();
            throw;
        }
    } catch (...) {
        c->dropSchema();
        throw;
    }
}

QString organisationName(db::Connection& current) {
    db::RowSet rows(current, QStringLiteral("select * from username"));
    rows.open();
    return rows.eof() ? QString() : rows.text(QStringLiteral("user"));
}

QStringList firstLayoutTables(DatabaseKind kind) {
    // Read off the statements that create them, so the list cannot drift from the layout.
    QStringList tables;
    const auto collect = [&tables](const char* const* statements, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const QString sql = QString::fromUtf8(statements[i]);
            const qsizetype start = sql.indexOf(QLatin1String("TABLE ")) + 6;
            tables << sql.mid(start, sql.indexOf(QLatin1Char(' '), start) - start).toLower();
        }
    };
    if (kind == DatabaseKind::Current)
        collect(kCurrentTables, std::size(kCurrentTables));
    else
        collect(kHistoryTables, std::size(kHistoryTables));
    return tables;
}

}  // namespace fx::schema
