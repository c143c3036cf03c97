#include <QStringList>

#include "dberror.h"
#include "rowset.h"
#include "stocktake.h"
#include "stocktakefixture.h"

namespace fx::stocktake::test {
namespace {

struct ScopeCase {
    const char* label;
    Scope scope;
    QList<int> serials;
};

class ScopeOfStocktake : public StocktakeTest, public ::testing::WithParamInterface<ScopeCase> {};

QList<int> snapshotSerials(db::Connection& c, int id) {
    db::RowSet r(c, QStringLiteral("select sid from pdmx where pdid=%1 order by sid").arg(id));
    r.open();
    QList<int> out;
    for (; !r.eof(); r.next()) out << r.integer(QStringLiteral("sid"));
    return out;
}

TEST_P(ScopeOfStocktake, SnapshotHoldsTheAssetsInScopeButNotTheScrapped) {
    const Stocktake s = create(db(), QString::fromUtf8(GetParam().label), GetParam().scope,
                               QStringLiteral("系统管理员"), kToday);
    EXPECT_EQ(snapshotSerials(db(), s.id), GetParam().serials);
    EXPECT_EQ(s.expected, int(GetParam().serials.size()));
    EXPECT_TRUE(s.isOpen());
    EXPECT_EQ(s.created, kToday);
}

INSTANTIATE_TEST_SUITE_P(
    Scopes, ScopeOfStocktake,
    ::testing::Values(
        ScopeCase{"全部", {ScopeKind::Whole, {}, {}}, {1, 2, 3, 4, 6}},
        // A department holds its locations' assets and those of its people.
        ScopeCase{"部门", {ScopeKind::Department, QStringLiteral("财务处"), {}}, {1, 2, 4}},
        ScopeCase{"位置", {ScopeKind::Place, QStringLiteral("财务处"), {}}, {1, 2}},
        ScopeCase{"类别", {ScopeKind::Category, QStringLiteral("电脑"), {}}, {1, 2, 3}},
        ScopeCase{"查询结果", {ScopeKind::Serials, {}, {6, 5, 3}}, {3, 6}},
        ScopeCase{"空查询", {ScopeKind::Serials, {}, {}}, {}},
        ScopeCase{"撇号", {ScopeKind::Place, QStringLiteral("O'Brien"), {}}, {}}));

TEST_F(StocktakeTest, SnapshotKeepsPlaceCustodianAndWhereToFindIt) {
    const Stocktake s =
        create(db(), QStringLiteral("a"), {ScopeKind::Whole, {}, {}}, QStringLiteral("u"), kToday);
    db::RowSet r(db(), QStringLiteral("select * from pdmx where pdid=%1 and sid=4").arg(s.id));
    r.open();
    ASSERT_FALSE(r.eof());
    EXPECT_EQ(r.text(QStringLiteral("bh")), QStringLiteral("BGZ-1"));
    EXPECT_EQ(r.text(QStringLiteral("wz")), QStringLiteral("张三"));
    EXPECT_EQ(r.text(QStringLiteral("bgr")), QStringLiteral("张三"));
    // Held by a person: to be found in the person's department.
    EXPECT_EQ(r.text(QStringLiteral("dd")), QStringLiteral("财务处"));
    // A later transfer does not change the snapshot.
    db().executeNative(QStringLiteral("update sbjl set wz='教务处' where ID1=1"));
    EXPECT_EQ(text(QStringLiteral("select dd from pdmx where sid=1")), QStringLiteral("财务处"));
}

TEST_F(StocktakeTest, NamesAreRequiredAndUnique) {
    create(db(), QStringLiteral("年度盘点"), {}, QStringLiteral("u"), kToday);
    EXPECT_THROW(create(db(), QStringLiteral(" 年度盘点 "), {}, QStringLiteral("u"), kToday),
                 db::DbError);
    EXPECT_THROW(create(db(), QStringLiteral("  "), {}, QStringLiteral("u"), kToday), db::DbError);
    // Nothing of the refused ones is left behind.
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from pdrw")), 1);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from pdmx")), 5);
}

TEST_F(StocktakeTest, DefaultNameIsYearAndMonth) {
    EXPECT_EQ(defaultName(QDate(2026, 3, 31)), QStringLiteral("2026年3月盘点"));
    EXPECT_EQ(defaultName(QDate(2026, 12, 1)), QStringLiteral("2026年12月盘点"));
}

TEST_F(StocktakeTest, ListFindAndEnd) {
    const Stocktake a = create(db(), QStringLiteral("一"), {}, QStringLiteral("u"), kToday);
    const Stocktake b =
        create(db(), QStringLiteral("二"), {ScopeKind::Category, QStringLiteral("家具"), {}},
               QStringLiteral("u"), kToday);
    const auto all = list(db());
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].name, QStringLiteral("二"));
    EXPECT_EQ(scopeText(all[0]), QStringLiteral("类别：家具"));
    EXPECT_EQ(scopeText(all[1]), QStringLiteral("全部资产"));
    EXPECT_EQ(find(db(), QStringLiteral("一")).id, a.id);
    EXPECT_THROW(find(db(), QStringLiteral("三")), db::DbError);

    end(db(), b.id, kToday);
    EXPECT_FALSE(byId(db(), b.id).isOpen());
    EXPECT_EQ(byId(db(), b.id).ended, kToday);
    // Ending again keeps the first day.
    end(db(), b.id, kToday.addDays(3));
    EXPECT_EQ(byId(db(), b.id).ended, kToday);
    EXPECT_TRUE(byId(db(), a.id).isOpen());
}

}  // namespace
}  // namespace fx::stocktake::test
