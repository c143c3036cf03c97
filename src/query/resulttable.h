#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace fx::db {
class Connection;
}

namespace fx::query {

// The rows of a results window, read once and held compactly: every cell is kept as the UTF-8
// text the engine gives for it, one after the other in a single buffer, so that a list of
// 100000 assets costs a few tens of megabytes instead of a variant per cell. Texts are made
// QStrings only for the cells the grid paints or the export writes.
class ResultTable {
public:
    // How a field's values read and show.
    enum class Kind : std::uint8_t { Text, Integer, Number, YesNo, Date };

    // Runs a Jet statement on the connection and keeps its rows. Throws db::DbError with the
    // engine's message; the table then keeps the rows it had before.
    void load(db::Connection& connection, const QString& jetSql);
    void clear();

    int rowCount() const { return rows_; }
    int fieldCount() const { return int(names_.size()); }
    const QStringList& fieldNames() const { return names_; }
    // The index of a field by name, ignoring case; -1 when the result has no such field.
    int fieldIndex(const QString& name) const;
    // The kind of a field: that of its table column, or for an expression the type of its
    // first non-null value.
    Kind fieldKind(int field) const { return kinds_[std::size_t(field)]; }

    // The cell as the engine wrote it (empty for null). row and field must be in range.
    QByteArrayView raw(int row, int field) const {
        const std::size_t cell = std::size_t(row) * std::size_t(fieldCount()) + std::size_t(field);
        const std::uint32_t begin = cell == 0 ? 0 : ends_[cell - 1];
        return QByteArrayView(bytes_.data() + begin, qsizetype(ends_[cell] - begin));
    }
    QString text(int row, int field) const;
    // Whole number of a cell; 0 when it is empty or not a number.
    qint64 integer(int row, int field) const;
    double number(int row, int field) const;
    bool yesNo(int row, int field) const { return integer(row, field) != 0; }

    // The cell as the grid shows it and the export writes it: numbers of number columns with
    // two decimals, yes/no as 是/否, dates as yyyy-mm-dd, everything else as it is.
    QString displayText(int row, int field) const;

    // Bytes held for the cells (for the memory benchmark).
    std::size_t cellBytes() const {
        return bytes_.capacity() + ends_.capacity() * sizeof(std::uint32_t);
    }

private:
    QStringList names_;
    QHash<QString, int> index_;  // lower-case name -> first field of that name
    std::vector<Kind> kinds_;
    std::vector<char> bytes_;
    std::vector<std::uint32_t> ends_;  // end offset of every cell in bytes_, row by row
    int rows_ = 0;
};

}  // namespace fx::query
