#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "sourcefile.h"
#include "testfiles.h"
#include "xlsxreader.h"

namespace fx::import {
namespace {

using test::SheetSpec;

class XlsxReader : public ::testing::Test {
protected:
    QString file(const QString& name) { return dir_.filePath(name); }
    // The message of the ReadError a read throws; empty when it reads.
    QString refusal(const QString& path) {
        try {
            readSheet(path);
        } catch (const ReadError& e) {
            return e.message();
        }
        return QString();
    }
    QTemporaryDir dir_;
};

TEST_F(XlsxReader, ReadsSharedStringsNumbersBooleansDatesFormulasAndSparseRows) {
    const QString path = file(QStringLiteral("a.xlsx"));
    test::writeXlsx(
        path, {{QStringLiteral("资产"),
                {{QStringLiteral("名称"), QStringLiteral("原值"), QStringLiteral("购买日期"),
                  QStringLiteral("报废"), QStringLiteral("合计")},
                 {QStringLiteral("电脑"), 4999.5, QDate(2020, 1, 15), true,
                  QStringLiteral("=B2*2=>9999")},
                 {},
                 {QVariant(), 8000, QVariant(), false, QVariant(), QStringLiteral("最后一列")}}}});
    const SheetTable t = readSheet(path);
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0].cells, (QStringList{QStringLiteral("名称"), QStringLiteral("原值"),
                                            QStringLiteral("购买日期"), QStringLiteral("报废"),
                                            QStringLiteral("合计")}));
    EXPECT_EQ(t.rows[1].cells, (QStringList{QStringLiteral("电脑"), QStringLiteral("4999.5"),
                                            QStringLiteral("2020-01-15"), QStringLiteral("TRUE"),
                                            QStringLiteral("9999")}));
    // The empty row 3 is left out; row 4 keeps its number and its empty cells.
    EXPECT_EQ(t.rows[2].number, 4);
    EXPECT_EQ(t.rows[2].cells,
              (QStringList{QString(), QStringLiteral("8000"), QString(), QStringLiteral("FALSE"),
                           QString(), QStringLiteral("最后一列")}));
}

TEST_F(XlsxReader, ReadsInlineStringsOfAConstantMemoryWorkbook) {
    const QString path = file(QStringLiteral("inline.xlsx"));
    test::writeXlsx(
        path, {{QStringLiteral("S"), {{QStringLiteral("名称"), QStringLiteral("多行\n文字")}}}},
        true);
    const SheetTable t = readSheet(path);
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0].cells, (QStringList{QStringLiteral("名称"), QStringLiteral("多行\n文字")}));
}

TEST_F(XlsxReader, ListsSheetsAndReadsTheChosenOne) {
    const QString path = file(QStringLiteral("two.xlsx"));
    test::writeXlsx(
        path, {{QStringLiteral("说明"), {{QStringLiteral("只是说明")}}},
               {QStringLiteral("清单"), {{QStringLiteral("名称")}, {QStringLiteral("桌子")}}}});
    EXPECT_EQ(sheetNames(path), (QStringList{QStringLiteral("说明"), QStringLiteral("清单")}));
    ReadOptions o;
    o.sheet = QStringLiteral("清单");
    const SheetTable t = readSheet(path, o);
    EXPECT_EQ(t.sheet, QStringLiteral("清单"));
    ASSERT_EQ(t.rows.size(), 2u);
    EXPECT_EQ(t.rows[1].cells.front(), QStringLiteral("桌子"));
    o.sheet = QStringLiteral("没有这张表");
    EXPECT_THROW(readSheet(path, o), ReadError);
}

TEST_F(XlsxReader, RefusesATruncatedWorkbookAndLeavesItUntouched) {
    const QString path = file(QStringLiteral("cut.xlsx"));
    test::writeXlsx(path, {{QStringLiteral("S"), {{QStringLiteral("名称")}}}});
    const QByteArray whole = test::readAll(path);
    test::writeAll(path, whole.left(whole.size() / 2));
    const QByteArray before = test::digest(path);
    EXPECT_TRUE(refusal(path).contains(QStringLiteral("已损坏")));
    EXPECT_EQ(test::digest(path), before);
}

TEST_F(XlsxReader, RefusesAnEntryClaimingGigabytesBeforeReadingIt) {
    const QString path = file(QStringLiteral("bomb.xlsx"));
    test::writeZip(path,
                   test::workbookParts(
                       "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>名称"
                       "</t></is></c></row></sheetData></worksheet>"));
    test::patchClaimedSize(path, "xl/worksheets/sheet1.xml", 0xF0000000u);
    const QByteArray before = test::digest(path);
    EXPECT_TRUE(refusal(path).contains(QStringLiteral("过大")));
    EXPECT_EQ(test::digest(path), before);
}

TEST_F(XlsxReader, StopsAnEntryThatUnpacksToMoreThanItClaims) {
    const QString path = file(QStringLiteral("liar.xlsx"));
    QByteArray rows;
    for (int r = 1; r <= 2000; ++r)
        rows += "<row r=\"" + QByteArray::number(r) + "\"><c r=\"A" + QByteArray::number(r) +
                "\"><v>1</v></c></row>";
    test::writeZip(
        path, test::workbookParts("<worksheet><sheetData>" + rows + "</sheetData></worksheet>"));
    test::patchClaimedSize(path, "xl/worksheets/sheet1.xml", 100);
    EXPECT_FALSE(refusal(path).isEmpty());
}

TEST_F(XlsxReader, RefusesXmlThatNeverEnds) {
    const QString path = file(QStringLiteral("endless.xlsx"));
    test::writeZip(path,
                   test::workbookParts("<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v>"));
    EXPECT_TRUE(refusal(path).contains(QStringLiteral("已损坏")));
}

TEST_F(XlsxReader, RefusesAMillionEmptyColumns) {
    const QString path = file(QStringLiteral("wide.xlsx"));
    test::writeZip(
        path, test::workbookParts("<worksheet><sheetData><row r=\"1\"><c r=\"A1\" "
                                  "t=\"inlineStr\"><is><t>x</t></is></c><c r=\"AMJ1\"/>"
                                  "<c r=\"BGQCV1\"><v>1</v></c></row></sheetData></worksheet>"));
    EXPECT_TRUE(refusal(path).contains(QStringLiteral("16384")));
    // Cells without references count on from the last one: the limit holds for them too.
    QByteArray cells;
    for (int i = 0; i < 17000; ++i) cells += "<c><v>1</v></c>";
    test::writeZip(path, test::workbookParts("<worksheet><sheetData><row r=\"1\">" + cells +
                                             "</row></sheetData></worksheet>"));
    EXPECT_TRUE(refusal(path).contains(QStringLiteral("16384")));
}

TEST_F(XlsxReader, RefusesEncryptedEmptyAndUnknownFiles) {
    const QString encrypted = file(QStringLiteral("locked.xlsx"));
    test::writeAll(encrypted,
                   QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0'));
    EXPECT_TRUE(refusal(encrypted).contains(QStringLiteral("加密")));
    const QString empty = file(QStringLiteral("empty.xlsx"));
    test::writeAll(empty, QByteArray());
    EXPECT_TRUE(refusal(empty).contains(QStringLiteral("空")));
    const QString blankSheet = file(QStringLiteral("blank.xlsx"));
    test::writeXlsx(blankSheet, {{QStringLiteral("S"), {}}});
    EXPECT_TRUE(refusal(blankSheet).contains(QStringLiteral("空")));
    const QString other = file(QStringLiteral("notes.doc"));
    test::writeAll(other, "x");
    EXPECT_TRUE(refusal(other).contains(QStringLiteral("只能导入")));
}

TEST(ExcelDates, SerialNumbersAndFormatCodes) {
    EXPECT_EQ(excelSerialDate(43845), QDate(2020, 1, 15));
    EXPECT_EQ(excelSerialDate(43845.75), QDate(2020, 1, 15));
    EXPECT_EQ(excelSerialDate(42383, true), QDate(2020, 1, 15));
    EXPECT_FALSE(excelSerialDate(-3).isValid());
    EXPECT_TRUE(isDateFormatCode(QStringLiteral("yyyy\"年\"m\"月\"d\"日\"")));
    EXPECT_TRUE(isDateFormatCode(QStringLiteral("[$-804]yyyy/m/d")));
    EXPECT_FALSE(isDateFormatCode(QStringLiteral("#,##0.00_);[Red](#,##0.00)")));
    EXPECT_FALSE(isDateFormatCode(QStringLiteral("0.00\"元\"")));
}

}  // namespace
}  // namespace fx::import
