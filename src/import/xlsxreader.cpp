#include "xlsxreader.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <cmath>
#include <string>
#include <string_view>

#include "sheetxml.h"
#include "zipentry.h"

namespace fx::import {

namespace {

struct SheetEntry {
    QString name;
    QString part;  // the sheet's part in the archive, "xl/worksheets/sheet1.xml"
};

// What the workbook part and its relationships say.
struct Workbook {
    std::vector<SheetEntry> sheets;
    QString sharedStrings;  // part name, empty when the workbook has none
    QString styles;
    bool base1904 = false;
};

// Reads a part with QXmlStreamReader, calling onElement for every start element; the reader is
// handed over so that the callback can read the element's text.
template <typename OnElement>
void readPart(const ZipArchive& zip, const QString& part, OnElement onElement) {
    ZipEntryDevice device(zip, part, kMaxPartBytes);
    QXmlStreamReader xml(&device);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) onElement(xml);
    }
    if (device.failed()) throw ReadError(device.failure());
    if (xml.hasError()) throw ReadError(text::damagedXlsx());
}

// A relationship target is relative to the folder of the part that names it ("xl/"), or
// absolute from the archive's root when it starts with "/".
QString resolvePart(const QString& target) {
    if (target.startsWith(QLatin1Char('/'))) return target.mid(1);
    QString t = target;
    QString base = QStringLiteral("xl");
    while (t.startsWith(QLatin1String("../"))) {
        t = t.mid(3);
        base.clear();
    }
    return base.isEmpty() ? t : base + QLatin1Char('/') + t;
}

Workbook readWorkbook(const ZipArchive& zip) {
    if (!zip.contains(QStringLiteral("xl/workbook.xml"))) throw ReadError(text::damagedXlsx());
    Workbook book;
    QHash<QString, QString> targets;  // relationship id -> part
    if (zip.contains(QStringLiteral("xl/_rels/workbook.xml.rels"))) {
        readPart(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), [&](QXmlStreamReader& xml) {
            if (xml.name() != QLatin1String("Relationship")) return;
            const auto a = xml.attributes();
            // External targets (links to other files or the web) are never followed.
            if (a.value(QLatin1String("TargetMode")) == QLatin1String("External")) return;
            const QString part = resolvePart(a.value(QLatin1String("Target")).toString());
            const QStringView type = a.value(QLatin1String("Type"));
            targets.insert(a.value(QLatin1String("Id")).toString(), part);
            if (type.endsWith(QLatin1String("/sharedStrings"))) book.sharedStrings = part;
            if (type.endsWith(QLatin1String("/styles"))) book.styles = part;
        });
    }
    readPart(zip, QStringLiteral("xl/workbook.xml"), [&](QXmlStreamReader& xml) {
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("workbookPr")) {
            const QStringView v = a.value(QLatin1String("date1904"));
            book.base1904 = v == QLatin1String("1") || v == QLatin1String("true");
        } else if (xml.name() == QLatin1String("sheet")) {
            QString id;
            for (const QXmlStreamAttribute& attr : a)
                if (attr.name() == QLatin1String("id")) id = attr.value().toString();
            const QString part = targets.value(id);
            if (!part.isEmpty())
                book.sheets.push_back({a.value(QLatin1String("name")).toString(), part});
        }
    });
    if (book.sheets.empty()) throw ReadError(QStringLiteral("该工作簿中没有工作表，不能导入。"));
    if (book.sharedStrings.isEmpty() && zip.contains(QStringLiteral("xl/sharedStrings.xml")))
        book.sharedStrings = QStringLiteral("xl/sharedStrings.xml");
    if (book.styles.isEmpty() && zip.contains(QStringLiteral("xl/styles.xml")))
        book.styles = QStringLiteral("xl/styles.xml");
    return book;
}

// The text of an <si> or <is> element: its <t> and the <t> of its runs, without the phonetic
// guides (<rPh>) that some Asian files carry. The reader ends on the element's end.
QString readRichText(QXmlStreamReader& xml) {
    const QString end = xml.name().toString();
    QString text;
    int phonetic = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (xml.name() == QLatin1String("t") && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (token == QXmlStreamReader::EndElement) {
            if (xml.name() == QLatin1String("rPh"))
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return text;
}

QStringList readSharedStrings(const ZipArchive& zip, const QString& part) {
    QStringList strings;
    if (part.isEmpty() || !zip.contains(part)) return strings;
    readPart(zip, part, [&](QXmlStreamReader& xml) {
        if (xml.name() == QLatin1String("si")) {
            if (strings.size() >= kMaxCells) throw ReadError(text::tooManyCells());
            strings.append(readRichText(xml));
        }
    });
    return strings;
}

bool isBuiltInDateFormat(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

// For every cell style (index of cellXfs), whether it shows a date.
std::vector<bool> readDateStyles(const ZipArchive& zip, const QString& part) {
    std::vector<bool> dates;
    if (part.isEmpty() || !zip.contains(part)) return dates;
    QHash<int, bool> customFormats;
    bool inCellXfs = false;
    ZipEntryDevice device(zip, part, kMaxPartBytes);
    QXmlStreamReader xml(&device);
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("cellXfs"))
            inCellXfs = false;
        if (token != QXmlStreamReader::StartElement) continue;
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("numFmt")) {
            customFormats.insert(a.value(QLatin1String("numFmtId")).toInt(),
                                 isDateFormatCode(a.value(QLatin1String("formatCode")).toString()));
        } else if (xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = true;
        } else if (inCellXfs && xml.name() == QLatin1String("xf")) {
            const int id = a.value(QLatin1String("numFmtId")).toInt();
            dates.push_back(customFormats.contains(id) ? customFormats.value(id)
                                                       : isBuiltInDateFormat(id));
        }
    }
    if (device.failed()) throw ReadError(device.failure());
    if (xml.hasError()) throw ReadError(text::damagedXlsx());
    return dates;
}

// The 0-based column of a cell reference ("AB12" -> 27); -1 when it names none.
int columnOf(QByteArrayView ref) {
    int column = 0;
    int letters = 0;
    for (const char ch : ref) {
        if (ch >= 'A' && ch <= 'Z') {
            column = column * 26 + (ch - 'A' + 1);
            if (++letters > 3) return kMaxColumns;
        } else {
            break;
        }
    }
    return letters == 0 ? -1 : column - 1;
}

// A plain decimal that reads the same after the round trip through a double and 15 digits:
// a non-zero integer part without leading zeros, no trailing zeros after the point, at most
// 15 digits in all. Most amounts of a register are such numbers.
bool isPlainDecimal(std::string_view v) {
    if (v.empty() || v.front() < '1' || v.front() > '9') return false;
    int digits = 0;
    bool point = false;
    for (const char ch : v) {
        if (ch == '.' && !point) {
            point = true;
        } else if (ch >= '0' && ch <= '9') {
            ++digits;
        } else {
            return false;
        }
    }
    if (point && (v.back() == '.' || v.back() == '0')) return false;
    return digits <= 15;
}

// Numbers as a clerk reads them: no exponent or binary noise for ordinary amounts.
QString numberText(std::string_view v) {
    const QByteArrayView bytes(v.data(), qsizetype(v.size()));
    if (isPlainDecimal(v)) return QString::fromLatin1(bytes);
    bool ok = false;
    const double d = bytes.toDouble(&ok);
    if (!ok) return QString::fromUtf8(bytes);
    return QString::number(d, 'g', 15);
}

// The kinds of cell (the attribute t of <c>).
enum class CellType { Number, Shared, Inline, Boolean, Text, Error, Date };

CellType cellType(QByteArrayView t) {
    if (t == "s") return CellType::Shared;
    if (t == "inlineStr") return CellType::Inline;
    if (t == "b") return CellType::Boolean;
    if (t == "str") return CellType::Text;
    if (t == "e") return CellType::Error;
    if (t == "d") return CellType::Date;
    return CellType::Number;
}

// Skips the element just started, with everything in it.
void skipElement(SheetXml& xml) {
    int depth = 1;
    while (depth > 0) {
        const auto token = xml.next();
        if (token == SheetXml::Token::StartElement) ++depth;
        if (token == SheetXml::Token::EndElement) --depth;
    }
}

// The text of the element just started, as UTF-8, up to its end; with children, the text of
// the children too when includeChildren, otherwise the file is damaged (as a value holds none).
void readElementText(SheetXml& xml, std::string& out, bool includeChildren) {
    int depth = 1;
    while (depth > 0) {
        const auto token = xml.next();
        if (token == SheetXml::Token::Text) {
            xml.appendText(out);
        } else if (token == SheetXml::Token::StartElement) {
            if (!includeChildren) throw ReadError(text::damagedXlsx());
            ++depth;
        } else if (token == SheetXml::Token::EndElement) {
            --depth;
        }
    }
}

// The text of an <is> element as readRichText reads it, ending on the element's end.
QString readInlineText(SheetXml& xml) {
    std::string text;
    int phonetic = 0;
    int depth = 1;
    while (depth > 0) {
        const auto token = xml.next();
        if (token == SheetXml::Token::StartElement) {
            if (xml.name() == "rPh") {
                ++phonetic;
                ++depth;
            } else if (xml.name() == "t" && phonetic == 0) {
                readElementText(xml, text, true);
            } else {
                ++depth;
            }
        } else if (token == SheetXml::Token::EndElement) {
            if (xml.name() == "rPh") --phonetic;
            --depth;
        }
    }
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

class SheetParser {
public:
    SheetParser(const QStringList& shared, const std::vector<bool>& dateStyles, bool base1904,
                SheetTable& table)
        : shared_(shared), dateStyles_(dateStyles), base1904_(base1904), rows_(table) {}

    void parse(SheetXml& xml) {
        int rowNumber = 0;
        bool inRow = false;
        int column = -1;
        for (;;) {
            const auto token = xml.next();
            if (token == SheetXml::Token::End) break;
            if (token == SheetXml::Token::EndElement) {
                if (xml.name() == "row" && inRow) {
                    rows_.endRow();
                    inRow = false;
                }
                continue;
            }
            if (token != SheetXml::Token::StartElement) continue;
            const QByteArrayView name = xml.name();
            if (name == "row") {
                const QByteArrayView r = xml.attribute("r");
                rowNumber = r.isEmpty() ? rowNumber + 1 : r.trimmed().toInt();
                if (rowNumber <= 0) throw ReadError(text::damagedXlsx());
                rows_.beginRow(rowNumber);
                inRow = true;
                column = -1;
            } else if (name == "c" && inRow) {
                const QByteArrayView ref = xml.attribute("r");
                const int at = ref.isEmpty() ? column + 1 : columnOf(ref);
                if (at < 0) throw ReadError(text::damagedXlsx());
                if (at >= kMaxColumns) throw ReadError(text::tooManyColumns());
                column = at;
                const CellType type = cellType(xml.attribute("t"));
                const int style = xml.attribute("s").trimmed().toInt();
                rows_.setCell(column, readCell(xml, type, style));
            }
        }
    }

private:
    // Reads the cell's content up to its end element.
    QString readCell(SheetXml& xml, CellType type, int style) {
        raw_.clear();
        QString inline_;
        bool hasInline = false;
        int depth = 1;
        while (depth > 0) {
            const auto token = xml.next();
            if (token == SheetXml::Token::StartElement) {
                if (xml.name() == "v") {
                    raw_.clear();
                    readElementText(xml, raw_, false);
                } else if (xml.name() == "is") {
                    inline_ = readInlineText(xml);
                    hasInline = true;
                } else {
                    skipElement(xml);  // <f>: the formula, never evaluated
                }
            } else if (token == SheetXml::Token::EndElement) {
                --depth;
            }
        }
        const std::string_view raw(raw_);
        if (type == CellType::Inline) return inline_;
        if (hasInline && raw.empty()) return inline_;
        switch (type) {
            case CellType::Shared: {
                bool ok = false;
                const int i = QByteArrayView(raw.data(), qsizetype(raw.size())).toInt(&ok);
                if (!ok || i < 0 || i >= shared_.size()) throw ReadError(text::damagedXlsx());
                return shared_.at(i);
            }
            case CellType::Boolean:
                if (raw.empty()) return QString();
                return raw == "1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            case CellType::Text:
            case CellType::Error:
                return QString::fromUtf8(raw.data(), qsizetype(raw.size()));
            case CellType::Date:
                return QString::fromUtf8(raw.data(), qsizetype(raw.size())).left(10);
            default:
                break;
        }
        if (raw.empty()) return QString();
        if (style >= 0 && std::size_t(style) < dateStyles_.size() &&
            dateStyles_[std::size_t(style)]) {
            bool ok = false;
            const double serial = QByteArrayView(raw.data(), qsizetype(raw.size())).toDouble(&ok);
            const QDate date = ok ? excelSerialDate(serial, base1904_) : QDate();
            if (date.isValid()) return date.toString(Qt::ISODate);
        }
        return numberText(raw);
    }

    const QStringList& shared_;
    const std::vector<bool>& dateStyles_;
    bool base1904_;
    RowCollector rows_;
    std::string raw_;  // the cell's value as read, kept for its room
};

const SheetEntry& findSheet(const Workbook& book, const QString& sheet) {
    if (sheet.isEmpty()) return book.sheets.front();
    for (const SheetEntry& e : book.sheets)
        if (e.name == sheet) return e;
    throw ReadError(QStringLiteral("该工作簿中没有名为“%1”的工作表。").arg(sheet));
}

}  // namespace

QDate excelSerialDate(double serial, bool base1904) {
    if (!std::isfinite(serial) || serial < 1 || serial > 2958465) return QDate();
    const QDate base = base1904 ? QDate(1904, 1, 1) : QDate(1899, 12, 30);
    const QDate d = base.addDays(qint64(std::floor(serial)));
    return d.year() >= 1900 && d.year() <= 9999 ? d : QDate();
}

bool isDateFormatCode(const QString& code) {
    bool quoted = false;
    int bracket = 0;
    for (int i = 0; i < code.size(); ++i) {
        const QChar ch = code.at(i);
        if (ch == u'\\') {
            ++i;
            continue;
        }
        if (ch == u'"')
            quoted = !quoted;
        else if (!quoted && ch == u'[')
            ++bracket;
        else if (!quoted && ch == u']' && bracket > 0)
            --bracket;
        else if (!quoted && bracket == 0) {
            const QChar c = ch.toLower();
            if (c == u'y' || c == u'd' || ch == u'年' || ch == u'日') return true;
        }
    }
    return false;
}

QStringList xlsxSheetNames(const QString& path) {
    ZipArchive zip(path);
    QStringList names;
    for (const SheetEntry& e : readWorkbook(zip).sheets) names << e.name;
    return names;
}

SheetTable readXlsx(const QString& path, const QString& sheet) {
    ZipArchive zip(path);
    const Workbook book = readWorkbook(zip);
    const SheetEntry& entry = findSheet(book, sheet);
    SheetTable table;
    for (const SheetEntry& e : book.sheets) table.sheetNames << e.name;
    table.sheet = entry.name;
    const QStringList shared = readSharedStrings(zip, book.sharedStrings);
    const std::vector<bool> dateStyles = readDateStyles(zip, book.styles);
    ZipEntryDevice device(zip, entry.part, kMaxPartBytes);
    SheetXml xml(device);
    try {
        SheetParser(shared, dateStyles, book.base1904, table).parse(xml);
    } catch (const ReadError&) {
        // The part stopped early because it unpacked to too much or failed its checksum: that
        // is the reason to give, not the XML that was cut short by it.
        if (device.failed()) throw ReadError(device.failure());
        throw;
    }
    if (device.failed()) throw ReadError(device.failure());
    if (table.rows.empty())
        throw ReadError(QStringLiteral("工作表“%1”是空的，没有可以导入的内容。").arg(table.sheet));
    return table;
}

}  // namespace fx::import
