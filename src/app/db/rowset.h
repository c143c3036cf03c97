#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <vector>

#include "cellstore.h"
#include "connection.h"

namespace fx::db {

namespace detail {
class Cursor;

// How a column's values are read from the engine into a row set.
enum class CellLoad : std::uint8_t { Dynamic, Text, Integer, Number, YesNo, Date };
}  // namespace detail

// The result of a row statement, held in memory, with a current row. Mirrors the data sets of
// the program: First/Next/Last/Prior, end of rows, row count, fields by name. A row set on a
// single table ("select * from sbjl where ...") can also change rows: Edit or Append, set
// fields, Post; Delete. Post of an appended row reads back the counter the database assigned.
//
// Values read as the column kinds say: texts as QString, integers as int, numbers as double,
// yes/no as bool and dates as QDate (stored as 'yyyy-mm-dd' text). Expression columns keep the
// type the engine returned. The rows are held compactly and a field's value is made when it is
// read, so a whole register can be read into one row set.
class RowSet {
public:
    enum class State { Closed, Browse, Edit, Insert };

    explicit RowSet(Connection& connection, const QString& jetSql = QString());
    ~RowSet();
    RowSet(const RowSet&) = delete;
    RowSet& operator=(const RowSet&) = delete;

    void setSql(const QString& jetSql);
    const QString& sql() const { return sql_; }
    Connection& connection() const { return *conn_; }

    // Runs the statement and moves to the first row. Throws DbError; the row set is then
    // closed.
    void open();
    // Opens the statement text; same as setSql + open.
    void open(const QString& jetSql);
    // Forgets the rows and any pending change.
    void close();
    // Closes and opens again with the same text, keeping nothing of the old rows.
    void reopen();
    bool isOpen() const { return state_ != State::Closed; }
    State state() const { return state_; }

    // Moving posts a pending Edit or Append first, as the program's data sets do.
    void first();
    void next();
    void prior();
    void last();
    // Moves to row i (0-based); throws DbError when there is no such row.
    void seek(int i);
    int position() const { return pos_; }
    // True when there is no current row (empty result, or moved past the last row). The row
    // the move started from stays readable.
    bool eof() const;
    // True when the result is empty or a move went before the first row.
    bool bof() const { return bof_; }
    int count() const;
    bool isEmpty() const { return count() == 0; }

    // Field names in statement order (the bare column name for "t.*" and "t.col", the alias
    // given by AS); index of a name (case-insensitive), -1 when absent.
    const QStringList& fieldNames() const { return names_; }
    int fieldIndex(const QString& name) const;
    // Kind of a field: that of its table column, or for an expression the type of its first
    // value (Integer, Number or Text).
    Connection::ColumnKind fieldKind(int index) const;

    // Fields of the current row (or of the row being edited). Throws DbError for an unknown
    // field name. Without a current row every field is null. Null reads as "", 0, false,
    // invalid date.
    QVariant value(const QString& name) const;
    QVariant value(int index) const;
    QString text(const QString& name) const;
    int integer(const QString& name) const;
    double number(const QString& name) const;
    bool yesNo(const QString& name) const;
    QDate date(const QString& name) const;
    bool isNull(const QString& name) const;

    // Changing rows of a single-table row set. edit() needs a current row; append() starts a
    // new row whose fields are all null until set.
    void edit();
    void append();
    // Sets a field of the row being edited or appended. Dates are stored as yyyy-mm-dd text,
    // yes/no as 0/1, empty texts as '' (never null). Throws DbError outside Edit/Insert, for an
    // unknown field or for one that is not a column of the table.
    void setValue(const QString& name, const QVariant& value);
    // Writes the edited or appended row: only the fields that were set. The row is read back
    // afterwards, so that an appended row shows its counter and the table's defaults, and
    // becomes the current (last) row. Throws DbError; the row stays in its edit state so the
    // caller may change it and retry.
    void post();
    void cancel();
    // Deletes the current row from the table and from the row set. Cancels an append instead.
    void remove();
    // The table of a single-table row set (lower case; "" when the statement has several
    // tables or groups its rows).
    const QString& table() const { return table_; }
    bool isEditable() const { return !table_.isEmpty(); }

private:
    using Load = detail::CellLoad;
    using Cell = detail::Cell;

    void requireOpen() const;
    void requireTable() const;
    void requireEditing(const char* operation) const;
    int requireField(const QString& name) const;
    bool editing() const { return state_ == State::Edit || state_ == State::Insert; }
    void postPending();
    // The value of a field of the current row; a null cell when there is no current row.
    Cell currentCell(int index) const;
    QVariant toStored(int index, const QVariant& v) const;
    // Builds a row of the store from held values (in the form toStored gives); then
    // store_.add() or store_.replace() keeps it.
    void buildRow(const std::vector<QVariant>& values);
    // Replaces the values that come from the table by those of its row now in the database.
    void readBack(qint64 rowid, std::vector<QVariant>& values);
    // Throws when the table's row at the current row's rowid no longer holds what this row set
    // read in the given fields (replaced or changed by another workstation meanwhile); with no
    // fields given, in every field of the table.
    void requireRowAsRead(const QString& failure, std::vector<int> fields = {});

    // A statement kept prepared while its text stays the same: appending many rows prepares
    // the insert and the read-back once.
    struct Cached {
        QString sql;
        std::unique_ptr<detail::Cursor> statement;
    };
    detail::Cursor& prepared(Cached& slot, const QString& sql);
    QString quoteName(const QString& name) const;
    // " WHERE <row key>=?"
    QString whereKey() const;

    Connection* conn_;
    QString sql_;
    QString table_;
    State state_ = State::Closed;
    QStringList names_;
    QHash<QString, int> nameIndex_;  // exact spelling -> index
    std::vector<Connection::ColumnKind> kinds_;
    std::vector<Load> loads_;
    std::vector<QString> origins_;  // column of table_ behind each field; empty for expressions
    int columns_ = 0;
    detail::RowStore store_;
    std::vector<int> order_;      // row i of the row set is row order_[i] of the store
    std::vector<qint64> rowids_;  // per row of the row set, for single-table row sets
    int pos_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    std::vector<QVariant> buffer_;
    std::vector<bool> changed_;
    Cached insert_;
    Cached update_;
    Cached readBack_;
    Cached remove_;
    Cached recheck_;
};

}  // namespace fx::db
