#pragma once

#include <QString>
#include <QStringList>

#include "csvreader.h"
#include "sheettable.h"

namespace fx::import {

// The kinds of file the import reads, told by the file name's extension.
enum class FileKind { Unknown, Xlsx, Xls, Csv };
FileKind fileKindOf(const QString& path);

// What to read from a file.
struct ReadOptions {
    QString sheet;   // workbooks: the sheet's name; empty: the first
    CsvOptions csv;  // CSV and text files: encoding and separator; empty: detected
};

// The sheets of a file (one, named after the file, for a CSV). Throws ReadError.
QStringList sheetNames(const QString& path);

// Reads one sheet of an .xlsx, .xls, .csv or .txt file. Throws ReadError with the message for
// the user; the file is only ever read.
SheetTable readSheet(const QString& path, const ReadOptions& options = {});

}  // namespace fx::import
