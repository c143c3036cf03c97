#include "scan.h"
#include "dberror.h"
#include "stocktake.h"
#include "stocktakefixture.h"

namespace fx::stocktake::test {
namespace {

class ScanTest : public StocktakeTest {
protected:
    void SetUp() override {
        StocktakeTest::SetUp();
        // The department 财务处: JSJ-1, JSJ-2 (at 财务处) and BGZ-1 (held by 张三 of 财务处).
        take_ = create(db(), QStringLiteral("财务处盘点"),
                       {ScopeKind::Department, QStringLiteral("财务处"), {}},
                       QStringLiteral("系统管理员"), kToday);
    }
    ScanOutcome scan(const QString& code, const QString& place = QStringLiteral("财务处")) {
        return recordScan(db(), take_.id, code, place, QStringLiteral("盘点员"), at(minute_++));
    }
    QString registerDump() {
        return db()
            .queryValue(QStringLiteral("select group_concat(ID1||wz||bgr||ybf, ';') from "
                                       "sbjl"))
            .toString();
    }

    Stocktake take_;
    int minute_ = 0;
};

struct ScanCase {
    const char* code;
    const char* place;
    ScanResult result;
    int serial;
    const char* expectedPlace;
};

class EachScanResult : public ScanTest, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(EachScanResult, IsJudgedAndRecorded) {
    const ScanCase& c = GetParam();
    const ScanOutcome o = scan(QString::fromUtf8(c.code), QString::fromUtf8(c.place));
    EXPECT_EQ(o.result, c.result) << resultText(o.result).toStdString();
    EXPECT_EQ(o.serial, c.serial);
    EXPECT_EQ(o.expectedPlace, QString::fromUtf8(c.expectedPlace));
    EXPECT_EQ(o.foundPlace, QString::fromUtf8(c.place));
    EXPECT_EQ(text(QStringLiteral("select jg from pdsm where smid=%1").arg(o.scanId)),
              resultText(c.result));
}

INSTANTIATE_TEST_SUITE_P(
    Results, EachScanResult,
    ::testing::Values(ScanCase{"JSJ-1", "财务处", ScanResult::Found, 1, "财务处"},
                      // No place being checked: found wherever it is.
                      ScanCase{"JSJ-2", "", ScanResult::Found, 2, "财务处"},
                      // Typed in lower case, with blanks around it.
                      ScanCase{" jsj-1 ", "财务处", ScanResult::Found, 1, "财务处"},
                      ScanCase{"JSJ-2", "教务处", ScanResult::Misplaced, 2, "财务处"},
                      // Held by a person: the person's department is where it belongs.
                      ScanCase{"BGZ-1", "财务处", ScanResult::Found, 4, "财务处"},
                      ScanCase{"JSJ-3", "财务处", ScanResult::OutOfScope, 3, "教务处"},
                      // Scrapped assets are left out of every stocktake.
                      ScanCase{"BGZ-2", "财务处", ScanResult::OutOfScope, 5, "财务处"},
                      ScanCase{"XYZ-99", "财务处", ScanResult::Surplus, 0, ""},
                      ScanCase{"JSJ-01x", "财务处", ScanResult::Surplus, 0, ""},
                      // Leading zeros of the tail name the same asset.
                      ScanCase{"JSJ-01", "财务处", ScanResult::Found, 1, "财务处"},
                      ScanCase{"O'Brien", "财务处", ScanResult::Surplus, 0, ""}));

TEST_F(ScanTest, SecondFindIsADuplicateAndCountsOnce) {
    EXPECT_EQ(scan(QStringLiteral("JSJ-1")).result, ScanResult::Found);
    EXPECT_EQ(scan(QStringLiteral("JSJ-1"), QStringLiteral("教务处")).result,
              ScanResult::Duplicate);
    EXPECT_EQ(scan(QStringLiteral("JSJ-2"), QStringLiteral("教务处")).result,
              ScanResult::Misplaced);
    EXPECT_EQ(scan(QStringLiteral("JSJ-2")).result, ScanResult::Duplicate);
    EXPECT_EQ(scan(QStringLiteral("NEW-1")).result, ScanResult::Surplus);
    EXPECT_EQ(scan(QStringLiteral("NEW-1")).result, ScanResult::Duplicate);
    const Counts n = counts(db(), take_.id);
    EXPECT_EQ(n.expected, 3);
    EXPECT_EQ(n.found, 2);
    EXPECT_EQ(n.misplaced, 1);
    EXPECT_EQ(n.surplus, 1);
    EXPECT_EQ(countsText(n), QStringLiteral("应盘 3 / 已盘 2 / 位置不符 1 / 账外 1"));
    // Every scan is a row of its own.
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from pdsm")), 6);
}

TEST_F(ScanTest, AScanInAnotherConnectionIsCountedInTheFirst) {
    auto other = openAnother();
    EXPECT_EQ(counts(db(), take_.id).found, 0);
    recordScan(*other, take_.id, QStringLiteral("JSJ-1"), QStringLiteral("财务处"),
               QStringLiteral("二组"), at(1));
    EXPECT_EQ(counts(db(), take_.id).found, 1);
    // The first workstation's scan of the same asset is the duplicate.
    EXPECT_EQ(scan(QStringLiteral("JSJ-1")).result, ScanResult::Duplicate);
    EXPECT_EQ(counts(*other, take_.id).found, 1);
}

TEST_F(ScanTest, ADeletedAssetIsShownAsSuch) {
    db().executeNative(QStringLiteral("delete from sbjl where ID1=2"));
    const ScanOutcome o = scan(QStringLiteral("JSJ-2"));
    EXPECT_EQ(o.result, ScanResult::Deleted);
    EXPECT_EQ(o.name, QStringLiteral("笔记本"));
    EXPECT_EQ(counts(db(), take_.id).found, 0);
}

TEST_F(ScanTest, ARenumberedAssetIsFoundByTheNumberOnItsLabel) {
    db().executeNative(QStringLiteral("update sbjl set num=9 where ID1=2"));
    const ScanOutcome o = scan(QStringLiteral("JSJ-2"));
    EXPECT_EQ(o.result, ScanResult::Found);
    EXPECT_EQ(o.serial, 2);
    EXPECT_EQ(scan(QStringLiteral("JSJ-9")).result, ScanResult::Duplicate);
}

TEST_F(ScanTest, ScansNeverChangeTheRegister) {
    const QString before = registerDump();
    for (const char* code : {"JSJ-1", "JSJ-2", "JSJ-3", "NEW-5", "BGZ-1"})
        scan(QString::fromLatin1(code), QStringLiteral("301室"));
    EXPECT_EQ(registerDump(), before);
}

TEST_F(ScanTest, UndoRemovesTheScan) {
    const ScanOutcome o = scan(QStringLiteral("JSJ-1"));
    undoScan(db(), take_.id, o.scanId);
    EXPECT_EQ(counts(db(), take_.id).found, 0);
    EXPECT_EQ(scan(QStringLiteral("JSJ-1")).result, ScanResult::Found);
}

TEST_F(ScanTest, SurplusKeepsWhatTheUserWrote) {
    const ScanOutcome o = scan(QStringLiteral("XYZ-1"));
    describeSurplus(db(), o.scanId, QStringLiteral(" 灰色投影仪，无标签 "));
    EXPECT_EQ(text(QStringLiteral("select bz from pdsm where smid=%1").arg(o.scanId)),
              QStringLiteral("灰色投影仪，无标签"));
}

TEST_F(ScanTest, AnEndedStocktakeTakesNoScansAndNoUndo) {
    const ScanOutcome o = scan(QStringLiteral("JSJ-1"));
    end(db(), take_.id, kToday);
    EXPECT_THROW(scan(QStringLiteral("JSJ-2")), db::DbError);
    EXPECT_THROW(undoScan(db(), take_.id, o.scanId), db::DbError);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from pdsm")), 1);
}

TEST_F(ScanTest, AnEmptyCodeIsRefused) {
    EXPECT_THROW(scan(QStringLiteral("  ")), db::DbError);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from pdsm")), 0);
}

TEST(PlaceLabel, NamesThePlaceAfterThePrefix) {
    EXPECT_EQ(placeOfLabel(QStringLiteral("位置:三楼机房")), QStringLiteral("三楼机房"));
    EXPECT_EQ(placeOfLabel(QStringLiteral(" 位置：财务处 ")), QStringLiteral("财务处"));
    EXPECT_FALSE(placeOfLabel(QStringLiteral("JSJ-1")).has_value());
    EXPECT_FALSE(placeOfLabel(QStringLiteral("x位置:财务处")).has_value());
}

}  // namespace
}  // namespace fx::stocktake::test
