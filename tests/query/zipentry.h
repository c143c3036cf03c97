#pragma once

#include <QByteArray>
#include <QString>

namespace fx::test {

// Reads one entry of a zip file (stored or deflated), such as "xl/worksheets/sheet1.xml" of an
// .xlsx workbook. Returns false with a reason in *error when the file or the entry cannot be
// read. Small and strict: enough to check what the export wrote, without a zip library.
bool readZipEntry(const QString& zipPath, const QString& entry, QByteArray* out, QString* error);

// Inflates raw DEFLATE data (RFC 1951); false when the data is damaged.
bool inflateRaw(const QByteArray& in, QByteArray* out);

}  // namespace fx::test
