#include <QFile>
#include <QStringEncoder>

#include "dberror.h"
#include "results.h"
#include "scanfile.h"
#include "stocktake.h"
#include "stocktakefixture.h"

namespace fx::stocktake::test {
namespace {

class ScanFileTest : public StocktakeTest {
protected:
    void SetUp() override {
        StocktakeTest::SetUp();
        take_ = create(db(), QStringLiteral("导入"), {}, QStringLiteral("u"), kToday);
    }
    QString write(const QByteArray& bytes) {
        const QString p = dir_.filePath(QStringLiteral("scans.csv"));
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return p;
    }
    FileLoad load(const QString& path, const QString& place = QString()) {
        return loadScanFile(db(), take_.id, path, place, QStringLiteral("u"), at(30));
    }
    Stocktake take_;
};

TEST_F(ScanFileTest, CodesWithPlacesAndTimes) {
    const QString p = write(
        "\xe7\xbc\x96\xe5\x8f\xb7,place,time\r\n"  // 编号 as the title of the first column
        "JSJ-1,\xe8\xb4\xa2\xe5\x8a\xa1\xe5\xa4\x84,2026-12-08 09:15:00\r\n"
        "JSJ-3;\xe8\xb4\xa2\xe5\x8a\xa1\xe5\xa4\x84\r\n"
        "\r\n"
        "\"NEW-1\"\r\n"
        "JSJ-1\r\n");
    const FileLoad l = load(p);
    EXPECT_EQ(l.scans, 4);
    EXPECT_EQ(l.byResult[std::size_t(ScanResult::Found)], 1);
    EXPECT_EQ(l.byResult[std::size_t(ScanResult::Misplaced)], 1);
    EXPECT_EQ(l.byResult[std::size_t(ScanResult::Surplus)], 1);
    EXPECT_EQ(l.byResult[std::size_t(ScanResult::Duplicate)], 1);
    EXPECT_EQ(text(QStringLiteral("select smsj from pdsm where code='JSJ-1' and jg='已盘点'")),
              QStringLiteral("2026-12-08 09:15:00"));
    EXPECT_EQ(text(QStringLiteral("select smsj from pdsm where code='NEW-1'")),
              QStringLiteral("2026-12-09 10:30:00"));
    EXPECT_EQ(fileLoadText(l), QStringLiteral("共导入4个扫描：已盘点 1，位置不符 1，重复扫描 1，"
                                              "不在盘点范围 0，账外资产 1，已删除 0"));
}

TEST_F(ScanFileTest, APlaceLabelSetsThePlaceOfTheLinesAfterIt) {
    const QString p =
        write(QStringEncoder("GBK")(QStringLiteral("JSJ-2\n位置:教务处\nJSJ-3\nJSJ-1\n")));
    const FileLoad l = load(p, QStringLiteral("财务处"));
    EXPECT_EQ(l.placeLabels, 1);
    const Results r = results(db(), take_.id, kToday);
    ASSERT_EQ(r.found.size(), 2u);
    EXPECT_EQ(r.found[0].number, QStringLiteral("JSJ-2"));
    EXPECT_EQ(r.found[1].number, QStringLiteral("JSJ-3"));
    ASSERT_EQ(r.misplaced.size(), 1u);
    EXPECT_EQ(r.misplaced[0].foundPlace, QStringLiteral("教务处"));
}

TEST_F(ScanFileTest, AMissingFileIsAnError) {
    EXPECT_THROW(load(dir_.filePath(QStringLiteral("none.txt"))), db::DbError);
}

TEST_F(ScanFileTest, AnEndedStocktakeRefusesTheFile) {
    end(db(), take_.id, kToday);
    EXPECT_THROW(load(write("JSJ-1\n")), db::DbError);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from pdsm")), 0);
}

}  // namespace
}  // namespace fx::stocktake::test
