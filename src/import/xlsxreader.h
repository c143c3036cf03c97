#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include "sheettable.h"

namespace fx::import {

// The sheets of an .xlsx workbook in workbook order. Throws ReadError.
QStringList xlsxSheetNames(const QString& path);

// Reads one sheet of an .xlsx workbook (the first when sheet is empty), streaming its XML from
// the zip archive: shared and inline strings, numbers, booleans, error values, the cached value
// of a formula (never evaluated), and numbers with a date format as dates (yyyy-mm-dd). Links,
// macros and everything else in the file are left alone. Throws ReadError for a damaged,
// encrypted, oversized or empty file and for an unknown sheet.
SheetTable readXlsx(const QString& path, const QString& sheet = QString());

// The date of an Excel serial number (days since 1899-12-30, or since 1904-01-01 in a workbook
// of the 1904 date system); an invalid date outside 1900..9999.
QDate excelSerialDate(double serial, bool base1904 = false);

// True when a number format code shows a date (it holds y or d outside quotes and brackets).
bool isDateFormatCode(const QString& code);

}  // namespace fx::import
