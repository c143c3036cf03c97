#include "xlsxreader.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <cmath>

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
int columnOf(QStringView ref) {
    int column = 0;
    int letters = 0;
    for (const QChar ch : ref) {
        if (ch >= u'A' && ch <= u'Z') {
            column = column * 26 + (ch.unicode() - u'A' + 1);
            if (++letters > 3) return kMaxColumns;
        } else {
            break;
        }
    }
    return letters == 0 ? -1 : column - 1;
}

// Numbers as a clerk reads them: no exponent or binary noise for ordinary amounts.
QString numberText(QStringView v) {
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok) return v.toString();
    return QString::number(d, 'g', 15);
}

class SheetParser {
public:
    SheetParser(const QStringList& shared, const std::vector<bool>& dateStyles, bool base1904,
                SheetTable& table)
        : shared_(shared), dateStyles_(dateStyles), base1904_(base1904), rows_(table) {}

    void parse(QXmlStreamReader& xml) {
        int rowNumber = 0;
        bool inRow = false;
        int column = -1;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement) {
                if (xml.name() == QLatin1String("row") && inRow) {
                    rows_.endRow();
                    inRow = false;
                }
                continue;
            }
            if (token != QXmlStreamReader::StartElement) continue;
            const QStringView name = xml.name();
            if (name == QLatin1String("row")) {
                const QStringView r = xml.attributes().value(QLatin1String("r"));
                rowNumber = r.isEmpty() ? rowNumber + 1 : r.toInt();
                if (rowNumber <= 0) throw ReadError(text::damagedXlsx());
                rows_.beginRow(rowNumber);
                inRow = true;
                column = -1;
            } else if (name == QLatin1String("c") && inRow) {
                const auto a = xml.attributes();
                const QStringView ref = a.value(QLatin1String("r"));
                const int at = ref.isEmpty() ? column + 1 : columnOf(ref);
                if (at < 0) throw ReadError(text::damagedXlsx());
                if (at >= kMaxColumns) throw ReadError(text::tooManyColumns());
                column = at;
                const QString value = readCell(xml, a.value(QLatin1String("t")).toString(),
                                               a.value(QLatin1String("s")).toInt());
                rows_.setCell(column, value);
            }
        }
    }

private:
    // Reads the cell's content up to its end element.
    QString readCell(QXmlStreamReader& xml, const QString& type, int style) {
        QString raw;
        QString inline_;
        bool hasInline = false;
        while (!xml.atEnd()) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (xml.name() == QLatin1String("v")) {
                    raw = xml.readElementText();
                } else if (xml.name() == QLatin1String("is")) {
                    inline_ = readRichText(xml);
                    hasInline = true;
                } else {
                    xml.skipCurrentElement();  // <f>: the formula, never evaluated
                }
            } else if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("c")) {
                break;
            }
        }
        if (type == QLatin1String("inlineStr")) return inline_;
        if (hasInline && raw.isEmpty()) return inline_;
        if (type == QLatin1String("s")) {
            bool ok = false;
            const int i = raw.toInt(&ok);
            if (!ok || i < 0 || i >= shared_.size()) throw ReadError(text::damagedXlsx());
            return shared_.at(i);
        }
        if (type == QLatin1String("b")) {
            if (raw.isEmpty()) return raw;
            return raw == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        }
        if (type == QLatin1String("str") || type == QLatin1String("e")) return raw;
        if (type == QLatin1String("d")) return raw.left(10);
        if (raw.isEmpty()) return raw;
        if (style >= 0 && std::size_t(style) < dateStyles_.size() &&
            dateStyles_[std::size_t(style)]) {
            bool ok = false;
            const double serial = raw.toDouble(&ok);
            const QDate date = ok ? excelSerialDate(serial, base1904_) : QDate();
            if (date.isValid()) return date.toString(Qt::ISODate);
        }
        return numberText(raw);
    }

    const QStringList& shared_;
    const std::vector<bool>& dateStyles_;
    bool base1904_;
    RowCollector rows_;
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
    QXmlStreamReader xml(&device);
    SheetParser(shared, dateStyles, book.base1904, table).parse(xml);
    if (device.failed()) throw ReadError(device.failure());
    if (xml.hasError()) throw ReadError(text::damagedXlsx());
    if (table.rows.empty())
        throw ReadError(QStringLiteral("工作表“%1”是空的，没有可以导入的内容。").arg(table.sheet));
    return table;
}

}  // namespace fx::import
