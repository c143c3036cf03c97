#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <initializer_list>

struct sqlite3_stmt;

namespace fx::db {

class Connection;

// One INSERT statement prepared once on a connection's handle and run for many rows: the bulk
// writer of the demo register and of the change history, where translating and preparing a
// statement per row would cost more than the insert itself. Values follow the layer's storage
// rules: dates as 'yyyy-mm-dd' text (an invalid date as null), yes/no as 0/1, texts as given (an
// empty text stays '', never null), a null QVariant as null.
class PreparedInsert {
public:
    PreparedInsert(Connection& connection, const QString& table, const QStringList& columns);
    ~PreparedInsert();
    PreparedInsert(const PreparedInsert&) = delete;
    PreparedInsert& operator=(const PreparedInsert&) = delete;

    // Inserts one row with the values in column order and returns the row's counter (rowid).
    // Throws DbError with the engine's message when the engine refuses the row.
    qint64 insert(std::initializer_list<QVariant> values);

private:
    void bind(int position, const QVariant& value);

    Connection& connection_;
    sqlite3_stmt* stmt_ = nullptr;
    int columnCount_ = 0;
};

}  // namespace fx::db
