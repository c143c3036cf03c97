#include "preparedinsert.h"

#include <sqlite3.h>

#include <QDate>

#include "connection.h"
#include "dberror.h"

namespace fx::db {

namespace {

QString quotedIdentifier(const QString& name) {
    QString s = name;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

}  // namespace

PreparedInsert::PreparedInsert(Connection& connection, const QString& table,
                               const QStringList& columns)
    : connection_(connection), columnCount_(int(columns.size())) {
    QStringList names;
    QStringList marks;
    for (const QString& c : columns) {
        names << quotedIdentifier(c);
        marks << QStringLiteral("?");
    }
    const QByteArray sql =
        (QStringLiteral("insert into ") + quotedIdentifier(table) + QStringLiteral(" (") +
         names.join(QLatin1Char(',')) + QStringLiteral(") values (") +
         marks.join(QLatin1Char(',')) + QLatin1Char(')'))
            .toUtf8();
    if (sqlite3_prepare_v2(connection.handle(), sql.constData(), int(sql.size()), &stmt_,
                           nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(connection.handle()));
        const int code = sqlite3_errcode(connection.handle());
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw DbError(message, code);
    }
}

PreparedInsert::~PreparedInsert() {
    sqlite3_finalize(stmt_);
}

void PreparedInsert::bind(int position, const QVariant& value) {
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(stmt_, position);
    } else {
        switch (value.typeId()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int(stmt_, position, value.toBool() ? 1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::LongLong:
            case QMetaType::UInt:
                rc = sqlite3_bind_int64(stmt_, position, value.toLongLong());
                break;
            case QMetaType::Double:
                rc = sqlite3_bind_double(stmt_, position, value.toDouble());
                break;
            case QMetaType::QDate: {
                const QDate d = value.toDate();
                if (!d.isValid()) {
                    rc = sqlite3_bind_null(stmt_, position);
                } else {
                    const QByteArray text = d.toString(Qt::ISODate).toUtf8();
                    rc = sqlite3_bind_text(stmt_, position, text.constData(), int(text.size()),
                                           SQLITE_TRANSIENT);
                }
                break;
            }
            default: {
                const QByteArray text = value.toString().toUtf8();
                rc = sqlite3_bind_text(stmt_, position, text.constData(), int(text.size()),
                                       SQLITE_TRANSIENT);
                break;
            }
        }
    }
    if (rc != SQLITE_OK) {
        throw DbError(QString::fromUtf8(sqlite3_errmsg(connection_.handle())), rc);
    }
}

qint64 PreparedInsert::insert(std::initializer_list<QVariant> values) {
    if (int(values.size()) != columnCount_) {
        throw DbError(QStringLiteral("insert expects %1 values, got %2")
                          .arg(columnCount_)
                          .arg(values.size()));
    }
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    int position = 1;
    for (const QVariant& v : values) bind(position++, v);
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(connection_.handle()));
        sqlite3_reset(stmt_);
        throw DbError(message, rc);
    }
    return sqlite3_last_insert_rowid(connection_.handle());
}

}  // namespace fx::db
