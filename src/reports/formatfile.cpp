#include "formatfile.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

namespace fx::reports {

namespace {

constexpr int kHeaderBytes = kFormatTitleBytes + 3 * 4;

QByteArray toGbk(const QString& text) {
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QString fromGbk(const QByteArray& bytes) {
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

// The title's GBK bytes, at most `limit`, cut before a character that would not fit whole.
QByteArray titleBytes(const QString& title, int limit) {
    QByteArray out;
    for (qsizetype i = 0; i < title.size();) {
        const qsizetype n = title.at(i).isHighSurrogate() && i + 1 < title.size() ? 2 : 1;
        const QByteArray ch = toGbk(title.mid(i, n));
        if (out.size() + ch.size() > limit) break;
        out += ch;
        i += n;
    }
    return out;
}

void putInt(QByteArray& bytes, int offset, qint32 value) {
    qToLittleEndian(value, bytes.data() + offset);
}

qint32 intAt(const QByteArray& bytes, int offset) {
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

}  // namespace

QByteArray formatFileBytes(const ReportFormat& format) {
    QByteArray bytes(kHeaderBytes, '\0');
    const QByteArray title = titleBytes(format.title, kFormatTitleBytes - 1);
    std::copy(title.begin(), title.end(), bytes.begin());
    putInt(bytes, kFormatTitleBytes, qint32(format.columns.size()));
    putInt(bytes, kFormatTitleBytes + 4, format.paperIndex);
    putInt(bytes, kFormatTitleBytes + 8, format.orientationIndex);
    for (const ListColumn& c : format.columns) bytes += toGbk(c.caption) + "\r\n";
    for (const ListColumn& c : format.columns) bytes += QByteArray::number(c.width) + "\r\n";
    return bytes;
}

std::optional<ReportFormat> readFormatFile(const QByteArray& bytes, QString* error) {
    auto refuse = [error](const QString& why) -> std::optional<ReportFormat> {
        if (error) *error = QStringLiteral("报表格式文件不能使用：") + why;
        return std::nullopt;
    };
    if (bytes.size() < kHeaderBytes) return refuse(QStringLiteral("文件太短。"));
    ReportFormat f;
    const QByteArray titleField = bytes.left(kFormatTitleBytes);
    const qsizetype end = titleField.indexOf('\0');
    f.title = fromGbk(end < 0 ? titleField : titleField.left(end));
    const qint32 n = intAt(bytes, kFormatTitleBytes);
    f.paperIndex = intAt(bytes, kFormatTitleBytes + 4);
    f.orientationIndex = intAt(bytes, kFormatTitleBytes + 8);
    if (n < 0 || n > 64) return refuse(QStringLiteral("列数 %1 不对。").arg(n));
    if (f.paperIndex < 0 || f.paperIndex > 5) f.paperIndex = 0;
    if (f.orientationIndex < 0 || f.orientationIndex > 1) f.orientationIndex = 0;
    QList<QByteArray> lines = bytes.mid(kHeaderBytes).split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    if (lines.size() < 2 * n) return refuse(QStringLiteral("行数不够。"));
    for (int i = 0; i < n; ++i) {
        bool ok = false;
        const int width = lines[n + i].trimmed().toInt(&ok);
        if (!ok) return refuse(QStringLiteral("第%1列的宽度不是整数。").arg(i + 1));
        f.columns.append({fromGbk(lines[i]), QString(), width});
    }
    return f;
}

report::Paper paperOfIndex(int index) {
    switch (index) {
        case 1:
            return report::Paper::A3;
        case 2:
            return report::Paper::A5;
        case 3:
            return report::Paper::B4;
        case 4:
            return report::Paper::B5;
        case 5:
            return report::Paper::PrinterDefault;
        default:
            return report::Paper::A4;
    }
}

report::Orientation orientationOfIndex(int index) {
    return index == 1 ? report::Orientation::Landscape : report::Orientation::Portrait;
}

}  // namespace fx::reports
