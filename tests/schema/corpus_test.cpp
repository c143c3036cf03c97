// Every statement text the program sends, built the way the program builds it, run (translated)
// on a real schema with known rows, and checked for its results.

#include <gtest/gtest.h>

#include "qtprint.h"

#include "clock.h"
#include "corpus_fixture.h"
#include "dberror.h"
#include "migration.h"
#include "quote.h"
#include "schema.h"

namespace fx::schema::test {
namespace {

using db::RowSet;
using db::Transaction;

INSTANTIATE_TEST_SUITE_P(Engines, Corpus, fx::test::bothEngines(), fx::test::engineName);

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// Today as the program writes it into statements.
QString today() {
    return db::jetDate(Clock::today());
}

// ---- Start-up, card and numbering ----------------------------------------------------------

TEST_P(Corpus, NewDatabasesHaveTheLatestLayoutWithItsTables) {
    EXPECT_EQ(storedVersion(current()), layoutVersion(DatabaseKind::Current));
    EXPECT_EQ(storedVersion(history()), layoutVersion(DatabaseKind::History));
    for (const char* table : {"pdrw", "pdmx", "pdsm"})
        EXPECT_TRUE(open(s("select * from ") + s(table)).isEmpty()) << table;
    EXPECT_TRUE(open(history(), s("select * from czjl")).isEmpty());
    // The migrations' unique indexes hold on both engines.
    current().execute(s("insert into pdrw (pdmc) values ('一')"));
    EXPECT_THROW(current().execute(s("insert into pdrw (pdmc) values ('一')")), db::DbError);
}

TEST_P(Corpus, StartUpDataSetsAndLists) {
    EXPECT_TRUE(open(s("select * from sbjl where 1=2")).isEmpty());
    struct Table {
        const char* sql;
        int rows;
    } tables[] = {
        {"select * from syq", 3},    {"select * from sortproc", 3}, {"select * from wzb", 3},
        {"select * from person", 4}, {"select * from username", 1}, {"select * from sortb", 4},
        {"select * from lyfs", 3},   {"select * from idupper", 3},  {"select * from users", 1},
        {"select * from xhpz", 3},   {"select * from ytb", 3},      {"select * from jcb", 3},
        {"select * from wxjlb", 4},
    };
    for (const Table& t : tables) EXPECT_EQ(open(s(t.sql)).count(), t.rows) << t.sql;
    EXPECT_EQ(column(s("select * from lyfs"), s("ly")),
              QStringList({s("购置"), s("调拨"), s("捐赠")}));  // table order
    EXPECT_EQ(column(s("select * from idupper"), s("idup")),
              QStringList({s("JSJ-"), s("BGZ-"), s("SBQ-")}));
}

TEST_P(Corpus, FirstUseStoresTheOrganisationName) {
    RowSet& rs = open(s("select * from username"));
    ASSERT_EQ(rs.integer(s("password")), 0);
    rs.edit();
    rs.setValue(s("user"), s("青石岭中学"));
    rs.setValue(s("password"), 1);
    rs.post();
    EXPECT_EQ(scalar(s("SELECT user || ':' || password FROM username")).toString(),
              s("青石岭中学:1"));
}

TEST_P(Corpus, CardShowsOneAssetBySerialNumber) {
    RowSet& rs = open(s("select * from sbjl where ID1=") + QString::number(2));
    ASSERT_EQ(rs.count(), 1);
    EXPECT_EQ(rs.text(s("sbmc")), s("笔记本电脑"));
    EXPECT_EQ(rs.date(s("pzrq")), QDate(2021, 3, 1));
    EXPECT_TRUE(rs.yesNo(s("yjc")));
    EXPECT_TRUE(rs.isEditable());
    EXPECT_TRUE(open(s("select * from sbjl where ID1=99")).isEmpty());
}

TEST_P(Corpus, AssetNumberLookups) {
    const QString prefix = s("JSJ-");
    RowSet& prefixRow = open(s("select * from idupper where idup='") + prefix + s("'"));
    ASSERT_EQ(prefixRow.count(), 1);
    EXPECT_EQ(prefixRow.integer(s("max")), 12345);
    // Typing "BGZ" and the dash.
    EXPECT_EQ(open(s("select * from idupper where idup='") + s("BGZ") + s("-'")).integer(s("max")),
              3);
    EXPECT_TRUE(open(s("select * from idupper where idup='") + s("XYZ") + s("-'")).isEmpty());

    EXPECT_EQ(serials(s("select ID1 from sbjl where id='") + prefix + s("' and num=") +
                      QString::number(3)),
              QList<int>({2}));
    EXPECT_TRUE(serials(s("select ID1 from sbjl where id='") + prefix + s("' and num=") +
                        QString::number(4))
                    .isEmpty());
    // The highest tail under a prefix, for the prefix registry.
    EXPECT_EQ(
        column(s("select num from sbjl where id='") + prefix + s("'order by num desc"), s("num")),
        QStringList({s("12345"), s("12"), s("7"), s("3")}));
}

TEST_P(Corpus, AddingAnAssetReadsBackItsSerialAndKeepsThePrefixRegistry) {
    Transaction t(current());
    RowSet& card = open(s("select * from sbjl where 1=2"));
    card.append();
    card.setValue(s("id"), s("JSJ-"));
    card.setValue(s("num"), 12346);
    card.setValue(s("zclb"), s("电脑"));
    card.setValue(s("sbmc"), s("台式电脑"));
    card.setValue(s("worp"), false);
    card.setValue(s("wz"), s("未分配"));
    card.setValue(s("bxq"), s("5年"));
    card.setValue(s("gmrq"), Clock::today());
    card.setValue(s("pzrq"), Clock::today());
    card.setValue(s("gmjg"), 4999.99);
    card.setValue(s("other"), QString());
    card.post();
    card.last();
    EXPECT_EQ(card.integer(s("ID1")), 8);
    EXPECT_EQ(card.text(s("bgr")), QString());

    RowSet prefix(current(), s("select * from idupper where idup='JSJ-'"));
    prefix.open();
    prefix.edit();
    prefix.setValue(s("max"), 12346);
    prefix.post();
    t.commit();
    EXPECT_EQ(scalar(s("SELECT max FROM idupper WHERE idup='JSJ-'")).toInt(), 12346);
    // The new asset is in the asset lists at once: bought today, no months in use yet.
    RowSet& list = open(assetQuery() + s(" and ID1=8"));
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.integer(s("ynum")), 0);
    EXPECT_EQ(list.text(s("bh")), s("JSJ-12346"));
}

TEST_P(Corpus, ScrappingAndDeletingOnTheCard) {
    // Scrap: the card's row is re-read, marked and posted.
    RowSet scrap(current(), s("select * from sbjl where ID1=") + QString::number(7));
    scrap.open();
    ASSERT_EQ(scrap.count(), 1);
    scrap.edit();
    scrap.setValue(s("ybf"), true);
    scrap.post();
    EXPECT_EQ(serials(assetQuery() + s(" and ybf") + s(" order by ID1 asc")), QList<int>({4, 7}));

    // Delete, then the prefix registry: the highest tail left under the prefix.
    RowSet card(current(), s("select * from sbjl where ID1=") + QString::number(6));
    card.open();
    const QString prefix = card.text(s("id"));
    card.remove();
    EXPECT_TRUE(card.isEmpty());
    EXPECT_TRUE(open(s("select * from sbjl where ID1=6")).isEmpty());
    EXPECT_EQ(open(s("select num from sbjl where id='") + prefix + s("'order by num desc"))
                  .integer(s("num")),
              12);
    // The deleted asset's maintenance records stay; the maintenance query no longer joins them.
    EXPECT_EQ(open(s("select * from wxjlb where id=6")).count(), 1);
}

TEST_P(Corpus, ModifyOntoATakenNumberIsRefusedByTheIndex) {
    RowSet& card = open(s("select * from sbjl where ID1=") + QString::number(7));
    card.edit();
    card.setValue(s("num"), 12);
    try {
        card.post();
        FAIL() << "JSJ-12 was stored twice";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.isConstraint());
    }
    EXPECT_EQ(card.state(), RowSet::State::Edit);
}

// ---- Dictionary-checked input and the dictionary window ------------------------------------

TEST_P(Corpus, DictionaryLookupsOfTheCard) {
    EXPECT_EQ(
        column(s("select sbpz from xhpz where sbmc='台式电脑' and sbxh='联想M8000'"), s("sbpz")),
        QStringList({s("i5/8G/1T硬盘")}));
    EXPECT_EQ(open(s("select * from sortproc where sort='") + s("家具") + s("'")).text(s("title")),
              s("JJ"));
    EXPECT_EQ(column(s("select name from sortb where sort='电脑'"), s("name")),
              QStringList({s("台式电脑"), s("笔记本电脑")}));
    EXPECT_EQ(column(s("select yt from ytb where sort='电脑'"), s("yt")),
              QStringList({s("办公"), s("教学")}));
    EXPECT_EQ(column(s("select sbxh from xhpz where sbmc='台式电脑'"), s("sbxh")),
              QStringList({s("联想M8000"), s("戴尔3080")}));
    EXPECT_EQ(column(s("select * from wzb where isbm"), s("wz")),
              QStringList({s("财务处"), s("教务处")}));
    EXPECT_EQ(column(s("select name from sortb "), s("name")).size(), 4);
}

TEST_P(Corpus, DictionaryWindowReadsItsItems) {
    struct Read {
        const char* sql;
        int rows;
    } reads[] = {
        {"select * from sortb where sort='电脑'", 2},
        {"select sbxh from xhpz where sbmc='办公桌'", 1},
        {"select * from ytb where sort='家具'", 1},
        {"select * from sortproc where sort='仪器'", 1},
        {"select * from sortb where name='办公桌'", 1},
        {"select * from xhpz where sbxh='联想M8000'and sbmc='台式电脑'", 1},
        {"select * from person where pname='王五'", 1},
        {"select * from wzb where wz='301室'", 1},
        {"select * from syq where qx='10年'", 1},
        {"select * from sortb where sort='电脑' and name='笔记本电脑'", 1},
        {"select * from ytb where sort='电脑' and yt='教学'", 1},
        {"select * from lyfs where ly='捐赠'", 1},
        {"select * from sortb where name='打印机'", 0},
        {"select * from lyfs where ly='租赁'", 0},
        // Checks before a delete: is the item still used by an asset?
        {"select * from sbjl where zclb='仪器'", 1},
        {"select * from sbjl where sbmc='办公桌'and zclb='家具'", 2},
        {"select * from sbjl where wz='301室'", 1},
        {"select * from sbjl where ly='调拨'", 1},
        {"select * from sbjl where wz='王五'", 1},
        {"select * from sbjl where bxq='1年'", 1},
        {"select * from sbjl where bxq='2年'", 0},
    };
    for (const Read& r : reads) EXPECT_EQ(open(s(r.sql)).count(), r.rows) << r.sql;
    EXPECT_TRUE(open(s("select * from sortb where name='办公桌'")).yesNo(s("wzorgr")));
    EXPECT_EQ(open(s("select * from syq where qx='10年'")).integer(s("yue")), 120);
}

TEST_P(Corpus, DictionaryChangesCascadeIntoTheAssets) {
    struct Change {
        const char* sql;
        int rows;
    } changes[] = {
        {"update sortb set bht='PC' where bht='JSJ' and sort='电脑'", 2},
        {"update sortb set sort='计算机' where sort='电脑'", 2},
        {"update ytb set sort='计算机' where sort='电脑'", 2},
        {"update sbjl set zclb='计算机' where zclb='电脑'", 4},
        {"update sbjl set sbmc='台式机',worp=false where sbmc='台式电脑'and zclb='计算机'", 3},
        {"update sbjl set sbmc='桌子',wz='未分配',worp=false where sbmc='办公桌'and zclb='家具'",
         2},
        {"update sbjl set sbmc='示波仪',worp=true where sbmc='示波器'and zclb='仪器'", 1},
        {"update xhpz set sbmc='台式机' where sbmc='台式电脑'", 2},
        {"update sbjl set sbxh='联想M9000' where sbxh='联想M8000'and sbmc='台式机'", 1},
        {"update sbjl set yt='行政' where yt='办公'and zclb='计算机'", 2},
        {"update sbjl set ly='采购' where ly='购置'", 5},
        {"update sbjl set wz='财务科' where wz='财务处'", 0},  // assets 3 moved to 未分配 above
        {"update sbjl set wz='张三丰' where wz='张三'", 1},
        {"update sbjl set bxq='五年' where bxq='5年'", 3},
    };
    Transaction t(current());
    for (const Change& c : changes) EXPECT_EQ(current().execute(s(c.sql)), c.rows) << c.sql;
    t.commit();
    EXPECT_EQ(serials(s("select * from sbjl where zclb='计算机' and sbmc='台式机' and not worp "
                        "order by ID1")),
              QList<int>({1, 6, 7}));
    EXPECT_EQ(serials(s("select * from sbjl where wz='未分配' and worp=false order by ID1")),
              QList<int>({3, 4}));
    EXPECT_EQ(serials(s("select * from sbjl where worp=true")), QList<int>({5}));
    EXPECT_EQ(open(s("select * from sbjl where ID1=1")).text(s("sbxh")), s("联想M9000"));
    EXPECT_EQ(open(s("select * from sbjl where ID1=1")).text(s("wz")), s("张三丰"));
    // The asset query joins by text: syq and sortproc were not renamed here, so only the two
    // 家具 assets (10年) still find their life and category.
    EXPECT_EQ(serials(assetQuery() + s(" order by ID1 asc")), QList<int>({3, 4}));
}

TEST_P(Corpus, DictionaryDeletes) {
    struct Change {
        const char* sql;
        int rows;
    } changes[] = {
        {"delete from sortb where sort='仪器'", 1},
        {"delete from ytb where sort='家具'", 1},
        {"delete from sortb where sort='电脑' and name='笔记本电脑'", 1},
        {"delete from ytb where sort='电脑' and yt='教学'", 1},
        {"delete from wzb where wz='301室'", 1},
        {"delete from lyfs where ly='捐赠'", 1},
        {"delete from person where pname='王五'", 1},
        {"delete from syq where qx='1年'", 1},
        {"delete from syq where qx='3年'", 0},
    };
    Transaction t(current());
    for (const Change& c : changes) EXPECT_EQ(current().execute(s(c.sql)), c.rows) << c.sql;
    // A category: its row through a row set, then its names and uses.
    RowSet& category = open(s("select * from sortproc where sort='") + s("仪器") + s("'"));
    category.remove();
    EXPECT_EQ(scalar(s("SELECT count(*) FROM sortproc")).toInt(), 2);
    // A model: its row through a row set.
    RowSet& model = open(s("select * from xhpz where sbxh='戴尔3080'and sbmc='台式电脑'"));
    ASSERT_EQ(model.count(), 1);
    model.remove();
    t.commit();
    EXPECT_EQ(scalar(s("SELECT count(*) FROM xhpz")).toInt(), 2);
    EXPECT_EQ(scalar(s("SELECT count(*) FROM person")).toInt(), 3);
}

TEST_P(Corpus, AssetQueryGivesNumberMonthsLifeAndRate) {
    RowSet& rs = open(assetQuery() + s(" order by ID1 asc"));
    // Assets whose life (5) or category has no dictionary row are left out.
    QList<int> ids;
    for (rs.first(); !rs.eof(); rs.next()) ids.append(rs.integer(s("ID1")));
    EXPECT_EQ(ids, QList<int>({1, 2, 3, 4, 6, 7}));

    rs.first();
    EXPECT_EQ(rs.text(s("bh")), s("JSJ-12"));
    EXPECT_EQ(rs.integer(s("ynum")), 13);  // May 2023 to June 2024
    EXPECT_EQ(rs.integer(s("yue")), 60);
    EXPECT_EQ(rs.integer(s("cz")), 5);
    EXPECT_DOUBLE_EQ(rs.number(s("gmjg")), 1000.0);
    EXPECT_EQ(rs.date(s("gmrq")), QDate(2023, 5, 10));
    EXPECT_FALSE(rs.yesNo(s("worp")));
    EXPECT_TRUE(rs.yesNo(s("yjc")));
    EXPECT_EQ(rs.text(s("sbmc")), s("台式电脑"));
    EXPECT_EQ(rs.fieldNames().mid(0, 3), QStringList({s("ynum"), s("bh"), s("ID1")}));
    EXPECT_EQ(rs.fieldNames().last(), s("cz"));
    EXPECT_EQ(rs.fieldNames().size(), 2 + 21 + 2);

    struct Expected {
        int id;
        const char* bh;
        int ynum;
    } expected[] = {
        {2, "JSJ-3", 53}, {3, "BGZ-3", 0}, {4, "BGZ-1", 172}, {6, "JSJ-12345", 0}, {7, "JSJ-7", 18},
    };
    for (const Expected& e : expected) {
        rs.next();
        EXPECT_EQ(rs.integer(s("ID1")), e.id);
        EXPECT_EQ(rs.text(s("bh")), s(e.bh)) << e.id;
        EXPECT_EQ(rs.integer(s("ynum")), e.ynum) << e.id;
    }
    EXPECT_FALSE(rs.isEditable());
}

TEST_P(Corpus, MonthsInUseFollowTheProgramClock) {
    Clock::set(QDateTime(QDate(2025, 1, 31), QTime(23, 59, 0)));
    RowSet& rs = open(assetQuery() + s(" and ID1=1"));
    EXPECT_EQ(rs.integer(s("ynum")), 20);  // 2023-05 to 2025-01
    Clock::set(QDateTime(QDate(2023, 4, 1), QTime(8, 0, 0)));
    rs.reopen();
    EXPECT_EQ(rs.integer(s("ynum")), -1);  // bought in a later month than today
}

TEST_P(Corpus, ComprehensiveQueryConditions) {
    const QString base = assetQuery();
    const QString order = s(" order by ID1 asc");
    struct Condition {
        const char* fragment;
        QList<int> ids;
    } conditions[] = {
        {"", {1, 2, 3, 4, 6, 7}},
        {" and zclb like '%电%'", {1, 2, 6, 7}},
        {" and zclb='电脑'", {1, 2, 6, 7}},
        {" and sbmc like '%电脑%'", {1, 2, 6, 7}},
        {" and sbmc='办公桌'", {3, 4}},
        {" and wz like '%处%'", {3}},
        {" and wz='张三'", {1}},
        {" and yt like '%办%'", {1, 3, 4, 6}},
        {" and yt='教学'", {2}},
        {" and sbxh like '%联想%'", {1}},
        {" and sbxh='1.6米'", {3}},
        {" and bxq like '%年%'", {1, 2, 3, 4, 6, 7}},
        {" and bxq='10年'", {3, 4}},
        {" and sbpz like '%i5%' and sbpz like '%硬盘%'", {1}},
        {" and sbpz like '%i3%' and sbpz like '%硬盘%'", {}},
        // A filled remark: not missing (4), not empty (1), not blank (3 ' ', 7 three blanks).
        {" and other not in (null,' ')", {2, 6}},
        {" and wx", {1, 4, 6}},
        {" and yjc", {1, 2, 3}},
        {" and ybf", {4}},
        {" and not ybf", {1, 2, 3, 6, 7}},
        {" and (YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq)>syq.yue", {2, 4}},
        {" and bgr like '%张%'", {1, 3}},
        {" and bgr='张三'", {1, 3}},
        {" and bgr='' and worp", {4}},
        {" and worp", {3, 4}},
        {" and not worp", {1, 2, 6, 7}},
        {" and gmjg>=0 and gmjg<=99999999", {1, 2, 3, 4, 6, 7}},
        {" and gmjg>=1000 and gmjg<=3000", {1, 7}},
        {" and gmrq>=#10/01/1949# and gmrq<=#06/16/2024#", {1, 2, 3, 4, 6, 7}},
        {" and gmrq>=#01/01/2023# and gmrq<=#06/01/2024#", {1, 3}},
        {" and gmrq>=#06/15/2024# and gmrq<=#06/16/2024#", {6}},
        {" and other like '%划痕%'", {2}},
        {" and zclb='电脑' and not worp and not ybf and gmjg>=0 and gmjg<=99999999 and "
         "gmrq>=#10/01/1949# and gmrq<=#06/16/2024#",
         {1, 2, 6, 7}},
    };
    for (const Condition& c : conditions) {
        EXPECT_EQ(serials(base + s(c.fragment) + order), c.ids) << c.fragment;
    }
}

TEST_P(Corpus, DepartmentConditionTakesTheDepartmentAndItsPeople) {
    // Built as the dialog builds it: the department, then each of its people in table order.
    const QString department = s("财务处");
    QString fragment = s(" and (wz='") + department + s("'");
    RowSet& people = open(s("select * from person"));
    for (people.first(); !people.eof(); people.next()) {
        if (people.text(s("bm")) == department) {
            fragment += s(" or wz='") + people.text(s("pname")) + s("'");
        }
    }
    fragment += s(")");
    EXPECT_EQ(fragment, s(" and (wz='财务处' or wz='张三')"));
    EXPECT_EQ(serials(assetQuery() + fragment + s(" order by ID1 asc")), QList<int>({1, 3}));
}

TEST_P(Corpus, LogicalQueryConditions) {
    const QString base = assetQuery();
    const QString order = s(" order by ID1 asc");
    struct Condition {
        const char* fragment;
        QList<int> ids;
    } conditions[] = {
        {" and (zclb='电脑')", {1, 2, 6, 7}},
        {" and (gmjg>=1000 or ybf)", {1, 2, 4, 7}},
        {" and (not worp and sbmc like '%电脑%')", {1, 2, 6, 7}},
        {" and (gmrq>#2005-04-03#)", {1, 2, 3, 4, 6, 7}},
        {" and (gmrq>#2024-01-01#)", {3, 6}},
        {" and (pzrq<=#2021-03-01#)", {2, 4}},
        {" and (pzrq=#2024-06-15#)", {6}},
        {" and (sbjl.id='BGZ-' and num>=2)", {3}},
        {" and (ID1<>3 and yjc)", {1, 2}},
        {" and (zclb='仪器' or zclb='家具' and ybf)", {4}},
        {" and (zclb='家具' and ybf or wx)", {1, 4, 6}},
        {" and (not wx)", {2, 3, 7}},
        {" and (worp)", {3, 4}},
        {" and (other like '%备注%')", {6}},
        {" and (gmjg=0.29)", {6}},
        {" and (bgr='')", {2, 4, 7}},
        {" and (ly<>'购置')", {2}},
    };
    for (const Condition& c : conditions) {
        EXPECT_EQ(serials(base + s(c.fragment) + order), c.ids) << c.fragment;
    }
}

TEST_P(Corpus, ResultWindowSortsByTitleClick) {
    const QString base = assetQuery();
    EXPECT_EQ(serials(base + s(" order by sbjl.id asc,sbjl.num asc")),
              QList<int>({4, 3, 2, 7, 1, 6}));
    EXPECT_EQ(serials(base + s(" order by sbjl.id desc,sbjl.num desc")),
              QList<int>({6, 1, 7, 2, 3, 4}));
    EXPECT_EQ(serials(base + s(" order by ynum desc")).mid(0, 4), QList<int>({4, 2, 7, 1}));
    EXPECT_EQ(serials(base + s(" order by gmjg asc")), QList<int>({6, 4, 3, 1, 7, 2}));
    // Chinese text sorts as Jet sorts it: by pinyin (办 ban, 笔 bi, 台 tai).
    EXPECT_EQ(column(base + s(" order by sbmc asc"), s("sbmc")),
              QStringList({s("办公桌"), s("办公桌"), s("笔记本电脑"), s("台式电脑"), s("台式电脑"),
                           s("台式电脑")}));
    EXPECT_EQ(column(base + s(" order by zclb desc"), s("zclb")).first(), s("家具"));
    // Before any query the stored text lists nothing.
    EXPECT_TRUE(open(s("select * from sbjl where ID1=-1") + s(" order by ID1 asc")).isEmpty());
}

// ---- Lending and return --------------------------------------------------------------------

TEST_P(Corpus, LoanListsAndTheLoanDialogsLists) {
    EXPECT_EQ(column(s("select * from jcb") + s(" order by jcrq asc"), s("id")),
              QStringList({s("3"), s("1"), s("2")}));
    // Due today or earlier; a loan without a planned return date is never due.
    EXPECT_EQ(
        column(s("select * from jcb where ghrq<=") + today() + s(" order by jcrq asc"), s("id")),
        QStringList({s("1")}));
    EXPECT_EQ(column(s("select jyr from jcb group by jyr order by MAX(jcrq) desc"), s("jyr")),
              QStringList({s("陈七"), s("刘八")}));
    EXPECT_EQ(column(s("select jydw from jcb group by jydw order by MAX(jcrq) desc"), s("jydw")),
              QStringList({s("实验室"), s("图书馆"), s("会议室")}));
    EXPECT_EQ(open(s("select * from jcb where id=") + QString::number(1)).count(), 1);
    EXPECT_TRUE(open(s("select * from jcb where id=") + QString::number(6)).isEmpty());
}

TEST_P(Corpus, LendingHistoryListsLendingBeforeReturnOnTheSameDay) {
    RowSet& rs = open(history(), s("select * from jyjlb where id=") + QString::number(1) +
                                     s(" order by jcrq asc,bz desc"));
    QStringList events;
    for (rs.first(); !rs.eof(); rs.next()) {
        events.append(rs.text(s("jcrq")) + QLatin1Char(' ') + rs.text(s("bz")));
    }
    EXPECT_EQ(events,
              QStringList({s("2024-01-01 借出"), s("2024-01-01 归还"), s("2024-06-01 借出")}));
}

TEST_P(Corpus, LendingAndReturningAnAsset) {
    const int id = 6;
    // Lend: a new loan row, the asset marked, a history row.
    RowSet loan(current(), s("select * from jcb where id=") + QString::number(id));
    loan.open();
    ASSERT_TRUE(loan.isEmpty());
    loan.append();
    loan.setValue(s("id"), id);
    loan.setValue(s("jcr"), s("王五"));
    loan.setValue(s("pzr"), s("系统管理员"));
    loan.setValue(s("jyr"), s("孙九"));
    loan.setValue(s("jydw"), s("体育馆"));
    loan.setValue(s("jcrq"), Clock::today());
    loan.setValue(s("ghrq"), QDate());  // no planned return date
    loan.setValue(s("other"), QString());
    loan.post();
    RowSet card(current(), s("select * from sbjl where ID1=") + QString::number(id));
    card.open();
    card.edit();
    card.setValue(s("yjc"), true);
    card.post();
    RowSet lent(history(), s("select * from jyjlb where id=") + QString::number(id));
    lent.open();
    lent.append();
    lent.setValue(s("id"), id);
    lent.setValue(s("czy"), s("系统管理员"));
    lent.setValue(s("jyr"), loan.text(s("jyr")));
    lent.setValue(s("jydw"), loan.text(s("jydw")));
    lent.setValue(s("jcr"), loan.text(s("jcr")));
    lent.setValue(s("jcrq"), loan.date(s("jcrq")));
    lent.setValue(s("other"), loan.text(s("other")));
    lent.setValue(s("bz"), s("借出"));
    lent.post();
    EXPECT_EQ(serials(assetQuery() + s(" and yjc order by ID1 asc")), QList<int>({1, 2, 3, 6}));
    EXPECT_EQ(column(s("select jyr from jcb group by jyr order by MAX(jcrq) desc"), s("jyr")),
              QStringList({s("孙九"), s("陈七"), s("刘八")}));
    // A second open loan for the same asset is refused.
    RowSet again(current(), s("select * from jcb where id=") + QString::number(id));
    again.open();
    again.append();
    again.setValue(s("id"), id);
    EXPECT_THROW(again.post(), db::DbError);
    again.cancel();

    // Return: a history row, the loan deleted, the asset cleared.
    RowSet back(history(), s("select * from jyjlb where id=") + QString::number(id));
    back.open();
    back.append();
    back.setValue(s("id"), id);
    back.setValue(s("bz"), s("归还"));
    back.setValue(s("jcrq"), loan.date(s("jcrq")));
    back.setValue(s("trueghrq"), Clock::today());
    back.post();
    loan.remove();
    card.edit();
    card.setValue(s("yjc"), false);
    card.post();
    EXPECT_TRUE(open(s("select * from jcb where id=") + QString::number(id)).isEmpty());
    EXPECT_EQ(
        column(history(), s("select * from jyjlb where id=6 order by jcrq asc,bz desc"), s("bz")),
        QStringList({s("借出"), s("归还")}));
    EXPECT_EQ(
        scalar(history(), s("SELECT count(*) FROM jyjlb WHERE id=6 AND ghrq IS NULL")).toInt(), 2);
}

// ---- Transfers -----------------------------------------------------------------------------

TEST_P(Corpus, TransferHistoryIsListedInTheOrderRecorded) {
    EXPECT_EQ(
        column(history(),
               s("select * from his where id=") + QString::number(1) + s(" order by index asc"),
               s("owz")),
        QStringList({s("李四"), s("王五"), s("张三")}));
    RowSet& rs = open(history(), s("select * from his where id=1 order by index asc"));
    EXPECT_EQ(rs.integer(s("index")), 1);
    EXPECT_EQ(rs.date(s("date")), QDate(2023, 6, 1));
}

TEST_P(Corpus, SingleTransferRecordsHistoryAndMovesTheAsset) {
    const int id = 1;
    RowSet his(history(), s("select * from his where id=") + QString::number(id));
    his.open();
    RowSet card(current(), s("select * from sbjl where ID1=") + QString::number(id));
    card.open();
    his.append();
    his.setValue(s("id"), id);
    his.setValue(s("swz"), card.text(s("wz")));
    his.setValue(s("sbgr"), card.text(s("bgr")));
    his.setValue(s("owz"), s("李四"));
    his.setValue(s("obgr"), s("李四"));
    his.setValue(s("date"), Clock::today());
    his.setValue(s("czy"), s("系统管理员"));
    his.post();
    EXPECT_EQ(his.integer(s("index")), 5);
    card.edit();
    card.setValue(s("wz"), s("李四"));
    card.setValue(s("bgr"), s("李四"));
    card.setValue(s("pzrq"), Clock::today());
    card.post();
    EXPECT_EQ(card.date(s("pzrq")), QDate(2024, 6, 15));
    EXPECT_EQ(column(history(), s("select * from his where id=1 order by index asc"), s("swz")),
              QStringList({s("仓库"), s("李四"), s("王五"), s("张三")}));
    EXPECT_EQ(serials(assetQuery() + s(" and wz='李四' order by ID1 asc")), QList<int>({1, 2}));
}

TEST_P(Corpus, BatchTransferWalksTheSelectedRows) {
    RowSet his(history(), s("select * from his"));
    his.open();
    RowSet& result = open(assetQuery() + s(" and worp") + s(" order by ID1 asc"));
    ASSERT_EQ(result.count(), 2);
    // The query's rows are read-only; each asset is changed through its own card row set.
    for (result.first(); !result.eof(); result.next()) {
        const int id = result.integer(s("ID1"));
        his.append();
        his.setValue(s("id"), id);
        his.setValue(s("swz"), result.text(s("wz")));
        his.setValue(s("sbgr"), result.text(s("bgr")));
        his.setValue(s("owz"), s("教务处"));
        his.setValue(s("obgr"), QString());
        his.setValue(s("date"), Clock::today());
        his.setValue(s("czy"), s("系统管理员"));
        his.post();
        RowSet card(current(), s("select * from sbjl where ID1=") + QString::number(id));
        card.open();
        card.edit();
        card.setValue(s("wz"), s("教务处"));
        card.setValue(s("bgr"), QString());
        card.setValue(s("pzrq"), Clock::today());
        card.post();
    }
    EXPECT_EQ(his.count(), 6);
    EXPECT_EQ(his.integer(s("index")), 6);
    EXPECT_EQ(scalar(s("SELECT count(*) FROM sbjl WHERE wz='教务处' AND bgr='' AND "
                       "pzrq='2024-06-15'"))
                  .toInt(),
              2);  // asset 5 was there already and keeps its custodian
}

// ---- Maintenance ---------------------------------------------------------------------------

QString maintenanceQuery() {
    return QString::fromUtf8(
        "select ID1,(sbjl.id+RIGHT('000'+TRIM(STR(sbjl.num)),4)) AS bh,zclb,sbmc,sbxh,sbpz,wz,"
        "sxrq,wxrq,ghpj,wxfy from sbjl,wxjlb where sbjl.ID1=wxjlb.id");
}

QString maintenanceDates(const QDate& sendFrom, const QDate& sendTo, const QDate& repairFrom,
                         const QDate& repairTo) {
    const QString f = QStringLiteral("MM/dd/yyyy");
    return s(" and sxrq>=#") + sendFrom.toString(f) + s("# and sxrq<=#") + sendTo.toString(f) +
           s("#") + s(" and wxrq>=#") + repairFrom.toString(f) + s("# and wxrq<=#") +
           repairTo.toString(f) + s("#");
}

TEST_P(Corpus, MaintenanceQueryWritesFourDigitNumbers) {
    const QDate from(1949, 10, 1);
    const QDate to = Clock::today().addDays(1);
    RowSet& rs = open(maintenanceQuery() + maintenanceDates(from, to, from, to) +
                      s(" and not ybf") + s(" order by ID1,sxrq asc"));
    QStringList lines;
    for (rs.first(); !rs.eof(); rs.next()) {
        lines.append(rs.text(s("ID1")) + QLatin1Char(' ') + rs.text(s("bh")) + QLatin1Char(' ') +
                     rs.text(s("sxrq")));
    }
    // The scrapped asset 4 is left out; 12 becomes 0012, 12345 is cut to its last four digits.
    EXPECT_EQ(lines, QStringList({s("1 JSJ-0012 2023-11-01"), s("1 JSJ-0012 2024-03-01"),
                                  s("6 JSJ-2345 2024-06-10")}));
    rs.first();
    EXPECT_DOUBLE_EQ(rs.number(s("wxfy")), 120.0);
    EXPECT_EQ(rs.date(s("wxrq")), QDate(2023, 11, 2));
}

TEST_P(Corpus, MaintenanceQueryConditionsOfTheDialog) {
    const QDate from(1949, 10, 1);
    const QDate to = Clock::today().addDays(1);
    const QString dates = maintenanceDates(from, to, from, to);
    const QString tail = s(" and not ybf") + s(" order by ID1,sxrq asc");
    QString boxes;
    for (const auto& [field, text] : {std::pair{"zclb", "电脑"}, std::pair{"sbmc", "台式"},
                                      std::pair{"sbxh", "联想"}, std::pair{"wz", "张"}}) {
        boxes += s(" and ") + s(field) + s(" like '%") + s(text) + s("%'");
    }
    EXPECT_EQ(column(maintenanceQuery() + boxes + dates + tail, s("ghpj")),
              QStringList({s("电源"), s("硬盘")}));
    // Sent in 2024 and repaired in June.
    EXPECT_EQ(column(maintenanceQuery() +
                         maintenanceDates(QDate(2024, 1, 1), to, QDate(2024, 6, 1), to) + tail,
                     s("ID1")),
              QStringList({s("6")}));
}

TEST_P(Corpus, MaintenanceRecordsOfOneAsset) {
    EXPECT_EQ(
        column(s("select * from wxjlb where id=") + QString::number(1) + s(" order by sxrq asc"),
               s("gzyy")),
        QStringList({s("烧坏"), s("老化")}));
    RowSet& add = open(s("select * from wxjlb"));
    add.append();
    add.setValue(s("id"), 7);
    add.setValue(s("sxrq"), Clock::today());
    add.setValue(s("wxrq"), Clock::today());
    add.setValue(s("sxdd"), s("维修站"));
    add.setValue(s("wxfy"), s("88.5"));
    add.post();
    EXPECT_EQ(open(s("select * from wxjlb where id=7")).count(), 1);
    EXPECT_DOUBLE_EQ(open(s("select * from wxjlb where id=7")).number(s("wxfy")), 88.5);
}

// ---- Summary table -------------------------------------------------------------------------

// The department query, built from the conditions of the base query as the summary form does.
QString departmentQuery(const QString& base) {
    const QString w = base.mid(base.indexOf(s("where")));
    return s("select sbjl.wz AS bmmc,(YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq) AS "
             "ynum,sbjl.ybf,sbjl.zclb,sbjl.sbmc,sbjl.sbxh,sbjl.gmrq,sbjl.gmjg,sbjl.wz,syq.yue,"
             "sortproc.cz from sbjl,syq,sortproc ") +
           w +
           s(" and worp union all select person.bm AS bmmc,(YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())"
             "-MONTH(gmrq) AS ynum,sbjl.ybf,sbjl.zclb,sbjl.sbmc,sbjl.sbxh,sbjl.gmrq,sbjl.gmjg,"
             "sbjl.wz,syq.yue,sortproc.cz from sbjl,syq,sortproc,person ") +
           w + s(" and person.pname=sbjl.wz and not worp");
}

QStringList lines(RowSet& rs, const QStringList& fields) {
    QStringList out;
    for (rs.first(); !rs.eof(); rs.next()) {
        QStringList parts;
        for (const QString& f : fields) parts.append(rs.text(f));
        out.append(parts.join(QLatin1Char('|')));
    }
    return out;
}

TEST_P(Corpus, SummaryByDepartmentUnitesPlacesAndPeople) {
    const QString d = departmentQuery(assetQuery());
    RowSet& rs = open(d + s(" order by zclb,bmmc"));
    // 电脑 (dian) before 家具 (jia). Asset 7's holder is in no department's list and drops out;
    // 王五 belongs to no department and is grouped under an empty one.
    EXPECT_EQ(lines(rs, {s("zclb"), s("bmmc"), s("wz")}),
              QStringList({s("电脑||王五"), s("电脑|教务处|李四"), s("电脑|财务处|张三"),
                           s("家具|301室|301室"), s("家具|财务处|财务处")}));
    rs.first();
    EXPECT_EQ(rs.integer(s("ynum")), 0);
    EXPECT_DOUBLE_EQ(rs.number(s("gmjg")), 0.29);
    EXPECT_EQ(rs.integer(s("yue")), 60);
    EXPECT_EQ(rs.integer(s("cz")), 5);
    EXPECT_EQ(rs.date(s("gmrq")), QDate(2024, 6, 15));
    EXPECT_FALSE(rs.yesNo(s("ybf")));

    RowSet& outer = open(d + s(" order by bmmc,zclb"));
    EXPECT_EQ(lines(outer, {s("bmmc"), s("zclb")}).size(), 5);
}

TEST_P(Corpus, SummaryKeepsTheConditionsOfTheLastQuery) {
    const QString base = assetQuery() + s(" and not ybf") + s(" and gmjg>=0 and gmjg<=99999999");
    RowSet& rs = open(departmentQuery(base) + s(" order by bmmc,sbmc"));
    EXPECT_EQ(lines(rs, {s("bmmc"), s("sbmc")}),
              QStringList({s("|台式电脑"), s("教务处|笔记本电脑"), s("财务处|办公桌"),
                           s("财务处|台式电脑")}));
    RowSet& byModel = open(departmentQuery(base) + s(" order by sbxh,bmmc"));
    EXPECT_EQ(byModel.count(), 4);
}

TEST_P(Corpus, SummaryByPlaceUsesTheBaseQueryItself) {
    const QString base = assetQuery() + s(" and not ybf");
    EXPECT_EQ(lines(open(base + s(" order by zclb,wz")), {s("zclb"), s("wz")}),
              QStringList({s("电脑|李四"), s("电脑|王五"), s("电脑|张三"), s("电脑|赵六"),
                           s("家具|财务处")}));
    EXPECT_EQ(lines(open(base + s(" order by wz,sbmc")), {s("wz")}).first(), s("财务处"));
    EXPECT_EQ(open(base + s(" order by sbmc,wz")).count(), 5);
    EXPECT_EQ(open(base + s(" order by wz,sbxh")).count(), 5);
}

// ---- Users and backup check ----------------------------------------------------------------

TEST_P(Corpus, UserManagementWorksOnTheUsersTable) {
    RowSet& users = open(s("select * from users"));
    users.append();
    users.setValue(s("user"), s("张老师"));
    users.setValue(s("password"), s("it's secret"));
    for (const char* right : {"ins", "modi", "del", "view", "jc", "gh", "db", "spmodi"}) {
        users.setValue(s(right), QString::fromLatin1(right) == s("del") ? false : true);
    }
    users.post();
    EXPECT_EQ(users.count(), 2);
    users.edit();
    users.setValue(s("password"), QString());
    users.post();
    RowSet& check = open(s("select * from users"));
    check.last();
    EXPECT_EQ(check.text(s("user")), s("张老师"));
    EXPECT_EQ(check.text(s("password")), QString());
    EXPECT_TRUE(check.yesNo(s("spmodi")));
    EXPECT_FALSE(check.yesNo(s("del")));
    check.remove();
    EXPECT_EQ(open(s("select * from users")).count(), 1);
}

TEST_P(Corpus, RestoreCheckReadsVersionAndMark) {
    for (db::Connection* c : {&current(), &history()}) {
        RowSet& rs = open(*c, s("select mm,version from username"));
        ASSERT_EQ(rs.count(), 1);
        EXPECT_GE(rs.integer(s("version")), kMinimumVersion);
        EXPECT_EQ(rs.fieldNames(), QStringList({s("mm"), s("version")}));
    }
}

}  // namespace
}  // namespace fx::schema::test
