// stocktake: the list of stocktakes and one stocktake's report, on the command line and as a
// spreadsheet.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "presencelock.h"
#include "rowset.h"
#include "scan.h"
#include "stocktake.h"
#include "testsupport.h"

namespace fx::admin::test {
namespace {

class StocktakeCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        app_ = dir_.filePath(QStringLiteral("inst"));
        const CommandResult r = runAdmin({QStringLiteral("init"), app_, QStringLiteral("--demo")});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        auto c = openCurrent(app_);
        // The name the first start of the program stores.
        c->executeNative(QStringLiteral("update username set user='盘点单位'"));
        // Three assets kept at a location: the first found there, the second elsewhere, the
        // third never scanned; and one code the register does not hold.
        db::RowSet rows(*c, QStringLiteral("select ID1, id, num, wz from sbjl where worp and not "
                                           "ybf order by ID1"));
        rows.open();
        for (int i = 0; i < 3 && !rows.eof(); ++i, rows.next())
            numbers_ << rows.text(QStringLiteral("id")) +
                            QString::number(rows.integer(QStringLiteral("num")));
        rows.first();
        const QString place = rows.text(QStringLiteral("wz"));
        const stocktake::Stocktake s = stocktake::create(
            *c, QStringLiteral("年终盘点"),
            {stocktake::ScopeKind::Serials, {}, {rows.integer(QStringLiteral("ID1"))}},
            QStringLiteral("系统管理员"), kToday);
        stocktake::create(*c, QStringLiteral("全面盘点"), {}, QStringLiteral("系统管理员"), kToday);
        const QDateTime at(kToday, QTime(9, 0));
        stocktake::recordScan(*c, s.id, numbers_[0], place, QStringLiteral("甲"), at);
        stocktake::recordScan(*c, s.id, QStringLiteral("ZZZ-1"), place, QStringLiteral("甲"), at);
    }
    CommandResult stocktake(const QStringList& args) {
        return runAdmin(QStringList{QStringLiteral("stocktake"), dataDirOf(app_)} + args);
    }

    QTemporaryDir dir_;
    QString app_;
    QStringList numbers_;
};

TEST_F(StocktakeCommandTest, ListsEveryStocktakeWithItsCounts) {
    const CommandResult r = stocktake({QStringLiteral("list")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QList<QStringList> t = tableOf(r.out);
    ASSERT_EQ(t.size(), 3);
    EXPECT_EQ(t[1].value(0), QStringLiteral("全面盘点"));
    EXPECT_EQ(t[2].value(0), QStringLiteral("年终盘点"));
    EXPECT_EQ(t[2].value(1), QStringLiteral("查询结果（1行）"));
    EXPECT_EQ(t[2].value(3), QStringLiteral("进行中"));
    EXPECT_EQ(t[2].value(4), QStringLiteral("应盘 1 / 已盘 1 / 位置不符 0 / 账外 1"));
}

TEST_F(StocktakeCommandTest, ReportPrintsTheHeadingAndTheFourLists) {
    const QString xlsx = dir_.filePath(QStringLiteral("pd.xlsx"));
    const CommandResult r = stocktake(
        {QStringLiteral("report"), QStringLiteral("年终盘点"), QStringLiteral("--xlsx"), xlsx});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("盘点单位资产盘点报告\n盘点：年终盘点\n")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("应盘 1 / 已盘 1 / 位置不符 0 / 账外 1")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("盘亏资产原值：0.00元  净值：0.00元")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("\n已盘点（1）\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("\n盘亏（0）\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("\n盘盈（1）\n扫描编号\t发现位置")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("\n") + numbers_[0] + QLatin1Char('\t')));
    EXPECT_TRUE(r.out.contains(QStringLiteral("\nZZZ-1\t")));
    QFile f(xlsx);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(2) == "PK");
    // The presence lock is given up again: a backup may take the database now.
    backup::ExclusiveAccess lock(currentFileOf(app_));
    EXPECT_TRUE(lock.acquired()) << lock.reason().toStdString();
}

TEST_F(StocktakeCommandTest, TheMissingAssetsOfTheWholeRegisterCarryTheirValue) {
    const CommandResult r = stocktake({QStringLiteral("report"), QStringLiteral("全面盘点")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("\n盘亏（0）\n")));
    EXPECT_FALSE(r.out.contains(QStringLiteral("盘亏资产原值：0.00元")));
}

TEST_F(StocktakeCommandTest, AnUnknownNameFailsAndABadLineIsAUsageError) {
    const CommandResult missing = stocktake({QStringLiteral("report"), QStringLiteral("无此盘点")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("无此盘点")));
    EXPECT_EQ(stocktake({QStringLiteral("report")}).code, 2);
    EXPECT_EQ(stocktake({QStringLiteral("count")}).code, 2);
    EXPECT_EQ(
        stocktake({QStringLiteral("list"), QStringLiteral("--xlsx"), QStringLiteral("a")}).code, 2);
    EXPECT_EQ(runAdmin({QStringLiteral("stocktake"), dir_.filePath(QStringLiteral("none")),
                        QStringLiteral("list")})
                  .code,
              1);
}

}  // namespace
}  // namespace fx::admin::test
