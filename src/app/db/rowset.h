#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

#include "connection.h"

namespace fx::db {

// The result of a row statement, held in memory, with a current row. Mirrors the data sets of
// the program: First/Next/Last/Prior, end of rows, row count, fields by name. A row set on a
// single table ("select * from sbjl where ...") can also change rows: Edit or Append, set
// fields, Post; Delete. Post of an appended row reads back the counter the database assigned.
class RowSet {
public:
    enum class State { Closed, Browse, Edit, Insert };

    explicit RowSet(Connection& connection, const QString& jetSql = QString());
    ~RowSet();

    void setSql(const QString& jetSql);
    const QString& sql() const { return sql_; }
    Connection& connection() const { return *conn_; }

    // Runs the statement and moves to the first row. Throws DbError.
    void open();
    // Opens the statement text; same as setSql + open.
    void open(const QString& jetSql);
    void close();
    // Closes and opens again with the same text, keeping nothing of the old rows.
    void reopen();
    bool isOpen() const { return state_ != State::Closed; }
    State state() const { return state_; }

    void first();
    void next();
    void prior();
    void last();
    // Moves to row i (0-based).
    void seek(int i);
    int position() const { return pos_; }
    // True when there is no current row (empty result, or moved past the last row).
    bool eof() const;
    bool bof() const { return bof_; }
    int count() const;
    bool isEmpty() const { return count() == 0; }

    // Field names in statement order; index of a name (case-insensitive), -1 when absent.
    const QStringList& fieldNames() const { return names_; }
    int fieldIndex(const QString& name) const;

    // Fields of the current row (or of the row being edited). Throws DbError for an unknown
    // field name. Null reads as "", 0, false, invalid date.
    QVariant value(const QString& name) const;
    QVariant value(int index) const;
    QString text(const QString& name) const;
    int integer(const QString& name) const;
    double number(const QString& name) const;
    bool yesNo(const QString& name) const;
    QDate date(const QString& name) const;
    bool isNull(const QString& name) const;

    // Changing rows of a single-table row set.
    void edit();
    void append();
    // Sets a field of the row being edited or appended. Dates are stored as yyyy-mm-dd text,
    // yes/no as 0/1, empty texts as '' (never null).
    void setValue(const QString& name, const QVariant& value);
    // Writes the edited or appended row. For an appended row the counter is read back.
    // Throws DbError; the row stays in its edit state so the caller may change it and retry.
    void post();
    void cancel();
    // Deletes the current row from the table and from the row set.
    void remove();
    // The table of a single-table row set ("" when the statement has several tables).
    const QString& table() const { return table_; }

private:
    void requireRow() const;
    void requireTable() const;
    QVariant convertOut(int index, const QVariant& v) const;

    Connection* conn_;
    QString sql_;
    QString table_;
    State state_ = State::Closed;
    QStringList names_;
    std::vector<Connection::ColumnKind> kinds_;
    std::vector<std::vector<QVariant>> rows_;
    std::vector<qint64> rowids_;
    int rowidIndex_ = -1;
    int pos_ = 0;
    bool bof_ = true;
    std::vector<QVariant> buffer_;
    std::vector<bool> changed_;
};

}  // namespace fx::db
