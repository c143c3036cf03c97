#include "valuetext.h"

#include <QDate>
#include <QDateTime>

namespace fx::admin {

namespace {

QString escapedText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
            case '\\':
                out += QStringLiteral("\\\\");
                break;
            case '\t':
                out += QStringLiteral("\\t");
                break;
            case '\n':
                out += QStringLiteral("\\n");
                break;
            case '\r':
                out += QStringLiteral("\\r");
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

QString fieldText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return QStringLiteral("\\N");
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        case QMetaType::QDate: {
            const QDate d = value.toDate();
            return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : QStringLiteral("\\N");
        }
        case QMetaType::QDateTime: {
            const QDateTime t = value.toDateTime();
            return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                               : QStringLiteral("\\N");
        }
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
            return QString::number(value.toLongLong());
        case QMetaType::ULongLong:
            return QString::number(value.toULongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            return QString::number(value.toDouble(), 'g', 15);
        default:
            return escapedText(value.toString());
    }
}

}  // namespace fx::admin
