#include <QStringList>

#include "results.h"
#include "scan.h"
#include "stocktake.h"
#include "stocktakefixture.h"

namespace fx::stocktake::test {
namespace {

QStringList numbers(const std::vector<AssetLine>& lines) {
    QStringList out;
    for (const AssetLine& a : lines) out << a.number;
    return out;
}

class ResultsTest : public StocktakeTest {
protected:
    void SetUp() override {
        StocktakeTest::SetUp();
        take_ = create(db(), QStringLiteral("全面盘点"), {}, QStringLiteral("u"), kToday);
    }
    void scan(const char* code, const char* place) {
        recordScan(db(), take_.id, QString::fromUtf8(code), QString::fromUtf8(place),
                   QStringLiteral("u"), at(minute_++));
    }
    Stocktake take_;
    int minute_ = 0;
};

TEST_F(ResultsTest, APartialWalkLeavesTheRestMissingWithTheirValue) {
    scan("JSJ-1", "财务处");
    scan("JSJ-3", "财务处");  // belongs to 教务处
    scan("JSJ-3", "教务处");  // the duplicate does not make it found in place
    scan("PRJ-7", "财务处");
    const Results r = results(db(), take_.id, kToday);
    EXPECT_EQ(numbers(r.found), QStringList{QStringLiteral("JSJ-1")});
    EXPECT_EQ(numbers(r.misplaced), QStringList{QStringLiteral("JSJ-3")});
    EXPECT_EQ(r.misplaced[0].foundPlace, QStringLiteral("财务处"));
    EXPECT_EQ(r.misplaced[0].expectedPlace, QStringLiteral("教务处"));
    EXPECT_EQ(r.misplaced[0].scanTime, QStringLiteral("2026-12-09 10:01:00"));
    // Asset-number order: prefix, then tail.
    EXPECT_EQ(numbers(r.missing), (QStringList{QStringLiteral("BGZ-1"), QStringLiteral("JSJ-2"),
                                               QStringLiteral("SBQ-1")}));
    ASSERT_EQ(r.surplus.size(), 1u);
    EXPECT_EQ(r.surplus[0].code, QStringLiteral("PRJ-7"));
    EXPECT_EQ(r.surplus[0].place, QStringLiteral("财务处"));

    // BGZ-1: 1200.00 over 120 months, 81 in use, no residual: net 390.00. JSJ-2: 8000.00 over
    // 60 months, 42 in use, 5 % residual: net 2680.00. SBQ-1 has no life row: no net value.
    EXPECT_EQ(r.missing[0].value.net, 39000);
    EXPECT_EQ(r.missing[1].value.net, 268000);
    EXPECT_EQ(r.missing[2].value.net, 0);
    EXPECT_EQ(r.missingOriginal, 120000 + 800000 + 2000000);
    EXPECT_EQ(r.missingNet, 39000 + 268000);
}

TEST_F(ResultsTest, EveryAssetIsInExactlyOneList) {
    scan("JSJ-2", "301室");
    scan("JSJ-2", "财务处");
    scan("BGZ-1", "");
    const Results r = results(db(), take_.id, kToday);
    EXPECT_EQ(r.found.size() + r.missing.size() + r.misplaced.size(), 5u);
    EXPECT_EQ(numbers(r.found), QStringList{QStringLiteral("BGZ-1")});
    EXPECT_EQ(numbers(r.misplaced), QStringList{QStringLiteral("JSJ-2")});
}

TEST_F(ResultsTest, ADeletedAssetStaysMissingWithoutValue) {
    db().executeNative(QStringLiteral("delete from sbjl where ID1=6"));
    const Results r = results(db(), take_.id, kToday);
    ASSERT_EQ(r.missing.size(), 5u);
    const AssetLine& gone = r.missing.back();
    EXPECT_EQ(gone.number, QStringLiteral("SBQ-1"));
    EXPECT_TRUE(gone.deleted);
    EXPECT_EQ(gone.value.original, 0);
}

TEST_F(ResultsTest, FollowUpRemarkIsKeptWithoutTouchingTheRegister) {
    setFollowUp(db(), take_.id, {2, 6}, QStringLiteral("请财务处核实"));
    const Results r = results(db(), take_.id, kToday);
    for (const AssetLine& a : r.missing)
        EXPECT_EQ(a.followUp,
                  a.serial == 2 || a.serial == 6 ? QStringLiteral("请财务处核实") : QString())
            << a.number.toStdString();
    EXPECT_EQ(text(QStringLiteral("select other from sbjl where ID1=2")), QString());
}

}  // namespace
}  // namespace fx::stocktake::test
