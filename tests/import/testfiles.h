#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariant>
#include <utility>
#include <vector>

// Files the import tests write themselves: workbooks through libxlsxwriter, zip archives with
// parts written by hand through libzip, and a way to damage a file.

namespace fx::import::test {

// A cell: a QString is a text, a double or int a number, a bool a boolean, a QDate a date
// number with a date format, an invalid QVariant an empty cell. A text starting with "=" is a
// formula whose cached result is the text after "=>" ("=1+1=>2").
using Cells = std::vector<QVariant>;

struct SheetSpec {
    QString name;
    std::vector<Cells> rows;
};

// Writes an .xlsx workbook; constantMemory makes libxlsxwriter write inline strings instead of
// shared ones.
void writeXlsx(const QString& path, const std::vector<SheetSpec>& sheets,
               bool constantMemory = false);

// Writes a zip archive holding the given parts (name, content), deflated.
void writeZip(const QString& path, const std::vector<std::pair<QString, QByteArray>>& parts);

// The parts of a minimal workbook with one sheet whose XML is sheetXml.
std::vector<std::pair<QString, QByteArray>> workbookParts(const QByteArray& sheetXml);

// Sets the unpacked size an entry of a zip archive claims, in its local and central headers.
void patchClaimedSize(const QString& zipPath, const QByteArray& entry, quint32 size);

QByteArray readAll(const QString& path);
void writeAll(const QString& path, const QByteArray& data);
QByteArray digest(const QString& path);

}  // namespace fx::import::test
