#include <gtest/gtest.h>

#include <QStringEncoder>
#include <QTemporaryDir>

#include "csvreader.h"
#include "sourcefile.h"
#include "testfiles.h"

namespace fx::import {
namespace {

QByteArray gbk(const QString& text) {
    QStringEncoder e("GB18030");
    return e.encode(text);
}

TEST(CsvReader, ReadsUtf8WithByteOrderMarkAndCommas) {
    const SheetTable t = parseCsv(QByteArray("\xEF\xBB\xBF") +
                                  QStringLiteral("名称,原值\r\n电脑,\"1,234.50\"\r\n").toUtf8());
    EXPECT_EQ(t.encoding, QStringLiteral("UTF-8"));
    EXPECT_EQ(t.separator, u',');
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[0].cells, (QStringList{QStringLiteral("名称"), QStringLiteral("原值")}));
    EXPECT_EQ(t.rows[1].cells, (QStringList{QStringLiteral("电脑"), QStringLiteral("1,234.50")}));
}

TEST(CsvReader, DetectsGbkAndSemicolons) {
    const SheetTable t = parseCsv(gbk(QStringLiteral("名称;存放地点\n打印机;财务科\n")));
    EXPECT_EQ(t.encoding, QStringLiteral("GBK"));
    EXPECT_EQ(t.separator, u';');
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[1].cells, (QStringList{QStringLiteral("打印机"), QStringLiteral("财务科")}));
}

TEST(CsvReader, TheChosenEncodingAndSeparatorWin) {
    CsvOptions o;
    o.encoding = QStringLiteral("GBK");
    o.separator = u',';
    const SheetTable t = parseCsv(gbk(QStringLiteral("名称\t型号,用途\n")), o);
    EXPECT_EQ(t.rows[0].cells, (QStringList{QStringLiteral("名称\t型号"), QStringLiteral("用途")}));
}

TEST(CsvReader, DetectsTabs) {
    const SheetTable t = parseCsv(QStringLiteral("名称\t型号\t备注,说明\n").toUtf8());
    EXPECT_EQ(t.separator, u'\t');
    EXPECT_EQ(t.rows[0].cells.size(), 3);
}

TEST(CsvReader, QuotedFieldsHoldSeparatorsQuotesAndLineBreaks) {
    const SheetTable t =
        parseCsv(QStringLiteral("名称,备注,用途\n"
                                "\"桌子,大\",\"第一行\r\n第二行 \"\"旧\"\"\",办公\n"
                                "椅子,,\n")
                     .toUtf8());
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[1].cells,
              (QStringList{QStringLiteral("桌子,大"), QStringLiteral("第一行\r\n第二行 \"旧\""),
                           QStringLiteral("办公")}));
    // The record after a two-line field starts on the file's fourth line.
    EXPECT_EQ(t.rows[2].number, 4);
    EXPECT_EQ(t.rows[2].cells, QStringList{QStringLiteral("椅子")});
}

TEST(CsvReader, QuotesInsideAFieldAndTextAfterAClosingQuoteAreKept) {
    const struct {
        const char* line;
        QStringList cells;
    } cases[] = {
        {"5\"寸,b", {QStringLiteral("5\"寸"), QStringLiteral("b")}},
        {"a\"\"b,c", {QStringLiteral("a\"\"b"), QStringLiteral("c")}},
        {"\"ab\"cd,e", {QStringLiteral("abcd"), QStringLiteral("e")}},
        {"x,\"\"", {QStringLiteral("x")}},
        {"长的文字一段,\"q\"", {QStringLiteral("长的文字一段"), QStringLiteral("q")}},
    };
    for (const auto& c : cases) {
        const SheetTable t = parseCsv(QByteArray("名称,备注\n") + c.line + "\n");
        ASSERT_EQ(t.rows.size(), 2u) << c.line;
        EXPECT_EQ(t.rows[1].cells, c.cells) << c.line;
    }
}

TEST(CsvReader, RepeatedValuesReadTheSameInEveryRow) {
    QByteArray csv("类别,地点\n");
    for (int i = 0; i < 5000; ++i) csv += "电脑,房间" + QByteArray::number(i % 7) + "\n";
    const SheetTable t = parseCsv(csv);
    ASSERT_EQ(t.rows.size(), 5001u);
    for (std::size_t i = 1; i < t.rows.size(); ++i)
        ASSERT_EQ(t.rows[i].cells,
                  (QStringList{QStringLiteral("电脑"), QStringLiteral("房间%1").arg((i - 1) % 7)}));
}

TEST(CsvReader, RefusesAQuoteThatIsNeverClosedAndAnEmptyFile) {
    EXPECT_THROW(parseCsv(QByteArray("a,b\n\"open,c\nd,e\n")), ReadError);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty.csv"));
    test::writeAll(path, "\xEF\xBB\xBF");
    EXPECT_THROW(readSheet(path), ReadError);
}

TEST(CsvReader, ReadsAFileByItsExtension) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("清单.txt"));
    test::writeAll(path, gbk(QStringLiteral("名称\t原值\n电脑\t100\n")));
    const SheetTable t = readSheet(path);
    EXPECT_EQ(t.sheet, QStringLiteral("清单"));
    EXPECT_EQ(t.rows.size(), 2u);
}

}  // namespace
}  // namespace fx::import
