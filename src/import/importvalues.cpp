#include "importvalues.h"

#include <QRegularExpression>
#include <cmath>

#include "xlsxreader.h"

namespace fx::import {

namespace {

bool isBlank(QChar ch) {
    return ch.isSpace() || ch == u'\u3000' || ch == u'\u00A0';
}

QString trimmed(const QString& s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s.at(b))) ++b;
    while (e > b && isBlank(s.at(e - 1))) --e;
    return s.mid(b, e - b);
}

// A Chinese numeral of at most two digits (一 to 九十九), for lives written out ("十年").
int chineseNumber(const QString& s) {
    static const QString digits = QStringLiteral("零一二三四五六七八九");
    if (s.isEmpty()) return -1;
    if (s.size() == 1) {
        if (s == QStringLiteral("十")) return 10;
        if (s == QStringLiteral("两")) return 2;
        return int(digits.indexOf(s.at(0)));
    }
    const qsizetype ten = s.indexOf(u'十');
    if (ten < 0 || s.size() > 3) return -1;
    const int tens = ten == 0 ? 1 : int(digits.indexOf(s.at(0)));
    const int ones = ten == s.size() - 1 ? 0 : int(digits.indexOf(s.at(ten + 1)));
    if (tens < 1 || ones < 0) return -1;
    return tens * 10 + ones;
}

int numberOf(const QString& s) {
    bool ok = false;
    const int n = s.toInt(&ok);
    if (ok) return n;
    return chineseNumber(s);
}

}  // namespace

QString cleanText(const QString& cell, bool multiline) {
    QString s = cell;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    if (multiline) {
        QStringList lines = s.split(u'\n');
        for (QString& line : lines) line = trimmed(line);
        while (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
        while (!lines.isEmpty() && lines.front().isEmpty()) lines.removeFirst();
        s = lines.join(u'\n');
    } else if (s.contains(u'\n')) {
        QStringList lines = s.split(u'\n', Qt::SkipEmptyParts);
        for (QString& line : lines) line = trimmed(line);
        lines.removeAll(QString());
        s = lines.join(u' ');
    }
    s = trimmed(s);
    if (s.startsWith(u'\'') && !s.startsWith(QStringLiteral("''"))) s = trimmed(s.mid(1));
    return s;
}

QString halfWidthDigits(const QString& text) {
    QString s = text;
    for (QChar& ch : s) {
        const char16_t u = ch.unicode();
        if (u >= 0xFF10 && u <= 0xFF19)
            ch = QChar(u - 0xFF10 + u'0');
        else if (u == 0xFF0E)
            ch = u'.';
        else if (u == 0xFF0C)
            ch = u',';
        else if (u == 0xFF0D)
            ch = u'-';
        else if (u == 0xFF0F)
            ch = u'/';
        else if (u == 0x3000)
            ch = u' ';
    }
    return s;
}

std::optional<QDate> parseDate(const QString& cell) {
    const QString s = trimmed(halfWidthDigits(cleanText(cell)));
    if (s.isEmpty()) return std::nullopt;
    static const QRegularExpression ymd(
        QStringLiteral("^(\\d{4})\\s*[-/.年]\\s*(\\d{1,2})\\s*[-/.月]\\s*(\\d{1,2})\\s*日?(?:[ "
                       "T]\\d{1,2}:\\d{2}(?::\\d{2}(?:\\.\\d+)?)?)?$"));
    static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    static const QRegularExpression serial(QStringLiteral("^\\d{1,7}(?:\\.\\d+)?$"));
    QRegularExpressionMatch m = ymd.match(s);
    if (!m.hasMatch()) m = compact.match(s);
    if (m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (d.isValid() && d.year() >= 1900) return d;
        return std::nullopt;
    }
    if (serial.match(s).hasMatch()) {
        const QDate d = excelSerialDate(s.toDouble());
        if (d.isValid()) return d;
    }
    return std::nullopt;
}

std::optional<double> parsePrice(const QString& cell) {
    QString s = halfWidthDigits(cleanText(cell));
    for (const QString& mark :
         {QStringLiteral("人民币"), QStringLiteral("RMB"), QStringLiteral("rmb"),
          QStringLiteral("元"), QStringLiteral("¥"), QStringLiteral("￥"), QStringLiteral(" ")})
        s.remove(mark);
    if (s.isEmpty()) return 0.0;
    static const QRegularExpression grouped(QStringLiteral("^\\d{1,3}(?:,\\d{3})+(?:\\.\\d*)?$"));
    if (s.contains(u',')) {
        if (!grouped.match(s).hasMatch()) return std::nullopt;
        s.remove(u',');
    }
    static const QRegularExpression plain(QStringLiteral("^\\d+(?:\\.\\d*)?$|^\\.\\d+$"));
    if (!plain.match(s).hasMatch()) return std::nullopt;
    const double v = s.toDouble();
    if (!std::isfinite(v) || v > 1e12) return std::nullopt;
    return v;
}

std::optional<bool> parseYesNo(const QString& cell) {
    const QString s = cleanText(cell).toLower();
    static const QStringList yes = {QStringLiteral("是"),   QStringLiteral("已报废"),
                                    QStringLiteral("报废"), QStringLiteral("true"),
                                    QStringLiteral("y"),    QStringLiteral("yes"),
                                    QStringLiteral("1"),    QStringLiteral("√")};
    static const QStringList no = {QStringLiteral(""),       QStringLiteral("否"),
                                   QStringLiteral("未报废"), QStringLiteral("false"),
                                   QStringLiteral("n"),      QStringLiteral("no"),
                                   QStringLiteral("0"),      QStringLiteral("×")};
    if (yes.contains(s)) return true;
    if (no.contains(s)) return false;
    return std::nullopt;
}

int lifeMonths(const QString& life) {
    const QString s = halfWidthDigits(cleanText(life)).remove(u' ');
    static const QRegularExpression form(
        QStringLiteral("^(?:([0-9]+|[零一二两三四五六七八九十]+)年)?(?:([0-9]+|["
                       "零一二两三四五六七八九十]+)(?:个月|月))?$"));
    static const QRegularExpression years(QStringLiteral("^[0-9]+$"));
    int months = 0;
    if (years.match(s).hasMatch()) {
        months = s.toInt() * 12;
    } else {
        const QRegularExpressionMatch m = form.match(s);
        if (!m.hasMatch() || s.isEmpty()) return 0;
        if (!m.captured(1).isEmpty()) {
            const int y = numberOf(m.captured(1));
            if (y < 0) return 0;
            months += y * 12;
        }
        if (!m.captured(2).isEmpty()) {
            const int mo = numberOf(m.captured(2));
            if (mo < 0) return 0;
            months += mo;
        }
    }
    return months >= 1 && months <= 1200 ? months : 0;
}

}  // namespace fx::import
