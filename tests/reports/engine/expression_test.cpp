#include <gtest/gtest.h>

#include "datasource.h"
#include "expression.h"
#include "testreports.h"

using fx::report::evaluateOnce;
using fx::report::Expression;
using fx::report::MemoryDataSource;
using fx::report::Value;

namespace {

// The depreciation texts exactly as the list reports and the summary table use them.
const QString kDepreciationCell = QStringLiteral(
    "FORMATNUMERIC('0.00',IF((ynum>yue) Or ybf,gmjg*(100-cz)/100,gmjg*ynum*(100-cz)/yue/100))");
const QString kNetValueCell = QStringLiteral(
    "FORMATNUMERIC('0.00',IF((ynum>yue) Or ybf,gmjg*cz/100,gmjg-gmjg*ynum*(100-cz)/yue/100))");
const QString kDepreciationTotal = QStringLiteral(
    "'总计折旧：'+FORMATNUMERIC('0.00',SUM(IF((ynum>yue) Or "
    "ybf,gmjg*(100-cz)/100,gmjg*ynum*(100-cz)/yue/100)))+'元(RMB)'");
const QString kNetValueTotal = QStringLiteral(
    "'总计净值：'+FORMATNUMERIC('0.00',SUM(IF((ynum>yue) Or "
    "ybf,gmjg*cz/100,gmjg-gmjg*ynum*(100-cz)/yue/100)))+'元(RMB)'");
const QString kOriginalCell = QStringLiteral("FORMATNUMERIC('0.00',gmjg)");
const QString kOriginalTotal = QStringLiteral("FORMATNUMERIC('0.00',SUM(gmjg))");
const QString kNetTotalPlain = QStringLiteral(
    "FORMATNUMERIC('0.00',SUM(IF((ynum>yue) Or ybf,gmjg*cz/100,gmjg-gmjg*ynum*(100-cz)/yue/"
    "100)))");

MemoryDataSource assets() {
    return MemoryDataSource({QStringLiteral("gmjg"), QStringLiteral("ynum"), QStringLiteral("yue"),
                             QStringLiteral("cz"), QStringLiteral("ybf")});
}

QString text(const QString& expression, const MemoryDataSource& data, int row = 0) {
    return evaluateOnce(expression, data, row).toText();
}

// Runs an aggregate expression over every row and gives its text after the last.
QString total(const QString& expression, const MemoryDataSource& data) {
    Expression e(expression);
    EXPECT_TRUE(e.ok()) << e.error().toStdString();
    e.bind(&data);
    for (int row = 0; row < data.count(); ++row) e.accumulate(row);
    return e.evaluate(data.count() - 1).toText();
}

}  // namespace

TEST(DepreciationExpressions, ThirteenMonthsOfSixty) {
    MemoryDataSource data = assets();
    data.addRow({1000.00, 13, 60, 5, false});
    EXPECT_EQ(text(kDepreciationCell, data), QStringLiteral("205.83"));
    EXPECT_EQ(text(kNetValueCell, data), QStringLiteral("794.17"));
    EXPECT_EQ(text(kOriginalCell, data), QStringLiteral("1000.00"));
}

TEST(DepreciationExpressions, BoughtThisMonth) {
    MemoryDataSource data = assets();
    data.addRow({2500.00, 0, 60, 5, false});
    EXPECT_EQ(text(kDepreciationCell, data), QStringLiteral("0.00"));
    EXPECT_EQ(text(kNetValueCell, data), QStringLiteral("2500.00"));
}

TEST(DepreciationExpressions, AtTheEndOfLifeBothBranchesAgree) {
    MemoryDataSource data = assets();
    data.addRow({1000.00, 60, 60, 5, false});  // second branch
    data.addRow({1000.00, 61, 60, 5, false});  // first branch: stops growing
    EXPECT_EQ(text(kDepreciationCell, data, 0), QStringLiteral("950.00"));
    EXPECT_EQ(text(kDepreciationCell, data, 1), QStringLiteral("950.00"));
    EXPECT_EQ(text(kNetValueCell, data, 0), QStringLiteral("50.00"));
    EXPECT_EQ(text(kNetValueCell, data, 1), QStringLiteral("50.00"));
}

TEST(DepreciationExpressions, ScrappedAssetIsFullyDepreciated) {
    MemoryDataSource data = assets();
    data.addRow({1000.00, 0, 60, 5, true});
    data.addRow({1000.00, 0, 60, 5, 1});  // the database's yes/no as a number
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(text(kDepreciationCell, data, row), QStringLiteral("950.00"));
        EXPECT_EQ(text(kNetValueCell, data, row), QStringLiteral("50.00"));
    }
}

TEST(DepreciationExpressions, ResidualRatesHundredAndZero) {
    MemoryDataSource data = assets();
    data.addRow({800.00, 30, 60, 100, false});
    data.addRow({600.00, 1, 12, 0, false});
    data.addRow({600.00, 13, 12, 0, false});
    EXPECT_EQ(text(kDepreciationCell, data, 0), QStringLiteral("0.00"));
    EXPECT_EQ(text(kNetValueCell, data, 0), QStringLiteral("800.00"));
    EXPECT_EQ(text(kDepreciationCell, data, 1), QStringLiteral("50.00"));
    EXPECT_EQ(text(kNetValueCell, data, 2), QStringLiteral("0.00"));
}

TEST(DepreciationExpressions, PurchaseInALaterMonthGivesNegativeDepreciation) {
    MemoryDataSource data = assets();
    data.addRow({1000.00, -2, 60, 5, false});
    EXPECT_EQ(text(kDepreciationCell, data), QStringLiteral("-31.67"));
    EXPECT_EQ(text(kNetValueCell, data), QStringLiteral("1031.67"));
}

TEST(DepreciationExpressions, ZeroLifeDoesNotFail) {
    MemoryDataSource data = assets();
    data.addRow({1000.00, 0, 0, 5, false});
    data.addRow({1000.00, -1, 0, 5, false});
    EXPECT_EQ(text(kDepreciationCell, data, 0), QStringLiteral("0.00"));
    EXPECT_EQ(text(kNetValueCell, data, 0), QStringLiteral("1000.00"));
    EXPECT_EQ(text(kDepreciationCell, data, 1), QStringLiteral("0.00"));
}

TEST(DepreciationExpressions, TotalsRoundOnceAfterSumming) {
    MemoryDataSource data = assets();
    // Scrapped, price 0.08 at a residual rate of 95: 0.004 of depreciation each.
    data.addRow({0.08, 3, 60, 95, true});
    data.addRow({0.08, 3, 60, 95, true});
    EXPECT_EQ(text(kDepreciationCell, data, 0), QStringLiteral("0.00"));
    EXPECT_EQ(text(kDepreciationCell, data, 1), QStringLiteral("0.00"));
    EXPECT_EQ(total(kDepreciationTotal, data), QStringLiteral("总计折旧：0.01元(RMB)"));
    EXPECT_EQ(total(kNetValueTotal, data), QStringLiteral("总计净值：0.15元(RMB)"));
}

TEST(DepreciationExpressions, SummaryTableTotals) {
    MemoryDataSource data = assets();
    data.addRow({1000.00, 13, 60, 5, false});
    data.addRow({499.99, 61, 60, 5, false});
    data.addRow({0.01, 0, 60, 5, false});
    EXPECT_EQ(total(kOriginalTotal, data), QStringLiteral("1500.00"));
    // 794.1666… + 24.9995 + 0.01
    EXPECT_EQ(total(kNetTotalPlain, data), QStringLiteral("819.18"));
    EXPECT_EQ(total(QStringLiteral("'总共：'+sum(1)+'件'"), data), QStringLiteral("总共：3件"));
    EXPECT_EQ(total(QStringLiteral("COUNT()+'件'"), data), QStringLiteral("3件"));
}

TEST(Expressions, NamesIgnoreCase) {
    MemoryDataSource data = assets();
    data.addRow({12.345, 1, 1, 0, false});
    EXPECT_EQ(text(QStringLiteral("formatnumeric('0.00',GMJG)"), data), QStringLiteral("12.35"));
    EXPECT_EQ(text(QStringLiteral("FormatNumeric('0.0',Gmjg*2)"), data), QStringLiteral("24.7"));
    EXPECT_EQ(total(QStringLiteral("Sum(gmjg)+count()"), data), QStringLiteral("13.345"));
    EXPECT_EQ(text(QStringLiteral("if(ynum=1 AND not ybf,'是','否')"), data), QStringLiteral("是"));
}

TEST(Expressions, PlusJoinsTextsAndAddsNumbers) {
    MemoryDataSource data = assets();
    data.addRow({1000.0, 13, 60, 5, false});
    EXPECT_EQ(text(QStringLiteral("1+2*3"), data), QStringLiteral("7"));
    EXPECT_EQ(text(QStringLiteral("(1+2)*3"), data), QStringLiteral("9"));
    EXPECT_EQ(text(QStringLiteral("'共'+ynum+'月'"), data), QStringLiteral("共13月"));
    EXPECT_EQ(text(QStringLiteral("ynum+yue+'个'"), data), QStringLiteral("73个"));
    EXPECT_EQ(text(QStringLiteral("'It''s '+gmjg/8"), data), QStringLiteral("It's 125"));
    EXPECT_EQ(text(QStringLiteral("-ynum-1"), data), QStringLiteral("-14"));
    EXPECT_EQ(text(QStringLiteral("7/2"), data), QStringLiteral("3.5"));
    EXPECT_EQ(text(QStringLiteral("7/0"), data), QStringLiteral("0"));
}

TEST(Expressions, ComparisonsAndLogic) {
    MemoryDataSource data({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("s")});
    data.addRow({5, 3, QStringLiteral("abc")});
    auto truth = [&](const char* e) {
        return evaluateOnce(QString::fromUtf8(e), data, 0).toBool();
    };
    EXPECT_TRUE(truth("a>b"));
    EXPECT_FALSE(truth("a<b"));
    EXPECT_TRUE(truth("a>=5"));
    EXPECT_TRUE(truth("b<=3"));
    EXPECT_TRUE(truth("a<>b"));
    EXPECT_TRUE(truth("s='abc'"));
    EXPECT_TRUE(truth("s>'abb'"));
    EXPECT_TRUE(truth("(a>b) Or (b>a)"));
    EXPECT_FALSE(truth("(a>b) And (b>a)"));
    EXPECT_TRUE(truth("Not (a<b)"));
    EXPECT_TRUE(truth("a>b and b>2 or a>100"));
    EXPECT_TRUE(truth("True"));
    EXPECT_EQ(evaluateOnce(QStringLiteral("a>b"), data, 0), Value::boolean(true));
}

TEST(Expressions, IfTakesOnlyItsBranch) {
    MemoryDataSource data({QStringLiteral("n")});
    data.addRow({0});
    data.addRow({4});
    const QString e = QStringLiteral("IF(n>0, 12/n, '无')");
    EXPECT_EQ(text(e, data, 0), QStringLiteral("无"));
    EXPECT_EQ(text(e, data, 1), QStringLiteral("3"));
}

TEST(Expressions, UnknownFieldReadsAsNothing) {
    MemoryDataSource data({QStringLiteral("gmjg")});
    data.addRow({10.0});
    EXPECT_TRUE(evaluateOnce(QStringLiteral("e1"), data, 0).isNull());
    EXPECT_EQ(text(QStringLiteral("e1+gmjg"), data), QStringLiteral("10"));
    EXPECT_EQ(text(QStringLiteral("'['+e1+']'"), data), QStringLiteral("[]"));
    // No record at all (an empty list's summary): fields read as nothing too.
    EXPECT_TRUE(evaluateOnce(QStringLiteral("gmjg"), data, -1).isNull());
}

TEST(Expressions, EmptyTextPrintsNothing) {
    Expression e(QStringLiteral("   "));
    EXPECT_TRUE(e.ok());
    EXPECT_TRUE(e.isEmpty());
    EXPECT_TRUE(e.evaluate(0).isNull());
}

TEST(Expressions, AggregatesRestartWhenReset) {
    MemoryDataSource data({QStringLiteral("x")});
    for (int i = 1; i <= 4; ++i) data.addRow({i});
    Expression e(QStringLiteral("SUM(x)+'/'+COUNT()"));
    e.bind(&data);
    EXPECT_EQ(e.evaluate(-1).toText(), QStringLiteral("0/0"));
    e.accumulate(0);
    e.accumulate(1);
    EXPECT_EQ(e.evaluate(1).toText(), QStringLiteral("3/2"));
    e.resetAggregates();
    e.accumulate(2);
    e.accumulate(3);
    EXPECT_EQ(e.evaluate(3).toText(), QStringLiteral("7/2"));
}

TEST(Expressions, MalformedTextsAreRefusedWithAPosition) {
    struct Case {
        const char* text;
        int position;
    };
    const Case cases[] = {
        {"IF(1,2)", 0}, {"'abc", 0}, {"1 +", 3},   {"SUM(SUM(x))", 4},           {"FOO(1)", 0},
        {"(1+2", 4},    {"1 2", 2},  {"a # b", 2}, {"FORMATNUMERIC('0.00')", 0},
    };
    for (const Case& c : cases) {
        Expression e(QString::fromUtf8(c.text));
        EXPECT_FALSE(e.ok()) << c.text;
        EXPECT_EQ(e.errorPosition(), c.position) << c.text;
        EXPECT_FALSE(e.error().isEmpty());
        EXPECT_TRUE(e.evaluate(0).isNull());
    }
}
