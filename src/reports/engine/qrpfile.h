#pragma once

#include <QString>
#include <optional>

#include "displaylist.h"

class QIODevice;

namespace fx::report {

// Saved reports (.QRP): the program's own container of finished pages. A QDataStream with a
// fixed stream version behind an 8-byte signature and a format version, so a file stays
// readable whatever Qt version wrote it. Holds the display list as it is (fonts by their
// design names, images as PNG), so a reopened report previews and prints as it was saved.
// Version 2 adds barcodes (their bars as rectangles); files of version 1 still open.
inline constexpr quint16 kQrpVersion = 2;

// Writes the document; false with a message in `error` when the device fails.
bool writeQrp(const Document& document, QIODevice& device, QString* error = nullptr);
// Writes the document to a file, replacing it only once the whole file is written.
bool writeQrpFile(const Document& document, const QString& path, QString* error = nullptr);

// Reads a document; nothing, with a message in `error`, when the data is not a saved report,
// comes from a newer version of the program, or is cut short or damaged.
std::optional<Document> readQrp(QIODevice& device, QString* error = nullptr);
std::optional<Document> readQrpFile(const QString& path, QString* error = nullptr);

}  // namespace fx::report
