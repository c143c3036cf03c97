#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <initializer_list>
#include <memory>

namespace fx::db {

class Connection;
namespace detail {
class Cursor;
}

// One INSERT statement prepared once on a connection and run for many rows: the bulk writer of
// the demo register and of copies between engines, where translating and preparing a Jet
// statement per row would cost more than the insert itself. Values follow the layer's storage
// rules: dates as 'yyyy-mm-dd' (an invalid date as null), yes/no as 0/1, texts as given (an
// empty text stays '', never null), a null QVariant as null.
class BulkInsert {
public:
    BulkInsert(Connection& connection, const QString& table, const QStringList& columns);
    ~BulkInsert();
    BulkInsert(const BulkInsert&) = delete;
    BulkInsert& operator=(const BulkInsert&) = delete;

    // Inserts one row with the values in column order and returns the row's counter (on a
    // table without one, its row key). Throws DbError with the engine's message when the
    // engine refuses the row.
    qint64 insert(std::initializer_list<QVariant> values);
    qint64 insert(const QVariantList& values);

private:
    template <typename Values>
    qint64 insertValues(const Values& values);

    Connection& connection_;
    std::unique_ptr<detail::Cursor> cursor_;
    int columnCount_ = 0;
    bool returnsKey_ = false;
};

}  // namespace fx::db
