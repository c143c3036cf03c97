#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "listform.h"

// The report format file (*.rpt) in which users keep their own list formats: a 42-byte title
// (GBK, ended by a NUL), three little-endian 32-bit integers (column count, paper index,
// orientation index), then the captions and the widths of the columns as GBK lines ended by
// CR LF. The fields are not stored; loading finds them again by caption.
namespace fx::reports {

struct ReportFormat {
    QString title;
    QList<ListColumn> columns;  // caption and width; the field is not stored
    int paperIndex = 0;         // 0 A4, 1 A3, 2 A5, 3 B4, 4 B5, 5 自定义
    int orientationIndex = 0;   // 0 纵向, 1 横向
};

constexpr int kFormatTitleBytes = 42;

// The file's bytes. A title longer than the 41 bytes its field holds is shortened at a whole
// character.
QByteArray formatFileBytes(const ReportFormat& format);

// Reads a format file's bytes; nullopt with a message for the user when the file is too short,
// has fewer lines than its column count asks for, or holds a width that is not an integer.
// Columns come back in the file's order with their fields empty.
std::optional<ReportFormat> readFormatFile(const QByteArray& bytes, QString* error);

// The paper and orientation of the indexes ("自定义" is the printer's own paper).
report::Paper paperOfIndex(int index);
report::Orientation orientationOfIndex(int index);

}  // namespace fx::reports
