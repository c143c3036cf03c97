#include "csvreader.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <vector>

namespace fx::import {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool isValidUtf8(const QByteArray& data) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(data);
    Q_UNUSED(decoded);
    return !decoder.hasError();
}

QString decode(const QByteArray& data, const QString& encoding) {
    if (encoding == QLatin1String("UTF-8")) {
        const QByteArray body = data.startsWith(kUtf8Bom) ? data.mid(kUtf8Bom.size()) : data;
        return QString::fromUtf8(body);
    }
    QStringDecoder decoder("GB18030");
    if (!decoder.isValid())
        throw ReadError(QStringLiteral("本机不支持 GBK 编码，不能读取该文件。"));
    return decoder.decode(data);
}

// The texts a column repeats (categories, places, persons, "否") are held once, as an .xlsx
// file's shared strings are: a register of 100000 rows holds a few thousand distinct values
// where it has a million cells. A column stops collecting new texts once it has many, so a
// column of unique values (numbers, remarks) costs no more than without.
class CellTexts {
public:
    QString shared(int column, const QString& text) {
        if (text.isEmpty()) return text;
        if (std::size_t(column) >= columns_.size()) columns_.resize(std::size_t(column) + 1);
        QSet<QString>& texts = columns_[std::size_t(column)];
        const auto it = texts.constFind(text);
        if (it != texts.cend()) return *it;
        if (texts.size() < kMaxTextsPerColumn) texts.insert(text);
        return text;
    }

private:
    static constexpr qsizetype kMaxTextsPerColumn = 4096;
    std::vector<QSet<QString>> columns_;
};

}  // namespace

QString detectEncoding(const QByteArray& data) {
    if (data.startsWith(kUtf8Bom) || isValidUtf8(data)) return QStringLiteral("UTF-8");
    return QStringLiteral("GBK");
}

QChar detectSeparator(const QString& text) {
    const QChar candidates[] = {u'\t', u',', u';'};
    int counts[3] = {0, 0, 0};
    bool quoted = false;
    for (const QChar ch : text) {
        if (ch == u'"') quoted = !quoted;
        if (quoted) continue;
        if (ch == u'\n' || ch == u'\r') break;
        for (int i = 0; i < 3; ++i)
            if (ch == candidates[i]) ++counts[i];
    }
    int best = 1;
    for (int i = 0; i < 3; ++i)
        if (counts[i] > counts[best]) best = i;
    return candidates[best];
}

SheetTable parseCsv(const QByteArray& data, const CsvOptions& options) {
    SheetTable table;
    table.encoding = options.encoding.isEmpty() ? detectEncoding(data) : options.encoding;
    const QString text = decode(data, table.encoding);
    table.separator = options.separator.isNull() ? detectSeparator(text) : options.separator;
    table.sheetNames << QStringLiteral("CSV");
    table.sheet = table.sheetNames.front();

    RowCollector rows(table);
    CellTexts texts;
    const QChar sep = table.separator;
    const qsizetype n = text.size();
    qsizetype i = 0;
    int line = 1;  // the file's line where the current record starts
    int nextLine = 1;
    QString field;
    int column = 0;
    rows.beginRow(line);
    while (i < n) {
        const QChar ch = text.at(i);
        if (ch == u'"' && field.isEmpty()) {
            // A quoted field: up to the quote that is not doubled.
            const int opened = nextLine;
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = text.at(i);
                if (c == u'"') {
                    if (i + 1 < n && text.at(i + 1) == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (c == u'\n') ++nextLine;
                field += c;
                ++i;
            }
            if (!closed)
                throw ReadError(
                    QStringLiteral("第%1行的引号没有结束，文件可能已损坏或被截断。").arg(opened));
            continue;
        }
        if (ch == sep) {
            rows.setCell(column, texts.shared(column, field));
            ++column;
            field.clear();
            ++i;
            continue;
        }
        if (ch == u'\r' || ch == u'\n') {
            rows.setCell(column, texts.shared(column, field));
            field.clear();
            column = 0;
            rows.endRow();
            if (ch == u'\r' && i + 1 < n && text.at(i + 1) == u'\n') ++i;
            ++i;
            line = ++nextLine;
            rows.beginRow(line);
            continue;
        }
        // A run of plain characters is taken in one piece: one allocation of the field's own
        // size, however long the file.
        qsizetype end = i + 1;
        while (end < n) {
            const QChar c = text.at(end);
            if (c == sep || c == u'\r' || c == u'\n' || c == u'"') break;
            ++end;
        }
        if (field.isEmpty())
            field = text.sliced(i, end - i);
        else
            field += QStringView(text).sliced(i, end - i);
        i = end;
    }
    rows.setCell(column, texts.shared(column, field));
    rows.endRow();
    return table;
}

SheetTable readCsv(const QString& path, const CsvOptions& options) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ReadError(QStringLiteral("不能打开文件：") + file.errorString());
    if (file.size() > kMaxCsvBytes)
        throw ReadError(QStringLiteral("文件太大（超过 512 MB），请分成几个文件导入。"));
    const QByteArray data = file.readAll();
    if (data.trimmed().isEmpty() || data == kUtf8Bom)
        throw ReadError(QStringLiteral("文件是空的，没有可以导入的内容。"));
    SheetTable table = parseCsv(data, options);
    if (table.rows.empty()) throw ReadError(QStringLiteral("文件是空的，没有可以导入的内容。"));
    table.sheetNames = QStringList{QFileInfo(path).completeBaseName()};
    table.sheet = table.sheetNames.front();
    return table;
}

}  // namespace fx::import
