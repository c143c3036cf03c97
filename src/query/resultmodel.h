#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "columnlayout.h"
#include "resulttable.h"

namespace fx::query {

// The results grid's model: the rows of a ResultTable shown through a column list. Columns are
// the layout's columns in the order the list was set (the grid's header may show them moved);
// a column whose field the result lacks shows empty cells. Read-only.
class ResultModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ResultModel(QObject* parent = nullptr);

    // Takes new rows; the columns stay. Resets the model.
    void setTable(ResultTable&& table);
    const ResultTable& table() const { return table_; }

    // Sets the column list (logical order). Resets the model.
    void setColumns(const ColumnList& columns);
    const ColumnList& columns() const { return columns_; }
    // The title of a column as shown (with its sort arrow, if any).
    QString title(int column) const;
    void setTitle(int column, const QString& title);
    // Index in the table of a column's field; -1 when the result has no such field.
    int fieldOf(int column) const;
    // The text a cell shows.
    QString cellText(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void resolveFields();

    ResultTable table_;
    ColumnList columns_;
    std::vector<int> fields_;  // per column, index into table_ or -1
};

}  // namespace fx::query
