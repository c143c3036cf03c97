#include "value.h"

#include <QDate>
#include <QDateTime>
#include <cmath>

namespace fx::report {

Value Value::number(double v) {
    Value r;
    r.type_ = Type::Number;
    r.number_ = std::isfinite(v) ? v : 0;
    return r;
}

Value Value::text(const QString& v) {
    Value r;
    r.type_ = Type::Text;
    r.text_ = v;
    return r;
}

Value Value::boolean(bool v) {
    Value r;
    r.type_ = Type::Bool;
    r.bool_ = v;
    return r;
}

Value Value::fromVariant(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return {};
    switch (v.typeId()) {
        case QMetaType::Bool:
            return boolean(v.toBool());
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::Double:
        case QMetaType::Float:
            return number(v.toDouble());
        case QMetaType::QDate:
            return text(v.toDate().toString(QStringLiteral("yyyy-MM-dd")));
        case QMetaType::QDateTime:
            return text(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        case QMetaType::QByteArray:
            return text(QString::fromUtf8(v.toByteArray()));
        default:
            return text(v.toString());
    }
}

double Value::toNumber() const {
    switch (type_) {
        case Type::Null:
            return 0;
        case Type::Number:
            return number_;
        case Type::Bool:
            return bool_ ? 1 : 0;
        case Type::Text: {
            bool ok = false;
            const double d = text_.trimmed().toDouble(&ok);
            return ok && std::isfinite(d) ? d : 0;
        }
    }
    return 0;
}

QString Value::toText() const {
    switch (type_) {
        case Type::Null:
            return {};
        case Type::Number:
            return numberText(number_);
        case Type::Bool:
            return bool_ ? QStringLiteral("True") : QStringLiteral("False");
        case Type::Text:
            return text_;
    }
    return {};
}

bool Value::toBool() const {
    switch (type_) {
        case Type::Null:
            return false;
        case Type::Number:
            return number_ != 0;
        case Type::Bool:
            return bool_;
        case Type::Text: {
            const QString t = text_.trimmed();
            bool ok = false;
            const double d = t.toDouble(&ok);
            if (ok) return d != 0;
            return t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0 ||
                   t.compare(QStringLiteral("yes"), Qt::CaseInsensitive) == 0;
        }
    }
    return false;
}

bool operator==(const Value& a, const Value& b) {
    if (a.type_ != b.type_) return false;
    switch (a.type_) {
        case Value::Type::Null:
            return true;
        case Value::Type::Number:
            return a.number_ == b.number_;
        case Value::Type::Bool:
            return a.bool_ == b.bool_;
        case Value::Type::Text:
            return a.text_ == b.text_;
    }
    return false;
}

namespace {

// The decimal digits of |v| to fifteen significant digits, as a digit string and the power of
// ten of its first digit: 205.8333 -> ("205833333333333", 2).
struct Decimal {
    QByteArray digits;
    int exponent = 0;
};

Decimal decimalOf(double v) {
    Decimal d;
    if (v == 0) {
        d.digits = "0";
        return d;
    }
    // "d.dddddddddddddde+XX"
    const QByteArray e = QByteArray::number(std::fabs(v), 'e', 14);
    const int ePos = e.indexOf('e');
    d.digits = e.left(1) + e.mid(2, ePos - 2);
    d.exponent = e.mid(ePos + 1).toInt();
    return d;
}

// Rounds to `decimals` places, half away from zero, and returns the integer digits and the
// fraction digits (exactly `decimals` of them).
void roundDecimal(const Decimal& d, int decimals, QByteArray* intPart, QByteArray* fracPart) {
    // Digit i of d.digits has the weight 10^(exponent - i). Keep digits with weight >=
    // 10^-decimals.
    QByteArray digits = d.digits;
    int exponent = d.exponent;
    const int keep = exponent + 1 + decimals;  // how many leading digits stay
    if (keep < 0) {
        digits = "0";
        exponent = 0;
    } else if (keep < digits.size()) {
        const bool up = digits.at(keep) >= '5';
        digits.truncate(keep);
        if (up) {
            int i = digits.size() - 1;
            while (i >= 0 && digits[i] == '9') {
                digits[i] = '0';
                --i;
            }
            if (i >= 0) {
                digits[i] = char(digits[i] + 1);
            } else {
                digits.prepend('1');
                ++exponent;
            }
        }
        if (digits.isEmpty()) {
            digits = "0";
            exponent = 0;
        }
    }
    // Place the digits around the decimal point.
    QByteArray ip, fp;
    for (int pos = qMax(exponent, 0); pos >= -decimals; --pos) {
        const int index = exponent - pos;
        const char c = index >= 0 && index < digits.size() ? digits.at(index) : '0';
        if (pos >= 0)
            ip.append(c);
        else
            fp.append(c);
    }
    while (ip.size() > 1 && ip.at(0) == '0') ip.remove(0, 1);
    if (ip.isEmpty()) ip = "0";
    *intPart = ip;
    *fracPart = fp;
}

bool hasNonZeroDigit(const QByteArray& digits) {
    for (char c : digits)
        if (c >= '1' && c <= '9') return true;
    return false;
}

}  // namespace

QString numberText(double v) {
    if (!std::isfinite(v)) return QStringLiteral("0");
    if (v == std::trunc(v) && std::fabs(v) < 1e15) return QString::number(qint64(v));
    QByteArray ip, fp;
    roundDecimal(decimalOf(v), 15, &ip, &fp);
    while (!fp.isEmpty() && fp.endsWith('0')) fp.chop(1);
    QString s = QString::fromLatin1(ip);
    if (!fp.isEmpty()) s += QLatin1Char('.') + QString::fromLatin1(fp);
    if (v < 0 && (hasNonZeroDigit(ip) || hasNonZeroDigit(fp))) s.prepend(QLatin1Char('-'));
    return s;
}

QString formatNumeric(const QString& format, double v) {
    if (!std::isfinite(v)) v = 0;
    if (format.isEmpty()) return numberText(v);
    // Split the format into literal prefix, digit pattern and literal suffix.
    auto isPatternChar = [](QChar c) {
        return c == QLatin1Char('0') || c == QLatin1Char('#') || c == QLatin1Char(',') ||
               c == QLatin1Char('.');
    };
    int start = 0;
    while (start < format.size() && !isPatternChar(format.at(start))) ++start;
    int end = start;
    while (end < format.size() && isPatternChar(format.at(end))) ++end;
    const QString prefix = format.left(start);
    const QString pattern = format.mid(start, end - start);
    const QString suffix = format.mid(end);
    if (pattern.isEmpty()) return format;

    const int point = pattern.indexOf(QLatin1Char('.'));
    const QString intPattern = point < 0 ? pattern : pattern.left(point);
    const QString fracPattern = point < 0 ? QString() : pattern.mid(point + 1);
    const int minInt = int(intPattern.count(QLatin1Char('0')));
    const bool grouping = intPattern.contains(QLatin1Char(','));
    const int requiredDecimals = int(fracPattern.count(QLatin1Char('0')));
    const int decimals = requiredDecimals + int(fracPattern.count(QLatin1Char('#')));

    QByteArray ip, fp;
    roundDecimal(decimalOf(v), decimals, &ip, &fp);
    // Optional decimals drop their trailing zeros.
    while (fp.size() > requiredDecimals && fp.endsWith('0')) fp.chop(1);
    if (ip == "0" && minInt == 0) ip.clear();
    while (ip.size() < minInt) ip.prepend('0');
    QString integer = QString::fromLatin1(ip);
    if (grouping) {
        for (int i = integer.size() - 3; i > 0; i -= 3) integer.insert(i, QLatin1Char(','));
    }
    QString number = integer;
    if (!fp.isEmpty()) number += QLatin1Char('.') + QString::fromLatin1(fp);
    if (number.isEmpty()) number = QStringLiteral("0");
    if (v < 0 && (hasNonZeroDigit(ip) || hasNonZeroDigit(fp))) number.prepend(QLatin1Char('-'));
    return prefix + number + suffix;
}

}  // namespace fx::report
