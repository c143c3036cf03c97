#pragma once

#include <QString>
#include <QStringList>

#include "sheettable.h"

namespace fx::import {

// Reads one sheet of an Excel 97-2003 workbook (.xls) through libfreexl (the first sheet when
// sheet is empty): texts, numbers, and dates as yyyy-mm-dd. Formulas give their cached values.
// Throws ReadError for a damaged, password-protected or empty file and for an unknown sheet.
SheetTable readXls(const QString& path, const QString& sheet = QString());

}  // namespace fx::import
