// The Jet functions the program's statements call, registered with the engine. They follow
// Jet's rules where those differ from the engine's own functions: STR puts a blank before a
// number that is not negative, RIGHT and LEFT count characters, NOW and DATE read the program
// clock (so tests can fix them). A null argument gives null, as in Jet.

#include <sqlite3.h>

#include <QByteArray>
#include <QCollator>
#include <QDate>
#include <QLocale>
#include <QString>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "clock.h"
#include "jettranslator.h"

namespace fx::db {

namespace {

void resultText(sqlite3_context* ctx, const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

QString textOf(sqlite3_value* v) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(p, sqlite3_value_bytes(v));
}

bool anyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    }
    return false;
}

void invalidArgument(sqlite3_context* ctx, const char* function) {
    const QString message = QStringLiteral("无效的过程调用或参数 (invalid argument to %1)")
                                .arg(QLatin1String(function));
    const QByteArray utf8 = message.toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), int(utf8.size()));
}

// Whole number argument; false when the value is not a number.
bool integerArg(sqlite3_value* v, qint64* out) {
    switch (sqlite3_value_numeric_type(v)) {
        case SQLITE_INTEGER:
            *out = sqlite3_value_int64(v);
            return true;
        case SQLITE_FLOAT:
            *out = qint64(std::llround(sqlite3_value_double(v)));
            return true;
        default:
            return false;
    }
}

// A date value: 'yyyy-mm-dd' text (optionally followed by a time), or a Jet day number.
QDate dateOf(sqlite3_value* v) {
    const int type = sqlite3_value_type(v);
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
        return QDate(1899, 12, 30).addDays(qint64(std::floor(sqlite3_value_double(v))));
    }
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    const int n = sqlite3_value_bytes(v);
    int parts[3] = {0, 0, 0};
    int part = 0;
    int digits = 0;
    for (int i = 0; i < n && part < 3; ++i) {
        const char c = p[i];
        if (c >= '0' && c <= '9') {
            parts[part] = parts[part] * 10 + (c - '0');
            ++digits;
        } else if ((c == '-' || c == '/') && digits > 0 && part < 2) {
            ++part;
            digits = 0;
        } else {
            break;
        }
    }
    if (part != 2 || digits == 0) return QDate();
    return QDate(parts[0], parts[1], parts[2]);
}

template <int (QDate::*Part)() const>
void datePart(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const QDate d = dateOf(argv[0]);
    if (!d.isValid()) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, (d.*Part)());
}

// The program clock as 'yyyy-mm-dd hh:mm:ss' (or its first ten characters).
void clockText(sqlite3_context* ctx, int length) {
    const QDateTime now = Clock::now();
    const QDate d = now.date();
    const QTime t = now.time();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", d.year(), d.month(), d.day(),
                  t.hour(), t.minute(), t.second());
    sqlite3_result_text(ctx, text, length, SQLITE_TRANSIENT);
}

void jetNow(sqlite3_context* ctx, int, sqlite3_value**) {
    clockText(ctx, 19);
}

void jetDate(sqlite3_context* ctx, int, sqlite3_value**) {
    clockText(ctx, 10);
}

// Jet's Str: the number's text with a leading blank when it is not negative; whole numbers
// without decimals, fractions without the leading zero (Str(0.5) is " .5").
QString jetStr(double d) {
    QString s;
    if (std::floor(d) == d && std::fabs(d) < 1e15) {
        s = QString::number(qint64(d));
    } else {
        s = QString::number(d, 'g', 15).toUpper();
        if (s.startsWith(QLatin1String("0."))) s.remove(0, 1);
        if (s.startsWith(QLatin1String("-0."))) s.remove(1, 1);
    }
    if (d >= 0) s.prepend(QLatin1Char(' '));
    return s;
}

void jetStrFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    switch (sqlite3_value_numeric_type(argv[0])) {
        case SQLITE_INTEGER: {
            const qint64 i = sqlite3_value_int64(argv[0]);
            QString s = QString::number(i);
            if (i >= 0) s.prepend(QLatin1Char(' '));
            resultText(ctx, s);
            return;
        }
        case SQLITE_FLOAT:
            resultText(ctx, jetStr(sqlite3_value_double(argv[0])));
            return;
        default:
            invalidArgument(ctx, "STR");
    }
}

void jetRight(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 n = 0;
    if (anyNull(argc, argv) || !integerArg(argv[1], &n) || n < 0) {
        invalidArgument(ctx, "RIGHT");
        return;
    }
    const QString s = textOf(argv[0]);
    resultText(ctx, n >= s.size() ? s : s.right(qsizetype(n)));
}

void jetLeft(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 n = 0;
    if (anyNull(argc, argv) || !integerArg(argv[1], &n) || n < 0) {
        invalidArgument(ctx, "LEFT");
        return;
    }
    const QString s = textOf(argv[0]);
    resultText(ctx, n >= s.size() ? s : s.left(qsizetype(n)));
}

// MID(text, start[, length]) with start counted from 1.
void jetMid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    qint64 start = 0;
    qint64 length = -1;
    if (anyNull(argc, argv) || !integerArg(argv[1], &start) || start < 1 ||
        (argc == 3 && (!integerArg(argv[2], &length) || length < 0))) {
        invalidArgument(ctx, "MID");
        return;
    }
    const QString s = textOf(argv[0]);
    if (start > s.size()) {
        resultText(ctx, QString());
        return;
    }
    resultText(ctx, s.mid(qsizetype(start - 1), length < 0 ? -1 : qsizetype(length)));
}

void jetLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, textOf(argv[0]).size());
}

void jetUcase(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, textOf(argv[0]).toUpper());
}

void jetLcase(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, textOf(argv[0]).toLower());
}

// Truth of a Jet condition value: null is false, numbers are true when not zero.
bool truthOf(sqlite3_value* v) {
    switch (sqlite3_value_numeric_type(v)) {
        case SQLITE_NULL:
            return false;
        case SQLITE_INTEGER:
            return sqlite3_value_int64(v) != 0;
        case SQLITE_FLOAT:
            return sqlite3_value_double(v) != 0.0;
        default:
            return false;
    }
}

void jetIif(sqlite3_context* ctx, int, sqlite3_value** argv) {
    sqlite3_result_value(ctx, truthOf(argv[0]) ? argv[1] : argv[2]);
}

// NZ(value[, instead]): the value, or instead (an empty text when not given) when it is null.
void jetNz(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) != SQLITE_NULL) {
        sqlite3_result_value(ctx, argv[0]);
    } else if (argc > 1) {
        sqlite3_result_value(ctx, argv[1]);
    } else {
        sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
    }
}

// Jet sorts text by the database's locale (Chinese, PRC): letters and digits before Chinese
// characters, letters without regard to case, Chinese characters by their pinyin. The engine's
// own order is that of the code points. Texts are equal only when identical, so that sorting
// never merges distinct values.
int jetTextCollation(void*, int n1, const void* s1, int n2, const void* s2) {
    const auto* a = static_cast<const unsigned char*>(s1);
    const auto* b = static_cast<const unsigned char*>(s2);
    const int common = n1 < n2 ? n1 : n2;
    int order = 0;
    int i = 0;
    // The ASCII part both texts begin with, compared without case; the first Chinese (or
    // other non-ASCII) character of either decides the rest.
    for (; i < common && order == 0; ++i) {
        const bool asciiA = a[i] < 0x80;
        const bool asciiB = b[i] < 0x80;
        if (asciiA && asciiB) {
            const int ca = (a[i] >= 'A' && a[i] <= 'Z') ? a[i] + 32 : a[i];
            const int cb = (b[i] >= 'A' && b[i] <= 'Z') ? b[i] + 32 : b[i];
            order = ca - cb;
        } else if (asciiA != asciiB) {
            order = asciiA ? -1 : 1;
        } else {
            static const QCollator collator = [] {
                QCollator c(QLocale(QLocale::Chinese, QLocale::China));
                c.setCaseSensitivity(Qt::CaseInsensitive);
                return c;
            }();
            order =
                collator.compare(QString::fromUtf8(reinterpret_cast<const char*>(a + i), n1 - i),
                                 QString::fromUtf8(reinterpret_cast<const char*>(b + i), n2 - i));
            break;
        }
    }
    if (order == 0 && i == common) order = n1 - n2;
    if (order != 0) return order < 0 ? -1 : 1;
    const int bytes = std::memcmp(s1, s2, std::size_t(common));
    if (bytes != 0) return bytes < 0 ? -1 : 1;
    return n1 == n2 ? 0 : (n1 < n2 ? -1 : 1);
}

struct FunctionDef {
    const char* name;
    int args;
    bool deterministic;
    void (*fn)(sqlite3_context*, int, sqlite3_value**);
};

}  // namespace

void registerJetFunctions(::sqlite3* db) {
    static const FunctionDef defs[] = {
        {"YEAR", 1, true, &datePart<&QDate::year>},
        {"MONTH", 1, true, &datePart<&QDate::month>},
        {"DAY", 1, true, &datePart<&QDate::day>},
        // NOW() and DATE() are the same for every row of one statement, as in Jet, which reads
        // the time once per query. Declared deterministic, the engine computes them (and
        // YEAR(NOW()) with them) once per run instead of for every row.
        {"NOW", 0, true, &jetNow},
        // DATE() with no argument is today in Jet; the engine's date(x, ...) stays as it is.
        {"DATE", 0, true, &jetDate},
        {"STR", 1, true, &jetStrFunction},
        {"RIGHT", 2, true, &jetRight},
        {"LEFT", 2, true, &jetLeft},
        {"MID", 2, true, &jetMid},
        {"MID", 3, true, &jetMid},
        {"LEN", 1, true, &jetLen},
        {"UCASE", 1, true, &jetUcase},
        {"LCASE", 1, true, &jetLcase},
        {"IIF", 3, true, &jetIif},
        {"NZ", 1, true, &jetNz},
        {"NZ", 2, true, &jetNz},
    };
    for (const FunctionDef& d : defs) {
        const int flags = SQLITE_UTF8 | (d.deterministic ? SQLITE_DETERMINISTIC : 0);
        sqlite3_create_function_v2(db, d.name, d.args, flags, nullptr, d.fn, nullptr, nullptr,
                                   nullptr);
    }
    sqlite3_create_collation_v2(db, kJetTextCollation, SQLITE_UTF8, nullptr, &jetTextCollation,
                                nullptr);
}

}  // namespace fx::db
