#include "connection.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "dberror.h"
#include "jettranslator.h"
#include "statement.h"

namespace fx::db {

namespace {

// Workstations that share a data directory wait this long for each other's writes.
constexpr int kBusyTimeoutMs = 5000;

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString quotedIdentifier(const QString& name) {
    QString s = name;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// Runs native statements on a bare handle; used while a connection is being set up.
void execOn(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
        const int code = sqlite3_extended_errcode(db);
        sqlite3_free(error);
        throw DbError(message, code, QString::fromUtf8(sql));
    }
}

}  // namespace

sqlite3* Connection::openHandle(const QString& path, const QString& password, int flags) {
    sqlite3* db = nullptr;
    const QByteArray fileName = QFile::encodeName(path);
    int rc = sqlite3_open_v2(fileName.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString engine = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close(db);
        throw DbError(QStringLiteral("无法打开数据库文件“%1”：%2").arg(nativePath(path), engine),
                      rc);
    }
    sqlite3_extended_result_codes(db, 1);
    const QByteArray key = password.toUtf8();
    if (!key.isEmpty()) {
        rc = sqlite3_key(db, key.constData(), int(key.size()));
        if (rc != SQLITE_OK) {
            const QString engine = QString::fromUtf8(sqlite3_errmsg(db));
            sqlite3_close(db);
            throw DbError(
                QStringLiteral("无法为数据库“%1”设置密码：%2").arg(nativePath(path), engine), rc);
        }
    }
    // Another workstation's write in progress is waited for, from the first read on.
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // The first read proves the key: with a wrong password, or a file that is no database,
    // the engine refuses it without writing anything.
    char* error = nullptr;
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString engine = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
        const int code = sqlite3_extended_errcode(db);
        sqlite3_free(error);
        sqlite3_close(db);
        throw DbError(QStringLiteral("无法打开数据库“%1”，密码不对或者文件不是数据库：%2")
                          .arg(nativePath(path), engine),
                      code);
    }
    try {
        // A rollback journal, written through to the disk: WAL does not work on network file
        // systems, and nothing is traded for speed.
        execOn(db, "PRAGMA journal_mode=DELETE");
        execOn(db, "PRAGMA synchronous=FULL");
        // Room for 32 MiB of pages (taken only as pages are read): an update of every asset,
        // such as a category renamed in the dictionary, then stays in memory until its commit
        // instead of spilling decrypted pages back to the file half-way.
        execOn(db, "PRAGMA cache_size=-32768");
        registerJetFunctions(db);
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    return db;
}

std::unique_ptr<Connection> Connection::open(const QString& path, const QString& password) {
    if (!QFileInfo(path).isFile()) {
        throw DbError(QStringLiteral("找不到数据库文件“%1” (unable to open database file)")
                          .arg(nativePath(path)),
                      SQLITE_CANTOPEN);
    }
    sqlite3* db = openHandle(path, password, SQLITE_OPEN_READWRITE);
    std::unique_ptr<Connection> c(new Connection(db, path));
    c->loadSchema();
    return c;
}

std::unique_ptr<Connection> Connection::create(const QString& path, const QString& password) {
    if (QFileInfo::exists(path)) {
        throw DbError(QStringLiteral("数据库文件“%1”已经存在，不能新建").arg(nativePath(path)),
                      SQLITE_CANTOPEN);
    }
    if (password.isEmpty()) {
        // Without a key the engine would write a plain, readable file.
        throw DbError(QStringLiteral("新建数据库“%1”必须有密码").arg(nativePath(path)),
                      SQLITE_MISUSE);
    }
    sqlite3* db = openHandle(path, password, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    std::unique_ptr<Connection> c(new Connection(db, path));
    c->loadSchema();
    return c;
}

Connection::Connection(sqlite3* db, const QString& path) : db_(db), path_(path) {}

Connection::~Connection() {
    sqlite3_close_v2(db_);
}

int Connection::execute(const QString& jetSql) {
    const QString native = translate(jetSql);
    const QByteArray utf8 = native.toUtf8();
    int offset = 0;
    int changed = 0;
    while (offset < utf8.size()) {
        int tail = 0;
        detail::Statement st(db_, utf8, offset, &tail);
        if (st.isEmpty()) break;
        while (st.step()) {
        }
        changed += sqlite3_changes(db_);
        offset = tail;
    }
    return changed;
}

void Connection::executeNative(const QString& sql) {
    const QByteArray utf8 = sql.toUtf8();
    char* error = nullptr;
    if (sqlite3_exec(db_, utf8.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(db_));
        sqlite3_free(error);
        throw DbError(message, sqlite3_extended_errcode(db_), sql);
    }
}

QVariant Connection::queryValue(const QString& sql) {
    detail::Statement st(db_, sql.toUtf8());
    if (st.isEmpty() || !st.step()) return QVariant();
    sqlite3_stmt* s = st.get();
    switch (sqlite3_column_type(s, 0)) {
        case SQLITE_INTEGER:
            return QVariant(qlonglong(sqlite3_column_int64(s, 0)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(s, 0));
        case SQLITE_NULL:
            return QVariant();
        default:
            return QVariant(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)),
                                  sqlite3_column_bytes(s, 0)));
    }
}

bool Connection::returnsRows(const QString& jetSql) const {
    const detail::Statement st(db_, translate(jetSql).toUtf8());
    return !st.isEmpty() && sqlite3_column_count(st.get()) > 0;
}

qint64 Connection::lastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

void Connection::begin() {
    if (inTransaction()) {
        throw DbError(
            QStringLiteral("事务已经开始 (cannot start a transaction within a transaction)"),
            SQLITE_MISUSE);
    }
    // IMMEDIATE takes the write lock at once, so that the busy timeout applies here rather
    // than an immediate "database is locked" at the first change.
    executeNative(QStringLiteral("BEGIN IMMEDIATE"));
}

void Connection::commit() {
    executeNative(QStringLiteral("COMMIT"));
}

void Connection::rollback() {
    // The engine may already have rolled back after a failed statement.
    if (inTransaction()) executeNative(QStringLiteral("ROLLBACK"));
}

bool Connection::inTransaction() const {
    return sqlite3_get_autocommit(db_) == 0;
}

QString Connection::translate(const QString& jetSql) const {
    return translateJet(jetSql, [this](const QString& column) { return isTextColumn(column); });
}

Connection::ColumnKind Connection::kindOfDeclaredType(const QString& declaredType,
                                                      bool primaryKey) {
    QString base = declaredType.trimmed().toUpper();
    const qsizetype paren = base.indexOf(QLatin1Char('('));
    if (paren >= 0) base = base.left(paren).trimmed();
    auto is = [&](std::initializer_list<const char*> names) {
        for (const char* n : names) {
            if (base == QLatin1String(n)) return true;
        }
        return false;
    };
    if (is({"COUNTER", "AUTOINCREMENT"})) return ColumnKind::Counter;
    if (primaryKey && is({"INTEGER", "INT", "LONG"})) return ColumnKind::Counter;
    if (is({"MEMO", "LONGTEXT", "CLOB", "NOTE"})) return ColumnKind::Memo;
    if (is({"TEXT", "VARCHAR", "CHAR", "NVARCHAR", "NCHAR", "STRING", "CHARACTER"})) {
        return ColumnKind::Text;
    }
    if (is({"YESNO", "BIT", "BOOLEAN", "BOOL", "LOGICAL"})) return ColumnKind::YesNo;
    if (is({"DATE", "DATETIME", "TIMESTAMP"})) return ColumnKind::Date;
    if (is({"DOUBLE", "REAL", "FLOAT", "NUMBER", "NUMERIC", "DECIMAL", "CURRENCY", "SINGLE",
            "MONEY"})) {
        return ColumnKind::Number;
    }
    if (is({"INTEGER", "INT", "LONG", "SHORT", "SMALLINT", "BYTE", "BIGINT", "TINYINT"})) {
        return ColumnKind::Integer;
    }
    return ColumnKind::Text;
}

void Connection::loadSchema() {
    columns_.clear();
    columnOrder_.clear();
    counters_.clear();
    textColumns_.clear();
    QStringList tables;
    {
        detail::Statement st(db_, QByteArrayLiteral("SELECT name FROM sqlite_master WHERE "
                                                    "type='table' AND name NOT LIKE 'sqlite\\_%' "
                                                    "ESCAPE '\\'"));
        while (st.step()) {
            tables.append(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0))));
        }
    }
    for (const QString& table : tables) {
        struct Column {
            QString name;
            QString type;
            int pk;
        };
        std::vector<Column> cols;
        int primaryKeys = 0;
        {
            detail::Statement st(db_, (QStringLiteral("PRAGMA table_info(") +
                                       quotedIdentifier(table) + QLatin1Char(')'))
                                          .toUtf8());
            while (st.step()) {
                Column c;
                c.name = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)));
                c.type = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 2)));
                c.pk = sqlite3_column_int(st.get(), 5);
                if (c.pk > 0) ++primaryKeys;
                cols.push_back(c);
            }
        }
        const QString lowerTable = table.toLower();
        QHash<QString, ColumnKind>& kinds = columns_[lowerTable];
        QStringList& order = columnOrder_[lowerTable];
        for (const Column& c : cols) {
            const ColumnKind kind = kindOfDeclaredType(c.type, c.pk == 1 && primaryKeys == 1);
            const QString lower = c.name.toLower();
            kinds.insert(lower, kind);
            order.append(c.name);
            if (kind == ColumnKind::Counter) counters_.insert(lowerTable, c.name);
            if (kind == ColumnKind::Text || kind == ColumnKind::Memo) textColumns_.insert(lower);
        }
    }
}

void Connection::reloadSchema() {
    loadSchema();
}

Connection::ColumnKind Connection::columnKind(const QString& table, const QString& column) const {
    const auto t = columns_.constFind(table.toLower());
    if (t == columns_.constEnd()) return ColumnKind::Text;
    return t->value(column.toLower(), ColumnKind::Text);
}

bool Connection::isTextColumn(const QString& column) const {
    const QString lower = column.toLower();
    const qsizetype dot = lower.lastIndexOf(QLatin1Char('.'));
    if (dot < 0) return textColumns_.contains(lower);
    const auto t = columns_.constFind(lower.left(dot));
    if (t == columns_.constEnd()) return false;
    const auto c = t->constFind(lower.mid(dot + 1));
    if (c == t->constEnd()) return false;
    return *c == ColumnKind::Text || *c == ColumnKind::Memo;
}

QString Connection::counterColumn(const QString& table) const {
    return counters_.value(table.toLower());
}

bool Connection::hasTable(const QString& table) const {
    return columns_.contains(table.toLower());
}

bool Connection::hasColumn(const QString& table, const QString& column) const {
    const auto t = columns_.constFind(table.toLower());
    return t != columns_.constEnd() && t->contains(column.toLower());
}

QStringList Connection::columnNames(const QString& table) const {
    return columnOrder_.value(table.toLower());
}

// ---------------------------------------------------------------------------------------------

Transaction::Transaction(Connection& c) : c_(c) {
    if (c_.inTransaction()) {
        static int counter = 0;
        savepoint_ = QStringLiteral("fx_nested_%1").arg(++counter);
        c_.executeNative(QStringLiteral("SAVEPOINT ") + savepoint_);
    } else {
        c_.begin();
    }
}

Transaction::~Transaction() {
    if (done_) return;
    try {
        rollback();
    } catch (const DbError&) {
        // Nothing more can be done here; the engine rolls back when the connection closes.
    }
}

void Transaction::commit() {
    if (savepoint_.isEmpty()) {
        c_.commit();
    } else {
        c_.executeNative(QStringLiteral("RELEASE ") + savepoint_);
    }
    done_ = true;
}

void Transaction::rollback() {
    done_ = true;
    if (savepoint_.isEmpty()) {
        c_.rollback();
    } else if (c_.inTransaction()) {
        c_.executeNative(QStringLiteral("ROLLBACK TO ") + savepoint_ +
                         QStringLiteral("; RELEASE ") + savepoint_);
    }
}

}  // namespace fx::db
