#include <gtest/gtest.h>

#include "connection.h"
#include "dberror.h"
#include "depreciation.h"
#include "queryfixture.h"
#include "resultmodel.h"
#include "resulttable.h"

namespace fx::test {
namespace {

using query::ResultTable;
using Kind = query::ResultTable::Kind;

class ResultTableTest : public QueryTest {};

TEST_F(ResultTableTest, HoldsTheAssetQueryWithKindsAndDisplayTexts) {
    addStandardAssets();
    app->current->execute(QStringLiteral("update sbjl set sbpz='i5/8G' where num=1 and id='JSJ-'"));
    ResultTable t;
    t.load(*app->current, reports::kAssetQuery + QStringLiteral(" order by ID1 asc"));
    ASSERT_EQ(t.rowCount(), 12);
    EXPECT_EQ(t.fieldNames().first(), QStringLiteral("ynum"));
    EXPECT_EQ(t.fieldIndex(QStringLiteral("GMJG")), t.fieldIndex(QStringLiteral("gmjg")));
    EXPECT_EQ(t.fieldIndex(QStringLiteral("nosuchfield")), -1);

    const int ynum = t.fieldIndex(QStringLiteral("ynum"));
    const int bh = t.fieldIndex(QStringLiteral("bh"));
    const int price = t.fieldIndex(QStringLiteral("gmjg"));
    const int bought = t.fieldIndex(QStringLiteral("gmrq"));
    const int worp = t.fieldIndex(QStringLiteral("worp"));
    const int config = t.fieldIndex(QStringLiteral("sbpz"));
    const int pzrq = t.fieldIndex(QStringLiteral("pzrq"));
    EXPECT_EQ(t.fieldKind(ynum), Kind::Integer);
    EXPECT_EQ(t.fieldKind(bh), Kind::Text);
    EXPECT_EQ(t.fieldKind(price), Kind::Number);
    EXPECT_EQ(t.fieldKind(bought), Kind::Date);
    EXPECT_EQ(t.fieldKind(worp), Kind::YesNo);

    EXPECT_EQ(t.integer(0, ynum), 13);
    EXPECT_EQ(t.displayText(0, bh), QStringLiteral("JSJ-1"));
    EXPECT_EQ(t.displayText(0, price), QStringLiteral("1000.00"));
    EXPECT_DOUBLE_EQ(t.number(1, price), 300.0);
    EXPECT_EQ(t.displayText(0, bought), QStringLiteral("2023-05-10"));
    EXPECT_EQ(t.displayText(0, worp), QStringLiteral("是"));
    EXPECT_EQ(t.displayText(1, worp), QStringLiteral("否"));
    EXPECT_TRUE(t.yesNo(0, worp));
    EXPECT_EQ(t.text(0, config), QStringLiteral("i5/8G"));
    EXPECT_EQ(t.displayText(0, pzrq), QString());  // null shows nothing
}

TEST_F(ResultTableTest, RefusedStatementKeepsTheRowsItHad) {
    addStandardAssets();
    ResultTable t;
    t.load(*app->current, QStringLiteral("select ID1 from sbjl"));
    ASSERT_EQ(t.rowCount(), 12);
    EXPECT_THROW(t.load(*app->current, QStringLiteral("select ID1 from sbjl order by nosuch")),
                 db::DbError);
    EXPECT_EQ(t.rowCount(), 12);
    EXPECT_EQ(t.fieldCount(), 1);
    try {
        t.load(*app->current, QStringLiteral("select nosuch from sbjl"));
        FAIL() << "no error";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("nosuch"))) << e.message().toStdString();
    }
}

TEST_F(ResultTableTest, EmptyResultsAndClearing) {
    ResultTable t;
    t.load(*app->current, QStringLiteral("select * from sbjl where ID1=-1"));
    EXPECT_EQ(t.rowCount(), 0);
    EXPECT_GT(t.fieldCount(), 10);
    t.clear();
    EXPECT_EQ(t.fieldCount(), 0);
}

TEST_F(ResultTableTest, ModelShowsLayoutColumnsAndBlankForMissingFields) {
    addStandardAssets();
    ResultTable t;
    t.load(*app->current, reports::kAssetQuery + QStringLiteral(" order by ID1 asc"));
    query::ResultModel model;
    model.setTable(std::move(t));
    using A = query::LayoutColumn::Align;
    model.setColumns({{QStringLiteral("bh"), QStringLiteral("编号"), 80, A::Left, true},
                      {QStringLiteral("gmjg"), QStringLiteral("购买价格"), 80, A::Right, true},
                      {QStringLiteral("nosuch"), QStringLiteral("无此字段"), 80, A::Left, true}});
    EXPECT_EQ(model.rowCount(), 12);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.data(model.index(9, 0), Qt::DisplayRole).toString(), QStringLiteral("JSJ-10"));
    EXPECT_EQ(model.data(model.index(9, 1), Qt::DisplayRole).toString(), QStringLiteral("400.00"));
    EXPECT_EQ(model.data(model.index(9, 2), Qt::DisplayRole).toString(), QString());
    EXPECT_EQ(model.fieldOf(2), -1);
    EXPECT_EQ(model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("购买价格"));
    model.setTitle(1, QStringLiteral("购买价格 ↑"));
    EXPECT_EQ(model.title(1), QStringLiteral("购买价格 ↑"));
    EXPECT_FALSE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
}

}  // namespace
}  // namespace fx::test
