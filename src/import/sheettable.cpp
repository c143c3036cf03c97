#include "sheettable.h"

namespace fx::import {

namespace text {

QString tooManyColumns() {
    return QStringLiteral("表格的列数超过了 16384 列，文件可能已损坏，不能导入。");
}

QString tooManyRows() {
    return QStringLiteral("表格的行数超过了 1048576 行，文件可能已损坏，不能导入。");
}

QString tooManyCells() {
    return QStringLiteral("表格中的数据太多（超过八百万个单元格），请分成几个文件导入。");
}

}  // namespace text

void RowCollector::beginRow(int number) {
    if (number > kMaxRows || number < 1) throw ReadError(text::tooManyRows());
    row_.number = number;
    row_.cells.clear();
    // Rows of a sheet are mostly as wide as the one before.
    row_.cells.reserve(width_);
}

void RowCollector::setCell(int column, const QString& text) {
    if (column < 0 || column >= kMaxColumns) throw ReadError(text::tooManyColumns());
    if (text.isEmpty()) return;
    if (++cells_ > kMaxCells) throw ReadError(text::tooManyCells());
    while (row_.cells.size() <= column) row_.cells.append(QString());
    row_.cells[column] = text;
}

void RowCollector::endRow() {
    if (!row_.cells.isEmpty()) {
        width_ = row_.cells.size();
        // Every cell of a large sheet is held until the import ends: no spare room per row.
        if (row_.cells.capacity() > width_) row_.cells.squeeze();
        table_.rows.push_back(std::move(row_));
    }
    row_ = SheetRow();
}

}  // namespace fx::import
