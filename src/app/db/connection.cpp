#include "connection.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QRegularExpression>

#include "dberror.h"
#include "jettranslator.h"
#include "pgengine.h"
#include "pgschema.h"
#include "sqliteengine.h"
#include "statement.h"

namespace fx::db {

namespace {

// Workstations that share a data directory wait this long for each other's writes.
constexpr int kBusyTimeoutMs = 5000;

QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
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

sqlite3* openHandle(const QString& path, const QString& password, int flags) {
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

}  // namespace

std::unique_ptr<Connection> Connection::open(const QString& path, const QString& password) {
    if (!QFileInfo(path).isFile()) {
        throw DbError(QStringLiteral("找不到数据库文件“%1” (unable to open database file)")
                          .arg(nativePath(path)),
                      SQLITE_CANTOPEN);
    }
    sqlite3* db = openHandle(path, password, SQLITE_OPEN_READWRITE);
    std::unique_ptr<Connection> c(
        new Connection(std::make_unique<detail::SqliteEngine>(db, path), path));
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
    std::unique_ptr<Connection> c(
        new Connection(std::make_unique<detail::SqliteEngine>(db, path), path));
    c->loadSchema();
    return c;
}

std::unique_ptr<Connection> Connection::openServer(const QString& conninfo, const QString& schema) {
    std::unique_ptr<Connection> c(
        new Connection(std::make_unique<detail::PgEngine>(conninfo, schema, false), conninfo));
    c->loadSchema();
    return c;
}

std::unique_ptr<Connection> Connection::createServer(const QString& conninfo,
                                                     const QString& schema) {
    std::unique_ptr<Connection> c(
        new Connection(std::make_unique<detail::PgEngine>(conninfo, schema, true), conninfo));
    c->loadSchema();
    return c;
}

void Connection::dropSchema() {
    auto* server = dynamic_cast<detail::PgEngine*>(engine_.get());
    if (!server) throw DbError(QStringLiteral("数据库文件不能这样删除"), SQLITE_MISUSE);
    server->dropSchema();
    loadSchema();
}

Connection::Connection(std::unique_ptr<detail::Engine> engine, const QString& path)
    : engine_(std::move(engine)), path_(path) {
    if (auto* server = dynamic_cast<detail::PgEngine*>(engine_.get())) {
        server->setTextColumns([this](const QString& column) { return isTextColumn(column); });
    }
}

Connection::~Connection() = default;

bool Connection::isServer() const {
    return engine_->isServer();
}

void Connection::noteInsert(const QString& sql) {
    if (!engine_->isServer()) return;
    static const QRegularExpression insert(
        QStringLiteral(R"(^\s*INSERT\s+INTO\s+("[^"]+"|\[[^\]]+\]|\w+))"),
        QRegularExpression::CaseInsensitiveOption);
    QString table;
    for (const QString& s : detail::splitStatements(sql)) {
        const QRegularExpressionMatch m = insert.match(s);
        if (m.hasMatch()) table = m.captured(1);
    }
    if (table.isEmpty()) return;
    if (table.startsWith(QLatin1Char('"')) || table.startsWith(QLatin1Char('['))) {
        table = table.mid(1, table.size() - 2);
    }
    lastInsertTable_ = table.toLower();
}

int Connection::execute(const QString& jetSql) {
    const int changed = engine_->run(translate(jetSql));
    noteInsert(jetSql);
    return changed;
}

void Connection::executeNative(const QString& sql) {
    engine_->runSchema(sql);
    noteInsert(sql);
}

QVariant Connection::queryValue(const QString& sql) {
    const QString native = engine_->isServer() ? translate(sql) : sql;
    std::unique_ptr<detail::Cursor> st = engine_->prepare(native);
    if (!st->step()) return QVariant();
    switch (st->type(0)) {
        case detail::ValueType::Integer:
            return QVariant(qlonglong(st->integer(0)));
        case detail::ValueType::Float:
            return QVariant(st->number(0));
        case detail::ValueType::Null:
            return QVariant();
        default: {
            int n = 0;
            const char* p = st->text(0, &n);
            return QVariant(QString::fromUtf8(p, n));
        }
    }
}

bool Connection::returnsRows(const QString& jetSql) {
    return engine_->returnsRows(translate(jetSql));
}

qint64 Connection::lastInsertId() {
    if (!engine_->isServer()) {
        return sqlite3_last_insert_rowid(static_cast<detail::SqliteEngine&>(*engine_).handle());
    }
    if (lastInsertTable_.isEmpty()) return 0;
    QString column = counterColumn(lastInsertTable_);
    if (column.isEmpty()) column = engine_->rowKey();
    return queryValue(QStringLiteral("SELECT currval(pg_get_serial_sequence('%1', '%2'))")
                          .arg(lastInsertTable_, column.toLower()))
        .toLongLong();
}

void Connection::begin() {
    if (inTransaction()) {
        throw DbError(
            QStringLiteral("事务已经开始 (cannot start a transaction within a transaction)"),
            SQLITE_MISUSE);
    }
    engine_->run(engine_->beginStatement());
}

void Connection::commit() {
    engine_->run(QStringLiteral("COMMIT"));
}

void Connection::rollback() {
    // The engine may already have rolled back after a failed statement.
    if (inTransaction()) engine_->run(QStringLiteral("ROLLBACK"));
}

void Connection::takeTurn(const QString& name) {
    if (!inTransaction()) {
        throw DbError(QStringLiteral("没有打开的事务 (a turn is taken inside a transaction)"),
                      SQLITE_MISUSE);
    }
    engine_->holdUntilTransactionEnds(name);
}

bool Connection::inTransaction() const {
    return engine_->inTransaction();
}

QString Connection::translate(const QString& jetSql) const {
    return engine_->translate(jetSql,
                              [this](const QString& column) { return isTextColumn(column); });
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
    for (const detail::DeclaredTable& table : engine_->schema()) {
        const QString lowerTable = table.name.toLower();
        QHash<QString, ColumnKind>& kinds = columns_[lowerTable];
        QStringList& order = columnOrder_[lowerTable];
        for (const detail::DeclaredColumn& c : table.columns) {
            const ColumnKind kind = kindOfDeclaredType(c.type, c.primaryKey);
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
        c_.engine().run(QStringLiteral("SAVEPOINT ") + savepoint_);
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
        c_.engine().run(QStringLiteral("RELEASE ") + savepoint_);
    }
    done_ = true;
}

void Transaction::rollback() {
    done_ = true;
    if (savepoint_.isEmpty()) {
        c_.rollback();
    } else if (c_.inTransaction()) {
        c_.engine().run(QStringLiteral("ROLLBACK TO ") + savepoint_ + QStringLiteral("; RELEASE ") +
                        savepoint_);
    }
}

}  // namespace fx::db
