#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "sourcefile.h"
#include "testfiles.h"

namespace fx::import {
namespace {

const QString kFixture = QStringLiteral(FX_IMPORT_TEST_DATA "/register.xls");

TEST(XlsReader, ListsTheSheetsOfAnExcel97Workbook) {
    EXPECT_EQ(sheetNames(kFixture),
              (QStringList{QStringLiteral("说明"), QStringLiteral("资产清单")}));
}

TEST(XlsReader, ReadsTextsNumbersDatesAndGapsOfTheChosenSheet) {
    ReadOptions o;
    o.sheet = QStringLiteral("资产清单");
    const SheetTable t = readSheet(kFixture, o);
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.rows[0].cells, QStringList{QStringLiteral("某单位固定资产登记表")});
    EXPECT_EQ(t.rows[1].cells.at(5), QStringLiteral("原值"));
    EXPECT_EQ(t.rows[2].cells, (QStringList{QStringLiteral("DN-7"), QStringLiteral("电脑"),
                                            QStringLiteral("台式电脑"), QStringLiteral("联想M720"),
                                            QStringLiteral("财务科"), QStringLiteral("4999.5"),
                                            QStringLiteral("2020-01-15"), QStringLiteral("5年")}));
    EXPECT_EQ(t.rows[3].number, 4);
    EXPECT_EQ(t.rows[3].cells.at(3), QString());
    EXPECT_EQ(t.rows[3].cells.at(5), QStringLiteral("850"));
}

TEST(XlsReader, RefusesADamagedFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.xls"));
    test::writeAll(path, test::readAll(kFixture).left(700));
    try {
        readSheet(path);
        FAIL() << "a damaged .xls was read";
    } catch (const ReadError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("已损坏"))) << e.message().toStdString();
    }
}

}  // namespace
}  // namespace fx::import
