#pragma once

#include <QByteArray>
#include <QString>

#include "sheettable.h"

namespace fx::import {

// How a CSV or text file is read. Empty values mean "find out from the file".
struct CsvOptions {
    QString encoding;  // "UTF-8" or "GBK" (read as GB18030, its superset); empty: detect
    QChar separator;   // ',', '\t' or ';'; null: detect
};

// The encoding of a text file: "UTF-8" when it starts with a UTF-8 byte-order mark or is valid
// UTF-8 throughout, otherwise "GBK" (the encoding Chinese Windows saves CSV files in).
QString detectEncoding(const QByteArray& data);

// The separator of a CSV text: of tab, comma and semicolon the one found most often outside
// quotes on the first line; a comma when none is found.
QChar detectSeparator(const QString& text);

// Reads a CSV or text file: quoted fields may hold separators, doubled quotes and line breaks.
// Throws ReadError for a missing, empty or oversized file and for a quote that is never closed.
SheetTable readCsv(const QString& path, const CsvOptions& options = {});

// The same on text already in memory (the file's bytes).
SheetTable parseCsv(const QByteArray& data, const CsvOptions& options = {});

}  // namespace fx::import
