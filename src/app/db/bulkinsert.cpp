#include "bulkinsert.h"

#include <QDate>

#include "connection.h"
#include "dberror.h"
#include "engine.h"

namespace fx::db {

namespace {

void bind(detail::Cursor& c, int position, const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        c.bindNull(position);
        return;
    }
    switch (value.typeId()) {
        case QMetaType::Bool:
            c.bindInteger(position, value.toBool() ? 1 : 0);
            return;
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
            c.bindInteger(position, value.toLongLong());
            return;
        case QMetaType::Double:
            c.bindNumber(position, value.toDouble());
            return;
        case QMetaType::QDate: {
            const QDate d = value.toDate();
            if (d.isValid()) {
                c.bindText(position, d.toString(Qt::ISODate).toUtf8());
            } else {
                c.bindNull(position);
            }
            return;
        }
        default:
            c.bindText(position, value.toString().toUtf8());
            return;
    }
}

}  // namespace

BulkInsert::BulkInsert(Connection& connection, const QString& table, const QStringList& columns)
    : connection_(connection), columnCount_(int(columns.size())) {
    detail::Engine& engine = connection.engine();
    QStringList names;
    QStringList marks;
    for (const QString& c : columns) {
        names << engine.quoteName(c);
        marks << QStringLiteral("?");
    }
    QString sql = QStringLiteral("insert into ") + engine.quoteName(table) + QStringLiteral(" (") +
                  names.join(QLatin1Char(',')) + QStringLiteral(") values (") +
                  marks.join(QLatin1Char(',')) + QLatin1Char(')');
    if (engine.isServer()) {
        // The counter comes back with the insert; the file's rowid is the counter already.
        QString key = connection.counterColumn(table);
        if (key.isEmpty()) key = engine.rowKey();
        // Named apart, so that the row key is not taken for the hidden key of a "select *".
        sql += QStringLiteral(" returning ") + engine.quoteName(key) +
               QStringLiteral(" as fx_inserted");
        returnsKey_ = true;
    }
    cursor_ = engine.prepare(sql);
}

BulkInsert::~BulkInsert() = default;

template <typename Values>
qint64 BulkInsert::insertValues(const Values& values) {
    if (int(values.size()) != columnCount_) {
        throw DbError(QStringLiteral("insert expects %1 values, got %2")
                          .arg(columnCount_)
                          .arg(values.size()));
    }
    cursor_->reset();
    int position = 1;
    for (const QVariant& v : values) bind(*cursor_, position++, v);
    cursor_->step();
    const qint64 key = returnsKey_ ? cursor_->integer(0) : connection_.lastInsertId();
    cursor_->reset();
    return key;
}

qint64 BulkInsert::insert(std::initializer_list<QVariant> values) {
    return insertValues(values);
}

qint64 BulkInsert::insert(const QVariantList& values) {
    return insertValues(values);
}

}  // namespace fx::db
