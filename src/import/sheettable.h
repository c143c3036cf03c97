#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

// What the readers of .xlsx, .xls and .csv files deliver: the rows of one sheet as texts, each
// with its row number in the file, so that every problem can be named by the row the user sees
// in the spreadsheet program.

namespace fx::import {

// One row that holds at least one non-empty cell; trailing empty cells are dropped.
struct SheetRow {
    int number = 0;     // 1-based row number in the file
    QStringList cells;  // cell texts, column A first
};

// One sheet of a file, as read.
struct SheetTable {
    QStringList sheetNames;  // every sheet of the file, in workbook order (one for a CSV)
    QString sheet;           // the sheet the rows come from
    QString encoding;        // CSV only: "UTF-8" or "GBK"
    QChar separator;         // CSV only: ',', '\t' or ';'
    std::vector<SheetRow> rows;
};

// A file that cannot be read: damaged, encrypted, empty, oversized, of an unknown kind. The
// message is the one the user is shown, in Chinese.
class ReadError : public std::runtime_error {
public:
    explicit ReadError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// Limits that keep a damaged or hostile file from taking the machine's memory or time. A real
// register stays far below them; Excel itself stops at 1048576 rows and 16384 columns.
inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;
inline constexpr qint64 kMaxCells = 8000000;
// Bytes of one part of an .xlsx once unzipped (a sheet, the shared strings), and of a CSV file.
inline constexpr qint64 kMaxPartBytes = qint64(1) << 30;
inline constexpr qint64 kMaxCsvBytes = qint64(512) << 20;

// Collects rows for a reader: counts cells against kMaxCells and refuses a column beyond
// kMaxColumns or a row beyond kMaxRows.
class RowCollector {
public:
    explicit RowCollector(SheetTable& table) : table_(table) {}
    // Starts a row with its 1-based number.
    void beginRow(int number);
    // Sets a cell of the current row (0-based column); empty texts are ignored.
    void setCell(int column, const QString& text);
    // Ends the current row; a row without any non-empty cell is not kept.
    void endRow();

private:
    SheetTable& table_;
    SheetRow row_;
    qint64 cells_ = 0;
    qsizetype width_ = 0;  // cells of the last row kept
};

// The messages the readers share.
namespace text {
QString tooManyColumns();
QString tooManyRows();
QString tooManyCells();
}  // namespace text

}  // namespace fx::import
