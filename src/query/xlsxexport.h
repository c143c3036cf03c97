#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace fx::query {

// What an export writes: the titles of row 1 and, from row 2, one row per record with the
// cells as display text, columns in the given order.
struct SheetSource {
    QStringList titles;
    int rowCount = 0;
    std::function<QString(int row, int column)> cell;
};

// The data rows a worksheet holds under its title row (Excel's 1,048,576 rows less one).
constexpr int kSheetDataRows = 1048575;

// Writes the sheet to a new .xlsx workbook at path, streaming rows in libxlsxwriter's
// constant-memory mode, and fits the widths of the columns from B on to their contents
// (column A keeps the default width). Rows beyond rowsPerSheet go on to further worksheets,
// each starting with the titles again. The workbook is written to a temporary file beside
// path and takes its name only when it is complete, so a failure leaves at path what was
// there before (or nothing). Returns false with the reason in *error.
bool writeWorkbook(const QString& path, const SheetSource& source, QString* error,
                   int rowsPerSheet = kSheetDataRows);

// The width, in Excel character units, that fits a text: a wide (CJK) character counts two.
double fittedWidth(const QString& text);

}  // namespace fx::query
