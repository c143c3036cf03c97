#include "resultmodel.h"

namespace fx::query {

namespace {

Qt::Alignment alignmentOf(LayoutColumn::Align a) {
    switch (a) {
        case LayoutColumn::Align::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case LayoutColumn::Align::Center:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case LayoutColumn::Align::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

ResultModel::ResultModel(QObject* parent) : QAbstractTableModel(parent) {}

void ResultModel::setTable(ResultTable&& table) {
    beginResetModel();
    table_ = std::move(table);
    resolveFields();
    endResetModel();
}

void ResultModel::setColumns(const ColumnList& columns) {
    beginResetModel();
    columns_ = columns;
    resolveFields();
    endResetModel();
}

void ResultModel::resolveFields() {
    fields_.clear();
    fields_.reserve(columns_.size());
    for (const LayoutColumn& c : columns_) fields_.push_back(table_.fieldIndex(c.field));
}

QString ResultModel::title(int column) const {
    if (column < 0 || column >= int(columns_.size())) return QString();
    return columns_[std::size_t(column)].title;
}

void ResultModel::setTitle(int column, const QString& title) {
    if (column < 0 || column >= int(columns_.size())) return;
    columns_[std::size_t(column)].title = title;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int ResultModel::fieldOf(int column) const {
    if (column < 0 || column >= int(fields_.size())) return -1;
    return fields_[std::size_t(column)];
}

QString ResultModel::cellText(int row, int column) const {
    const int field = fieldOf(column);
    if (field < 0 || row < 0 || row >= table_.rowCount()) return QString();
    return table_.displayText(row, field);
}

int ResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.rowCount();
}

int ResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant ResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    if (role == Qt::DisplayRole) return cellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(alignmentOf(columns_[std::size_t(index.column())].align));
    }
    return QVariant();
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return title(section);
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) return QVariant();
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ResultModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace fx::query
