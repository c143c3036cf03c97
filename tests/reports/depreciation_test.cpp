#include <gtest/gtest.h>

#include <QDateTime>

#include "clock.h"
#include "connection.h"
#include "datasource.h"
#include "depreciation.h"
#include "expression.h"
#include "rowset.h"
#include "testinstallation.h"

namespace fx::reports {
namespace {

// ---- the results window's figures, in whole cents ----------------------------------------------

struct Case {
    double price;
    int months;
    int life;
    int rate;
    bool scrapped;
    const char* depreciation;
    const char* net;
};

void expectFigures(const Case& c) {
    const ValueFigures f = windowFigures(c.price, c.months, c.life, c.rate, c.scrapped);
    EXPECT_EQ(centsText(f.depreciation), QString::fromUtf8(c.depreciation))
        << "price " << c.price << " months " << c.months << " life " << c.life;
    EXPECT_EQ(centsText(f.net), QString::fromUtf8(c.net))
        << "price " << c.price << " months " << c.months << " life " << c.life;
    EXPECT_EQ(f.original, f.depreciation + f.net);
}

TEST(WindowFigures, ThirteenMonthsOfSixtyAtFivePercent) {
    const ValueFigures f = windowFigures(1000.00, 13, 60, 5, false);
    EXPECT_EQ(originalValueLine(f), QStringLiteral("原值：1000.00元"));
    EXPECT_EQ(depreciationLine(f), QStringLiteral("折旧：205.83元"));
    EXPECT_EQ(netValueLine(f), QStringLiteral("净值：794.17元"));
}

TEST(WindowFigures, AgeAgainstLife) {
    // Bought this month: nothing lost yet.
    expectFigures({2400.00, 0, 60, 5, false, "0.00", "2400.00"});
    // At the end of the life: the residual value, whichever branch.
    expectFigures({2400.00, 60, 60, 5, false, "2280.00", "120.00"});
    // One month past: no further loss.
    expectFigures({2400.00, 61, 60, 5, false, "2280.00", "120.00"});
    // A month before the end: still growing.
    expectFigures({2400.00, 59, 60, 5, false, "2242.00", "158.00"});
}

TEST(WindowFigures, ScrappedCountsAsFullyDepreciated) {
    expectFigures({2400.00, 0, 60, 5, true, "2280.00", "120.00"});
    expectFigures({2400.00, 12, 60, 0, true, "2400.00", "0.00"});
}

TEST(WindowFigures, RatesOfHundredAndZero) {
    // 100: not depreciated at any age.
    expectFigures({880.00, 7, 36, 100, false, "0.00", "880.00"});
    expectFigures({880.00, 70, 36, 100, false, "0.00", "880.00"});
    // 0: written off evenly, price / life each month, down to nothing.
    expectFigures({360.00, 1, 36, 0, false, "10.00", "350.00"});
    expectFigures({360.00, 35, 36, 0, false, "350.00", "10.00"});
    expectFigures({360.00, 36, 36, 0, false, "360.00", "0.00"});
}

TEST(WindowFigures, FuturePurchaseGivesNegativeDepreciation) {
    const ValueFigures f = windowFigures(1200.00, -2, 60, 5, false);
    EXPECT_EQ(f.depreciation, -3800);
    EXPECT_EQ(depreciationLine(f), QStringLiteral("折旧：-38.00元"));
    EXPECT_EQ(netValueLine(f), QStringLiteral("净值：1238.00元"));
}

TEST(WindowFigures, TruncatesWhereReportsRound) {
    // 95 * 13 * 1000 / 60 = 20583.33 cents: cut, not rounded; the net value follows.
    EXPECT_EQ(windowFigures(1000.00, 13, 60, 5, false).depreciation, 20583);
    // 95 * 1 * 0.05 / 60 = 0.079 cents: nothing yet.
    EXPECT_EQ(windowFigures(0.05, 1, 60, 5, false).depreciation, 0);
    // Past its life with cz 5: trunc(5 * 0.19 yuan) = 0.95 cents -> 0.
    EXPECT_EQ(windowFigures(0.19, 90, 60, 5, false).net, 0);
    // A negative depreciation is cut toward zero too: -95 * 1 * 1 / 60 = -1.58 cents.
    EXPECT_EQ(windowFigures(1.00, -1, 60, 5, false).depreciation, -1);
}

TEST(WindowFigures, PricesAreExactInCents) {
    EXPECT_EQ(toCents(0.29), 29);
    EXPECT_EQ(toCents(1234.56), 123456);
    EXPECT_EQ(toCents(-0.07), -7);
    EXPECT_EQ(originalValueLine(windowFigures(0.29, 0, 12, 5, false)),
              QStringLiteral("原值：0.29元"));
}

TEST(WindowFigures, LifeOfZeroMonthsCountsAsFullyDepreciated) {
    // The dictionary keeps lives at one month or more; a damaged row must not divide by zero.
    expectFigures({500.00, 0, 0, 5, false, "475.00", "25.00"});
    expectFigures({500.00, -3, 0, 5, false, "475.00", "25.00"});
    expectFigures({500.00, 4, -1, 10, false, "450.00", "50.00"});
}

TEST(WindowFigures, AmountTexts) {
    EXPECT_EQ(centsText(0), QStringLiteral("0.00"));
    EXPECT_EQ(centsText(5), QStringLiteral("0.05"));
    EXPECT_EQ(centsText(-5), QStringLiteral("-0.05"));
    EXPECT_EQ(centsText(-123456), QStringLiteral("-1234.56"));
    EXPECT_EQ(centsText(960000000), QStringLiteral("9600000.00"));
}

TEST(WindowFigures, OptionHidesFigures) {
    EXPECT_FALSE(depreciationHidden(0));
    EXPECT_TRUE(depreciationHidden(1));
}

// ---- the report expressions, through the report engine -----------------------------------------

report::MemoryDataSource valueRows() {
    return report::MemoryDataSource({QStringLiteral("gmjg"), QStringLiteral("ynum"),
                                     QStringLiteral("yue"), QStringLiteral("cz"),
                                     QStringLiteral("ybf")});
}

QString cell(const QString& expression, const report::MemoryDataSource& rows, int row = 0) {
    report::Expression e(expression);
    EXPECT_TRUE(e.ok()) << e.error().toStdString();
    e.bind(&rows);
    return e.evaluate(row).toText();
}

QString total(const QString& expression, const report::MemoryDataSource& rows) {
    report::Expression e(expression);
    EXPECT_TRUE(e.ok()) << e.error().toStdString();
    e.bind(&rows);
    for (int row = 0; row < rows.count(); ++row) e.accumulate(row);
    return e.evaluate(rows.count() - 1).toText();
}

TEST(ReportExpressions, ThirteenMonthsOfSixtyRounds) {
    report::MemoryDataSource rows = valueRows();
    rows.addRow({1000.00, 13, 60, 5, false});
    // 205.8333 rounds to 205.83, the net value 794.1667 to 794.17.
    EXPECT_EQ(cell(kDepreciationCell, rows), QStringLiteral("205.83"));
    EXPECT_EQ(cell(kNetValueCell, rows), QStringLiteral("794.17"));
    EXPECT_EQ(cell(kOriginalValueCell, rows), QStringLiteral("1000.00"));
}

TEST(ReportExpressions, RoundWhereTheWindowTruncates) {
    report::MemoryDataSource rows = valueRows();
    // 95 * 13 * 1300 / 60 / 100 = 267.5833: the same two decimals either way.
    rows.addRow({1300.00, 13, 60, 5, false});
    EXPECT_EQ(cell(kDepreciationCell, rows, 0), QStringLiteral("267.58"));
    EXPECT_EQ(centsText(windowFigures(1300.00, 13, 60, 5, false).depreciation),
              QStringLiteral("267.58"));
    // 205.836 shows as 205.84 in a report and 205.83 in the window.
    report::MemoryDataSource odd = valueRows();
    odd.addRow({1000.03, 13, 60, 5, false});
    EXPECT_EQ(cell(kDepreciationCell, odd), QStringLiteral("205.84"));
    EXPECT_EQ(centsText(windowFigures(1000.03, 13, 60, 5, false).depreciation),
              QStringLiteral("205.83"));
}

TEST(ReportExpressions, BranchesAgreeAtTheEndOfTheLife) {
    report::MemoryDataSource rows = valueRows();
    rows.addRow({2400.00, 60, 60, 5, false});
    rows.addRow({2400.00, 61, 60, 5, false});
    rows.addRow({2400.00, 0, 60, 5, true});
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(cell(kDepreciationCell, rows, row), QStringLiteral("2280.00")) << row;
        EXPECT_EQ(cell(kNetValueCell, rows, row), QStringLiteral("120.00")) << row;
    }
}

TEST(ReportExpressions, RatesAndFutureDates) {
    report::MemoryDataSource rows = valueRows();
    rows.addRow({880.00, 70, 36, 100, false});
    rows.addRow({360.00, 36, 36, 0, false});
    rows.addRow({1200.00, -2, 60, 5, false});
    EXPECT_EQ(cell(kDepreciationCell, rows, 0), QStringLiteral("0.00"));
    EXPECT_EQ(cell(kNetValueCell, rows, 0), QStringLiteral("880.00"));
    EXPECT_EQ(cell(kNetValueCell, rows, 1), QStringLiteral("0.00"));
    EXPECT_EQ(cell(kDepreciationCell, rows, 2), QStringLiteral("-38.00"));
    EXPECT_EQ(cell(kNetValueCell, rows, 2), QStringLiteral("1238.00"));
}

TEST(ReportExpressions, TotalsRoundOnceAfterSumming) {
    // Two depreciations of 0.004 each: every cell shows 0.00, the total 0.01.
    report::MemoryDataSource rows = valueRows();
    rows.addRow({0.24, 1, 60, 0, false});
    rows.addRow({0.24, 1, 60, 0, false});
    EXPECT_EQ(cell(kDepreciationCell, rows, 0), QStringLiteral("0.00"));
    EXPECT_EQ(cell(kDepreciationCell, rows, 1), QStringLiteral("0.00"));
    EXPECT_EQ(total(kTotalDepreciationLine, rows), QStringLiteral("总计折旧：0.01元(RMB)"));
    EXPECT_EQ(total(kTotalNetValueLine, rows), QStringLiteral("总计净值：0.47元(RMB)"));
    EXPECT_EQ(total(kOriginalValueTotal, rows), QStringLiteral("0.48"));
    EXPECT_EQ(total(kNetValueTotal, rows), QStringLiteral("0.47"));
}

// ---- the asset query on a real database ------------------------------------------------------

class AssetQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::set(QDateTime(QDate(2024, 5, 20), QTime(10, 0)));
        state = install.signedIn();
        db::Connection& c = *state->current;
        c.execute(QStringLiteral("insert into syq (qx,yue) values ('5年',60)"));
        c.execute(QStringLiteral("insert into sortproc (sort,title,cz) values ('电脑','JSJ',5)"));
        c.execute(QStringLiteral("insert into sortproc (sort,title,cz) values ('房屋','FW',100)"));
    }
    void TearDown() override { Clock::set(QDateTime()); }

    void addAsset(const QString& prefix, int num, const QString& category, const QString& life,
                  const QDate& bought, double price, bool scrapped = false) {
        state->current->execute(
            QStringLiteral("insert into sbjl (id,num,zclb,sbmc,bxq,gmrq,gmjg,ybf) values "
                           "('%1',%2,'%3','台式计算机','%4',#%5#,%6,%7)")
                .arg(prefix)
                .arg(num)
                .arg(category, life, bought.toString(QStringLiteral("MM/dd/yyyy")))
                .arg(price, 0, 'f', 2)
                .arg(scrapped ? QStringLiteral("true") : QStringLiteral("false")));
    }

    test::TestInstallation install;
    std::unique_ptr<AppState> state;
};

TEST_F(AssetQueryTest, CarriesTheValueInputs) {
    addAsset(QStringLiteral("JSJ-"), 9, QStringLiteral("电脑"), QStringLiteral("5年"),
             QDate(2023, 4, 30), 1000.00);
    db::RowSet rows(*state->current, kAssetQuery);
    rows.open();
    ASSERT_EQ(rows.count(), 1);
    // April 2023 to May 2024 is 13 calendar months, whatever the days.
    EXPECT_EQ(rows.integer(QStringLiteral("ynum")), 13);
    EXPECT_EQ(rows.text(QStringLiteral("bh")), QStringLiteral("JSJ-9"));
    EXPECT_EQ(rows.integer(QStringLiteral("yue")), 60);
    EXPECT_EQ(rows.integer(QStringLiteral("cz")), 5);
    const ValueFigures f =
        windowFigures(rows.number(QStringLiteral("gmjg")), rows.integer(QStringLiteral("ynum")),
                      rows.integer(QStringLiteral("yue")), rows.integer(QStringLiteral("cz")),
                      rows.yesNo(QStringLiteral("ybf")));
    EXPECT_EQ(depreciationLine(f), QStringLiteral("折旧：205.83元"));
}

TEST_F(AssetQueryTest, MonthsInUseFollowTheCalendarMonth) {
    addAsset(QStringLiteral("JSJ-"), 1, QStringLiteral("电脑"), QStringLiteral("5年"),
             QDate(2024, 5, 31), 100.00);
    addAsset(QStringLiteral("JSJ-"), 2, QStringLiteral("电脑"), QStringLiteral("5年"),
             QDate(2024, 4, 30), 100.00);
    addAsset(QStringLiteral("JSJ-"), 3, QStringLiteral("电脑"), QStringLiteral("5年"),
             QDate(2024, 7, 1), 100.00);
    addAsset(QStringLiteral("JSJ-"), 4, QStringLiteral("电脑"), QStringLiteral("5年"),
             QDate(2019, 5, 1), 100.00);
    db::RowSet rows(*state->current, kAssetQuery + QStringLiteral(" order by ID1 asc"));
    rows.open();
    QList<int> months;
    for (rows.first(); !rows.eof(); rows.next()) months << rows.integer(QStringLiteral("ynum"));
    EXPECT_EQ(months, (QList<int>{0, 1, -2, 60}));
}

TEST_F(AssetQueryTest, PastServiceLifeMeansStrictlyMoreMonths) {
    addAsset(QStringLiteral("JSJ-"), 1, QStringLiteral("电脑"), QStringLiteral("5年"),
             QDate(2019, 5, 1), 100.00);  // 60 months: at its life
    addAsset(QStringLiteral("JSJ-"), 2, QStringLiteral("电脑"), QStringLiteral("5年"),
             QDate(2019, 4, 1), 100.00);  // 61 months
    addAsset(QStringLiteral("JSJ-"), 3, QStringLiteral("电脑"), QStringLiteral("5年"),
             QDate(2024, 4, 1), 100.00, true);  // scrapped, young
    db::RowSet rows(*state->current, kAssetQuery + kPastServiceLifeCondition);
    rows.open();
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.integer(QStringLiteral("num")), 2);
}

TEST_F(AssetQueryTest, AssetsOutsideTheDictionaryAreInNoList) {
    addAsset(QStringLiteral("JSJ-"), 1, QStringLiteral("电脑"), QStringLiteral("5年"),
             QDate(2020, 1, 1), 100.00);
    addAsset(QStringLiteral("JSJ-"), 2, QStringLiteral("电脑"), QStringLiteral("9年"),
             QDate(2020, 1, 1), 100.00);
    addAsset(QStringLiteral("XX-"), 3, QStringLiteral("未知类别"), QStringLiteral("5年"),
             QDate(2020, 1, 1), 100.00);
    db::RowSet rows(*state->current, kAssetQuery);
    rows.open();
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.text(QStringLiteral("bh")), QStringLiteral("JSJ-1"));
}

TEST_F(AssetQueryTest, ReportCellsOverQueryRows) {
    addAsset(QStringLiteral("FW-"), 1, QStringLiteral("房屋"), QStringLiteral("5年"),
             QDate(2010, 1, 1), 380000.00);
    addAsset(QStringLiteral("JSJ-"), 2, QStringLiteral("电脑"), QStringLiteral("5年"),
             QDate(2023, 4, 2), 1000.00);
    db::RowSet rows(*state->current, kAssetQuery + QStringLiteral(" order by ID1 asc"));
    rows.open();
    report::MemoryDataSource data = valueRows();
    for (rows.first(); !rows.eof(); rows.next()) {
        data.addRow({rows.number(QStringLiteral("gmjg")), rows.integer(QStringLiteral("ynum")),
                     rows.integer(QStringLiteral("yue")), rows.integer(QStringLiteral("cz")),
                     rows.yesNo(QStringLiteral("ybf"))});
    }
    ASSERT_EQ(data.count(), 2);
    EXPECT_EQ(cell(kNetValueCell, data, 0), QStringLiteral("380000.00"));
    EXPECT_EQ(cell(kDepreciationCell, data, 1), QStringLiteral("205.83"));
    EXPECT_EQ(total(kTotalNetValueLine, data), QStringLiteral("总计净值：380794.17元(RMB)"));
}

}  // namespace
}  // namespace fx::reports
