#include <gtest/gtest.h>

#include <QDateTime>

#include "clock.h"
#include "connection.h"
#include "depreciation.h"
#include "displaylist.h"
#include "layout.h"
#include "rowsource.h"
#include "summaryform.h"
#include "testinstallation.h"

namespace fx::reports {
namespace {

using Level = SummaryOptions::AssetLevel;
using Storage = SummaryOptions::StorageLevel;

// The texts an item printed, page after page.
QStringList textsOf(const report::Document& doc, const QString& item) {
    QStringList texts;
    for (const report::Page& page : doc.pages)
        for (const report::Primitive& p : page.primitives)
            if (p.kind == report::Primitive::Kind::Text && p.item == item) texts << p.text;
    return texts;
}

QStringList bandsOf(const report::Document& doc, const QString& band) {
    QStringList found;
    for (const report::Page& page : doc.pages)
        for (const report::BandPlacement& b : page.bands)
            if (b.band == band) found << b.band;
    return found;
}

TEST(SummaryQuery, DepartmentQueryTakesTheConditionsOfTheLastQuery) {
    const QString base = kAssetQuery + QStringLiteral(" and not ybf");
    SummaryOptions o;  // category outer, by department
    EXPECT_EQ(*summaryQuery(base, o),
              QStringLiteral(
                  "select sbjl.wz AS bmmc,(YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq) AS "
                  "ynum,sbjl.ybf,sbjl.zclb,sbjl.sbmc,sbjl.sbxh,sbjl.gmrq,sbjl.gmjg,sbjl.wz,syq.yue,"
                  "sortproc.cz from sbjl,syq,sortproc where sbjl.bxq=syq.qx and "
                  "sbjl.zclb=sortproc.sort and not ybf and worp union all select person.bm AS "
                  "bmmc,(YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq) AS ynum,sbjl.ybf,"
                  "sbjl.zclb,sbjl.sbmc,sbjl.sbxh,sbjl.gmrq,sbjl.gmjg,sbjl.wz,syq.yue,sortproc.cz "
                  "from sbjl,syq,sortproc,person where sbjl.bxq=syq.qx and "
                  "sbjl.zclb=sortproc.sort and not ybf and person.pname=sbjl.wz and not worp "
                  "order by zclb,bmmc"));
}

TEST(SummaryQuery, OrderFollowsTheLevelsAndTheMainIndex) {
    const QString base = kAssetQuery;
    SummaryOptions o;
    o.asset = Level::Model;
    o.storage = Storage::Location;
    EXPECT_EQ(*summaryQuery(base, o), base + QStringLiteral(" order by sbxh,wz"));
    o.storageOuter = true;
    EXPECT_EQ(*summaryQuery(base, o), base + QStringLiteral(" order by wz,sbxh"));
    o.asset = Level::Name;
    o.storage = Storage::Department;
    EXPECT_TRUE(summaryQuery(base, o)->endsWith(QStringLiteral(" order by bmmc,sbmc")));
    // Without conditions to take over there is no summary query.
    EXPECT_FALSE(summaryQuery(QStringLiteral("select * from sbjl"), o).has_value());
}

class SummaryTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::set(QDateTime(QDate(2024, 5, 20), QTime(10, 0)));
        state = install.signedIn();
        db::Connection& c = *state->current;
        c.execute(QStringLiteral("insert into syq (qx,yue) values ('5年',60)"));
        c.execute(QStringLiteral("insert into sortproc (sort,title,cz) values ('电脑','JSJ',5)"));
        c.execute(QStringLiteral("insert into sortproc (sort,title,cz) values ('家具','JJ',0)"));
        c.execute(QStringLiteral("insert into person (pname,bm) values ('张三','财务科')"));
        c.execute(QStringLiteral("insert into person (pname,bm) values ('李四','')"));
        // 财务科 as a location, 张三 of 财务科, 李四 without a department, 王五 unknown.
        add(1, QStringLiteral("电脑"), QStringLiteral("财务科"), true, 1000.00);
        add(2, QStringLiteral("电脑"), QStringLiteral("张三"), false, 2000.00);
        add(3, QStringLiteral("电脑"), QStringLiteral("李四"), false, 500.00);
        add(4, QStringLiteral("家具"), QStringLiteral("王五"), false, 300.00);
        add(5, QStringLiteral("家具"), QStringLiteral("财务科"), true, 100.00);
    }
    void TearDown() override { Clock::set(QDateTime()); }

    void add(int num, const QString& category, const QString& place, bool atLocation,
             double price) {
        state->current->execute(
            QStringLiteral("insert into sbjl (id,num,zclb,sbmc,sbxh,bxq,gmrq,gmjg,wz,worp,ybf) "
                           "values ('A-',%1,'%2','机','型','5年',#04/01/2023#,%3,'%4',%5,false)")
                .arg(num)
                .arg(category)
                .arg(price, 0, 'f', 2)
                .arg(place, atLocation ? QStringLiteral("true") : QStringLiteral("false")));
    }

    report::Document run(const SummaryOptions& o, const QString& conditions = {}) {
        const QString query = *summaryQuery(kAssetQuery + conditions, o);
        const report::MemoryDataSource rows = queryRows(*state->current, query);
        return report::layoutReport(summaryReport(o, QStringLiteral("示范单位固定资产汇总表")),
                                    rows, report::RunOptions{Clock::now()});
    }

    test::TestInstallation install;
    std::unique_ptr<AppState> state;
};

TEST_F(SummaryTableTest, CategoriesByDepartmentCountEachDepartment) {
    const report::Document doc = run(SummaryOptions{});
    ASSERT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRSysData1")),
              QStringList{QStringLiteral("示范单位固定资产汇总表")});
    // Groups follow the database's Chinese (pinyin) order: 电脑 before 家具.
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRDBText1")),
              (QStringList{QStringLiteral("电脑"), QStringLiteral("家具")}));
    // 李四's empty department is a group of its own (its empty name prints no text); 王五 has
    // no person row and is left out of the department view.
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRDBText2")),
              (QStringList{QStringLiteral("财务科"), QStringLiteral("财务科")}));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr6")),
              (QStringList{QStringLiteral("1件"), QStringLiteral("2件"), QStringLiteral("1件")}));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExprSUN")),
              (QStringList{QStringLiteral("总共：3件"), QStringLiteral("总共：1件")}));
    // Without the value analysis no value prints, and without details no asset line.
    EXPECT_TRUE(textsOf(doc, QStringLiteral("QRLabel1")).isEmpty());
    EXPECT_TRUE(textsOf(doc, QStringLiteral("QRExpr3")).isEmpty());
    EXPECT_TRUE(bandsOf(doc, QStringLiteral("DetailBand1")).isEmpty());
}

TEST_F(SummaryTableTest, LocationViewKeepsEveryHolderAndStorageCanLead) {
    SummaryOptions o;
    o.storage = Storage::Location;
    o.storageOuter = true;
    const report::Document doc = run(o);
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRDBText1")),
              (QStringList{QStringLiteral("财务科"), QStringLiteral("李四"), QStringLiteral("王五"),
                           QStringLiteral("张三")}));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExprSUN")),
              (QStringList{QStringLiteral("总共：2件"), QStringLiteral("总共：1件"),
                           QStringLiteral("总共：1件"), QStringLiteral("总共：1件")}));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRDBText2")).last(), QStringLiteral("电脑"));
}

TEST_F(SummaryTableTest, DetailsAndValuesPrintLinesAndTotals) {
    SummaryOptions o;
    o.details = true;
    o.values = true;
    const report::Document doc = run(o, QStringLiteral(" and zclb='电脑'"));
    EXPECT_EQ(bandsOf(doc, QStringLiteral("DetailBand1")).size(), 3);
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRLabel1")), QStringList{QStringLiteral("原值")});
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr1")),
              (QStringList{QStringLiteral("500.00"), QStringLiteral("1000.00"),
                           QStringLiteral("2000.00")}));
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr8")), QStringList{QStringLiteral("3500.00")});
    // 13 months of 60 at a residual of 5 %: 3500 - 3500*13*95/60/100 = 2779.58.
    EXPECT_EQ(textsOf(doc, QStringLiteral("QRExpr5")), QStringList{QStringLiteral("2779.58")});
    const QStringList departmentTotals = textsOf(doc, QStringLiteral("QRExpr3"));
    EXPECT_EQ(departmentTotals, (QStringList{QStringLiteral("500.00"), QStringLiteral("3000.00")}));
}

TEST_F(SummaryTableTest, ShadingFollowsTheDetailsChoice) {
    SummaryOptions o;
    const report::Report plain = summaryReport(o, {});
    o.details = true;
    const report::Report detailed = summaryReport(o, {});
    EXPECT_EQ(plain.detail.height, 0);
    EXPECT_GT(detailed.detail.height, 0);
    EXPECT_EQ(detailed.groups[0].header->background, QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(plain.groups[1].footer->background, QColor(Qt::white));
    EXPECT_NE(detailed.groups[1].footer->background, QColor(Qt::white));
    EXPECT_TRUE(plain.check().isEmpty());
}

TEST_F(SummaryTableTest, AnEmptyResultPrintsNoPages) {
    EXPECT_EQ(run(SummaryOptions{}, QStringLiteral(" and gmjg<0")).pageCount(), 0);
}

}  // namespace
}  // namespace fx::reports
