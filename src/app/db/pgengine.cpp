#include "pgengine.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QDateTime>
#include <cstdlib>

#include "clock.h"
#include "dberror.h"
#include "jettranslator.h"
#include "pgschema.h"
#include "quote.h"
#include "serversessions.h"

namespace fx::db::detail {

namespace {

// Workstations wait this long for a row another one has locked, as for the file's lock.
constexpr const char* kLockTimeout = "5s";

// Type oids of the server (pg_type.h).
enum : unsigned {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kNumeric = 1700,
};

// The file engine's result codes for the server's conditions the program tells apart, so that
// DbError::isConstraint and isBusy answer alike on both engines.
int codeOf(const char* sqlstate) {
    const QByteArray s(sqlstate ? sqlstate : "");
    if (s == "23505") return SQLITE_CONSTRAINT_UNIQUE;
    if (s.startsWith("23")) return SQLITE_CONSTRAINT;
    if (s == "55P03" || s == "40P01" || s == "40001") return SQLITE_BUSY;
    if (s.startsWith("08") || s.startsWith("57P")) return SQLITE_IOERR;
    return SQLITE_ERROR;
}

QString quotedName(const QString& name) {
    QString s = name;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// '?' parameters (outside quotes) as the server's $1, $2, ...
QByteArray numberedParameters(const QString& sql) {
    QString out;
    out.reserve(sql.size() + 8);
    QChar quote;
    int n = 0;
    for (const QChar c : sql) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
            out += c;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) quote = c;
        if (c == QLatin1Char('?')) {
            out += QLatin1Char('$') + QString::number(++n);
        } else {
            out += c;
        }
    }
    return out.toUtf8();
}

class PgCursor : public Cursor {
public:
    PgCursor(PgEngine& engine, const QString& sql)
        : engine_(engine), sql_(numberedParameters(sql)) {}
    ~PgCursor() override { PQclear(result_); }

    int columnCount() const override {
        ensureRun();
        return int(columns_.size());
    }
    QString columnName(int column) const override {
        ensureRun();
        return QString::fromUtf8(PQfname(result_, columns_[std::size_t(column)]));
    }
    bool origin(int column, QString* table, QString* name) const override {
        ensureRun();
        const int c = columns_[std::size_t(column)];
        const Oid oid = PQftable(result_, c);
        if (oid == InvalidOid) return false;
        return engine_.columnOf(oid, PQftablecol(result_, c), table, name);
    }
    void bindNull(int position) override { param(position) = QByteArray(); }
    void bindInteger(int position, qint64 value) override {
        param(position) = QByteArray::number(value);
    }
    void bindNumber(int position, double value) override {
        param(position) = QByteArray::number(value, 'g', 17);
    }
    void bindText(int position, const QByteArray& utf8) override {
        param(position) = utf8.isNull() ? QByteArray("") : utf8;
    }
    bool step() override {
        ensureRun();
        if (row_ + 1 < PQntuples(result_)) {
            ++row_;
            return true;
        }
        row_ = PQntuples(result_);
        return false;
    }
    void reset() override {
        PQclear(result_);
        result_ = nullptr;
        params_.clear();
        row_ = -1;
    }
    int changes() const override {
        const char* n = result_ ? PQcmdTuples(result_) : "";
        return *n ? std::atoi(n) : 0;
    }
    ValueType type(int column) const override {
        const int c = columns_[std::size_t(column)];
        if (PQgetisnull(result_, row_, c)) return ValueType::Null;
        switch (PQftype(result_, c)) {
            case kBool:
            case kInt2:
            case kInt4:
            case kInt8:
            case kOid:
                return ValueType::Integer;
            case kFloat4:
            case kFloat8:
            case kNumeric:
                return ValueType::Float;
            default:
                return ValueType::Text;
        }
    }
    qint64 integer(int column) const override {
        const int c = columns_[std::size_t(column)];
        const char* v = PQgetvalue(result_, row_, c);
        if (PQftype(result_, c) == kBool) return *v == 't' ? 1 : 0;
        if (PQftype(result_, c) == kFloat8 || PQftype(result_, c) == kNumeric)
            return qint64(std::strtod(v, nullptr));
        return std::strtoll(v, nullptr, 10);
    }
    double number(int column) const override {
        const int c = columns_[std::size_t(column)];
        const char* v = PQgetvalue(result_, row_, c);
        if (PQftype(result_, c) == kBool) return *v == 't' ? 1 : 0;
        return std::strtod(v, nullptr);
    }
    const char* text(int column, int* bytes) const override {
        const int c = columns_[std::size_t(column)];
        *bytes = PQgetlength(result_, row_, c);
        return PQgetvalue(result_, row_, c);
    }

private:
    QByteArray& param(int position) {
        if (int(params_.size()) < position) params_.resize(std::size_t(position));
        nulls_.resize(params_.size(), true);
        nulls_[std::size_t(position - 1)] = false;
        return params_[std::size_t(position - 1)];
    }
    void ensureRun() const {
        if (result_) return;
        std::vector<bool> nulls = nulls_;
        nulls.resize(params_.size(), true);
        for (std::size_t i = 0; i < params_.size(); ++i) {
            if (params_[i].isNull()) nulls[i] = true;
        }
        result_ = engine_.exec(sql_, params_, nulls);
        columns_.clear();
        const int n = PQnfields(result_);
        for (int c = 0; c < n; ++c) {
            // The key column stays hidden: "select *" shows the columns the program declared.
            if (qstrcmp(PQfname(result_, c), kServerRowKey) == 0 && PQftable(result_, c) != 0)
                continue;
            columns_.push_back(c);
        }
        row_ = -1;
    }

    PgEngine& engine_;
    QByteArray sql_;
    std::vector<QByteArray> params_;
    std::vector<bool> nulls_;
    mutable PGresult* result_ = nullptr;
    mutable std::vector<int> columns_;
    mutable int row_ = -1;
};

// BEGIN, COMMIT, SAVEPOINT and the rest run as they are: a savepoint of their own would
// swallow the ones they make.
bool controlsTransaction(const QByteArray& sql) {
    const QByteArray word = sql.trimmed().left(9).toUpper();
    return word.startsWith("BEGIN") || word.startsWith("COMMIT") || word.startsWith("ROLLBACK") ||
           word.startsWith("SAVEPOINT") || word.startsWith("RELEASE") || word.startsWith("END");
}

bool mentionsClock(const QByteArray& sql) {
    return sql.contains("jet_now(") || sql.contains("jet_date(");
}

}  // namespace

PgEngine::PgEngine(const QString& conninfo, const QString& schema, bool create)
    : conninfo_(conninfo), schema_(schema) {
    conn_ = PQconnectdb(conninfo.toUtf8().constData());
    if (PQstatus(conn_) != CONNECTION_OK) {
        const QString engine = QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
        PQfinish(conn_);
        conn_ = nullptr;
        if (engine.contains(QLatin1String("password authentication failed")) ||
            engine.contains(QLatin1String("no password supplied"))) {
            throw DbError(
                QStringLiteral("数据库服务器拒绝了用户名或密码，请检查后重试：%1").arg(engine),
                SQLITE_AUTH);
        }
        if (engine.contains(QLatin1String("database \"")) &&
            engine.contains(QLatin1String("does not exist"))) {
            throw DbError(
                QStringLiteral("数据库服务器上没有这个数据库，请检查数据库名：%1").arg(engine),
                SQLITE_CANTOPEN);
        }
        throw DbError(
            QStringLiteral("无法连接数据库服务器，请检查服务器地址、端口和网络：%1").arg(engine),
            SQLITE_CANTOPEN);
    }
    try {
        const QByteArray name = schema.toUtf8();
        const char* values[] = {name.constData()};
        PGresult* r = PQexecParams(conn_, "SELECT count(*) FROM pg_namespace WHERE nspname=$1", 1,
                                   nullptr, values, nullptr, nullptr, 0);
        if (PQresultStatus(r) != PGRES_TUPLES_OK) fail(r, "SELECT pg_namespace");
        const bool exists = std::atoi(PQgetvalue(r, 0, 0)) > 0;
        PQclear(r);
        if (create && exists) {
            throw DbError(
                QStringLiteral("数据库服务器上已经有本程序的数据（%1），不能新建").arg(schema),
                SQLITE_CANTOPEN);
        }
        if (!create && !exists) {
            throw DbError(
                QStringLiteral("数据库服务器上没有本程序的数据（%1），请先用 fxasset-admin "
                               "server-init 建立")
                    .arg(schema),
                SQLITE_CANTOPEN);
        }
        if (create) {
            PQclear(exec("CREATE SCHEMA " + quotedName(schema).toUtf8(), {}, {}));
        }
        setUpSession();
        if (create) createObjects();
    } catch (...) {
        PQfinish(conn_);
        conn_ = nullptr;
        throw;
    }
}

PgEngine::~PgEngine() {
    PQfinish(conn_);
}

void PgEngine::setUpSession() {
    const QByteArray setup = "SET search_path TO " + quotedName(schema_).toUtf8() +
                             "; SET lock_timeout = '" + kLockTimeout +
                             "'; SET client_encoding = 'UTF8'; SET DateStyle = 'ISO, YMD'; "
                             "SET client_min_messages = warning; SET application_name = " +
                             quoted(sessionName(schema_)).toUtf8();
    PGresult* r = PQexec(conn_, setup.constData());
    if (PQresultStatus(r) != PGRES_COMMAND_OK) fail(r, setup);
    PQclear(r);
    clockSent_.clear();
}

void PgEngine::dropSchema() {
    if (inTransaction()) PQclear(PQexec(conn_, "ROLLBACK"));
    PQclear(exec("DROP SCHEMA " + quotedName(schema_).toUtf8() + " CASCADE", {}, {}));
}

void PgEngine::createObjects() {
    // One transaction: all of them or none, and one flush to the disk instead of thirty.
    PQclear(exec("BEGIN", {}, {}));
    for (const QString& s : serverJetObjects()) PQclear(exec(s.toUtf8(), {}, {}));
    PQclear(exec("COMMIT", {}, {}));
}

void PgEngine::fail(PGresult* result, const QByteArray& sql) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    QString message = QString::fromUtf8(result ? PQresultErrorMessage(result) : "").trimmed();
    if (message.isEmpty()) message = QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
    int code = codeOf(state);
    PQclear(result);
    if (PQstatus(conn_) != CONNECTION_OK) {
        // Outside a transaction (inside one lostTransaction has spoken): the statement may or
        // may not have reached the server; the next one connects again.
        throw DbError(QStringLiteral("与数据库服务器的连接已断开，本次操作可能没有完成，请查看后"
                                     "再做（下一次操作会重新连接）：%1")
                          .arg(message),
                      SQLITE_IOERR, QString::fromUtf8(sql));
    }
    if (code == SQLITE_BUSY) {
        message =
            QStringLiteral("数据正被其他用户修改，请稍后再试 (database is locked): ") + message;
    }
    throw DbError(message, code, QString::fromUtf8(sql));
}

bool PgEngine::connectionAlive() {
    if (PQstatus(conn_) != CONNECTION_OK) return false;
    // Between statements the server sends nothing but its farewell when it ends the session;
    // libpq notices the closed socket only when it reads, so read what is there (twice: the
    // farewell, then the end of the stream).
    if (PQconsumeInput(conn_)) PQconsumeInput(conn_);
    return PQstatus(conn_) == CONNECTION_OK;
}

bool PgEngine::lostTransaction(const QByteArray& sql, const QString& engineText) {
    const QByteArray word = sql.trimmed().toUpper();
    if (word.startsWith("ROLLBACK TO")) {
        // A nested block undone: the transaction around it is still the program's to end.
        transactionLost_ = true;
        return false;
    }
    if (word == "ROLLBACK") {
        // The server rolled back the whole transaction when the connection broke.
        transactionLost_ = false;
        return false;
    }
    transactionLost_ = true;
    throw DbError(QStringLiteral("与数据库服务器的连接已断开，本次操作已在服务器上撤销，没有保存。"
                                 "请再做一次；如果仍然不行，请重新登录。%1")
                      .arg(engineText),
                  SQLITE_IOERR, QString::fromUtf8(sql));
}

bool PgEngine::ensureConnected(const QByteArray& sql, bool inTransactionBefore) {
    if (transactionLost_) return lostTransaction(sql, QString());
    if (connectionAlive()) return true;
    const QString engine = QString::fromUtf8(PQerrorMessage(conn_)).trimmed();
    if (inTransactionBefore) return lostTransaction(sql, engine);
    // Between commands a new session is made: nothing was half done on the old one.
    PQreset(conn_);
    if (PQstatus(conn_) != CONNECTION_OK) {
        throw DbError(QStringLiteral("无法重新连接数据库服务器，请检查服务器后重新登录：%1")
                          .arg(QString::fromUtf8(PQerrorMessage(conn_)).trimmed()),
                      SQLITE_IOERR, QString::fromUtf8(sql));
    }
    setUpSession();
    return true;
}

void PgEngine::sendClock(const QByteArray& sql) {
    if (!mentionsClock(sql)) return;
    const QByteArray now = Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8();
    if (now == clockSent_) return;
    const char* values[] = {now.constData()};
    PGresult* r = PQexecParams(conn_, "SELECT set_config('fx.now', $1, false)", 1, nullptr, values,
                               nullptr, nullptr, 0);
    if (PQresultStatus(r) != PGRES_TUPLES_OK) fail(r, "set_config");
    PQclear(r);
    clockSent_ = now;
}

PGresult* PgEngine::exec(const QByteArray& sql, const std::vector<QByteArray>& params,
                         const std::vector<bool>& nulls) {
    const PGTransactionStatusType before = PQtransactionStatus(conn_);
    const bool wasInTransaction = before == PQTRANS_INTRANS || before == PQTRANS_INERROR;
    if (!ensureConnected(sql, wasInTransaction))
        return PQmakeEmptyPGresult(nullptr, PGRES_COMMAND_OK);
    sendClock(sql);
    std::vector<const char*> values(params.size());
    for (std::size_t i = 0; i < params.size(); ++i)
        values[i] = (i < nulls.size() && nulls[i]) ? nullptr : params[i].constData();
    // On the file engine a refused statement leaves the transaction as it was; the server
    // would abort all of it, so each statement inside one is its own savepoint.
    const bool inside = PQtransactionStatus(conn_) == PQTRANS_INTRANS && !controlsTransaction(sql);
    if (inside) PQclear(PQexec(conn_, "SAVEPOINT fx_statement"));
    PGresult* r = PQexecParams(conn_, sql.constData(), int(values.size()), nullptr, values.data(),
                               nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(r);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        if (PQstatus(conn_) != CONNECTION_OK && wasInTransaction) {
            // The connection broke during the statement: the server has undone the transaction.
            const QString engine = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
            PQclear(r);
            if (!lostTransaction(sql, engine))
                return PQmakeEmptyPGresult(nullptr, PGRES_COMMAND_OK);
        }
        if (inside && PQstatus(conn_) == CONNECTION_OK) {
            PQclear(PQexec(conn_, "ROLLBACK TO SAVEPOINT fx_statement; RELEASE fx_statement"));
        }
        fail(r, sql);
    }
    if (inside) PQclear(PQexec(conn_, "RELEASE fx_statement"));
    return r;
}

QString PgEngine::translate(const QString& jetSql,
                            const std::function<bool(const QString&)>& isText) const {
    return translateJet(jetSql, isText, Dialect::Server);
}

std::unique_ptr<Cursor> PgEngine::prepare(const QString& nativeSql) {
    if (nativeSql.trimmed().isEmpty()) {
        throw DbError(QStringLiteral("语句为空 (empty statement)"), SQLITE_MISUSE, nativeSql);
    }
    return std::make_unique<PgCursor>(*this, nativeSql);
}

bool PgEngine::returnsRows(const QString& nativeSql) {
    if (nativeSql.trimmed().isEmpty()) return false;
    const QByteArray sql = numberedParameters(nativeSql);
    if (!ensureConnected(sql, inTransaction())) return false;
    PGresult* prepared = PQprepare(conn_, "", sql.constData(), 0, nullptr);
    const bool ok = PQresultStatus(prepared) == PGRES_COMMAND_OK;
    PQclear(prepared);
    if (!ok) return false;
    PGresult* described = PQdescribePrepared(conn_, "");
    const bool rows = PQresultStatus(described) == PGRES_COMMAND_OK && PQnfields(described) > 0;
    PQclear(described);
    return rows;
}

int PgEngine::run(const QString& nativeSql) {
    int changed = 0;
    for (const QString& s : splitStatements(nativeSql)) {
        PGresult* r = exec(s.toUtf8(), {}, {});
        const char* n = PQcmdTuples(r);
        if (*n) changed += std::atoi(n);
        PQclear(r);
    }
    return changed;
}

void PgEngine::runSchema(const QString& sql) {
    const auto isText = isText_ ? isText_ : [](const QString&) { return false; };
    const QStringList statements = serverSchemaStatements(sql, isText);
    // Several statements go in one transaction, as the file engine's schema is made.
    const bool wrap = statements.size() > 1 && !inTransaction();
    if (wrap) PQclear(exec("BEGIN", {}, {}));
    try {
        for (const QString& s : statements) PQclear(exec(s.toUtf8(), {}, {}));
    } catch (...) {
        if (wrap && PQstatus(conn_) == CONNECTION_OK) PQclear(PQexec(conn_, "ROLLBACK"));
        throw;
    }
    if (wrap) PQclear(exec("COMMIT", {}, {}));
}

bool PgEngine::inTransaction() const {
    // A transaction lost with its connection stays open for the program until it rolls back.
    if (transactionLost_) return true;
    const PGTransactionStatusType s = PQtransactionStatus(conn_);
    return s == PQTRANS_INTRANS || s == PQTRANS_INERROR || s == PQTRANS_ACTIVE;
}

QString PgEngine::beginStatement() const {
    return QStringLiteral("BEGIN");
}

void PgEngine::holdUntilTransactionEnds(const QString& name) {
    // A transaction's advisory lock on the name's hash within the schema: connections of other
    // schemas in the same database never wait for it. Two names whose hashes meet only share
    // a turn. The session's lock_timeout limits the wait.
    const QByteArray key = (schema_ + QLatin1Char('/') + name).toUtf8();
    PQclear(exec("SELECT pg_advisory_xact_lock(hashtextextended($1, 0))", {key}, {false}));
}

std::vector<DeclaredTable> PgEngine::schema() {
    origins_.clear();
    PGresult* r = exec(
        "SELECT c.oid, c.relname, a.attnum, a.attname, format_type(a.atttypid, a.atttypmod), "
        "coalesce(col_description(c.oid, a.attnum), '') "
        "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
        "JOIN pg_attribute a ON a.attrelid = c.oid "
        "WHERE n.nspname = current_schema() AND c.relkind = 'r' AND a.attnum > 0 "
        "AND NOT a.attisdropped ORDER BY c.relname, a.attnum",
        {}, {});
    std::vector<DeclaredTable> tables;
    for (int i = 0; i < PQntuples(r); ++i) {
        const unsigned oid = unsigned(std::strtoul(PQgetvalue(r, i, 0), nullptr, 10));
        const QString table = QString::fromUtf8(PQgetvalue(r, i, 1));
        const int attnum = std::atoi(PQgetvalue(r, i, 2));
        const QString name = QString::fromUtf8(PQgetvalue(r, i, 3));
        if (name == QLatin1String(kServerRowKey)) continue;
        const QString type = QString::fromUtf8(PQgetvalue(r, i, 4));
        const QString comment = QString::fromUtf8(PQgetvalue(r, i, 5));
        if (tables.empty() || tables.back().name != table) tables.push_back({table, {}});
        DeclaredColumn c;
        // The comment keeps the declared spelling and type; a column made without it reads
        // by the server's type.
        const qsizetype space = comment.indexOf(QLatin1Char(' '));
        if (space > 0 && comment.left(space).compare(name, Qt::CaseInsensitive) == 0) {
            c.name = comment.left(space);
            c.type = comment.mid(space + 1);
        } else {
            c.name = name;
            c.type = type.startsWith(QLatin1String("double")) ? QStringLiteral("DOUBLE")
                     : type == QLatin1String("date")          ? QStringLiteral("DATE")
                     : type.contains(QLatin1String("int"))    ? QStringLiteral("INTEGER")
                                                              : QStringLiteral("TEXT");
        }
        tables.back().columns.push_back(c);
        origins_.insert((quint64(oid) << 16) | quint64(attnum), {table, c.name});
    }
    PQclear(r);
    return tables;
}

bool PgEngine::columnOf(unsigned oid, int attnum, QString* table, QString* column) const {
    const auto it = origins_.constFind((quint64(oid) << 16) | quint64(attnum));
    if (it == origins_.constEnd()) return false;
    *table = it->first;
    *column = it->second;
    return true;
}

QString PgEngine::quoteName(const QString& name) const {
    // The server folds the schema's names to lower case.
    return quotedName(name.toLower());
}

QString PgEngine::rowKey() const {
    return QString::fromLatin1(kServerRowKey);
}

QString PgEngine::insertReturningKey(const QString& insertSql) const {
    return insertSql + QStringLiteral(" RETURNING ") + QLatin1String(kServerRowKey) +
           QStringLiteral(" AS fx_inserted__");
}

qint64 PgEngine::insertedKey(Cursor& insert) {
    // The insert's cursor stands on its one returned row.
    return insert.integer(0);
}

QString PgEngine::location() const {
    return conninfo_;
}

}  // namespace fx::db::detail
