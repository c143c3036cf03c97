// The demonstration register: consistent with every invariant the program relies on, so that
// each asset shows up in the asset lists and every movement matches the asset's flags.
#include <gtest/gtest.h>

#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <cmath>

#include "demodictionary.h"
#include "demoregister.h"
#include "rowset.h"
#include "testsupport.h"

namespace fx::admin::test {
namespace {

const QString kAssetQuery = QStringLiteral(
    "select (YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq) AS ynum,"
    "(sbjl.id+TRIM(STR(sbjl.num))) AS bh,sbjl.*,syq.yue,sortproc.cz from sbjl,syq,sortproc "
    "where sbjl.bxq=syq.qx and sbjl.zclb=sortproc.sort");

class DemoDataTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tmp_ = new QTemporaryDir;
        app_ = tmp_->filePath(QStringLiteral("demo"));
        const CommandResult r = runAdmin({QStringLiteral("init"), app_, QStringLiteral("--demo")});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        output_ = r.out;
    }
    static void TearDownTestSuite() {
        delete tmp_;
        tmp_ = nullptr;
    }
    void SetUp() override {
        current_ = openCurrent(app_);
        history_ = openHistory(app_);
    }
    qint64 cur(const char* sql) { return scalar(*current_, QString::fromUtf8(sql)); }
    qint64 his(const char* sql) { return scalar(*history_, QString::fromUtf8(sql)); }

    static QTemporaryDir* tmp_;
    static QString app_;
    static QString output_;
    std::unique_ptr<db::Connection> current_;
    std::unique_ptr<db::Connection> history_;
};

QTemporaryDir* DemoDataTest::tmp_ = nullptr;
QString DemoDataTest::app_;
QString DemoDataTest::output_;

TEST_F(DemoDataTest, HoldsTheDefaultNumberOfAssetsAndEveryKindOfMovement) {
    EXPECT_EQ(cur("select count(*) from sbjl"), kDefaultDemoAssets);
    EXPECT_GT(cur("select count(*) from jcb"), 0);
    EXPECT_GT(cur("select count(*) from sbjl where ybf"), 0);
    EXPECT_GT(cur("select count(*) from wxjlb"), 0);
    EXPECT_GT(his("select count(*) from his"), 0);
    EXPECT_GT(his("select count(*) from jyjlb where bz='归还'"), 0);
    EXPECT_TRUE(output_.contains(QStringLiteral("300 assets")));
}

TEST_F(DemoDataTest, DictionaryIsComplete) {
    const DemoDictionary& d = demoDictionary();
    EXPECT_EQ(cur("select count(*) from sortproc"), qint64(d.categories.size()));
    EXPECT_EQ(cur("select count(*) from sortb"), qint64(d.names.size()));
    EXPECT_EQ(cur("select count(*) from syq"), qint64(d.lives.size()));
    EXPECT_EQ(cur("select count(*) from lyfs"), qint64(d.sources.size()));
    EXPECT_EQ(cur("select cz from sortproc where sort='计算机设备'"), 5);
    EXPECT_EQ(cur("select cz from sortproc where sort='低值易耗品'"), 0);
    EXPECT_EQ(cur("select cz from sortproc where sort='房屋建筑'"), 100);
    EXPECT_EQ(cur("select yue from syq where qx='5年'"), 60);
    EXPECT_EQ(cur("select yue from syq where qx='10年'"), 120);
    EXPECT_GT(cur("select count(*) from wzb where isbm"), 0);
    EXPECT_GT(cur("select count(*) from wzb where not isbm"), 0);
    // The reserved rows are still there, once.
    EXPECT_EQ(cur("select count(*) from person where pname='未分配'"), 1);
    EXPECT_EQ(cur("select count(*) from users where user='系统管理员'"), 1);
}

TEST_F(DemoDataTest, EveryNameAndUseBelongsToADictionaryCategory) {
    EXPECT_EQ(cur("select count(*) from sortb where sort not in (select sort from sortproc)"), 0);
    EXPECT_EQ(cur("select count(*) from ytb where sort not in (select sort from sortproc)"), 0);
    EXPECT_EQ(cur("select count(*) from xhpz where sbmc not in (select name from sortb)"), 0);
    // Every person belongs to a department.
    EXPECT_EQ(cur("select count(*) from person where pname<>'未分配' and bm not in "
                  "(select wz from wzb where isbm)"),
              0);
}

TEST_F(DemoDataTest, EveryAssetJoinsItsCategoryAndLifeSoTheAssetQueryListsAll) {
    EXPECT_EQ(cur("select count(*) from sbjl where zclb not in (select sort from sortproc)"), 0);
    EXPECT_EQ(cur("select count(*) from sbjl where bxq not in (select qx from syq)"), 0);
    EXPECT_EQ(rowCount(*current_, kAssetQuery), kDefaultDemoAssets);
}

TEST_F(DemoDataTest, AssetValuesComeFromTheDictionary) {
    EXPECT_EQ(cur("select count(*) from sbjl,sortb where sbjl.sbmc=sortb.name and "
                  "sbjl.zclb=sortb.sort"),
              kDefaultDemoAssets);
    EXPECT_EQ(cur("select count(*) from sbjl where sbxh<>'' and sbxh not in "
                  "(select sbxh from xhpz where xhpz.sbmc=sbjl.sbmc)"),
              0);
    EXPECT_EQ(cur("select count(*) from sbjl where yt<>'' and yt not in "
                  "(select yt from ytb where ytb.sort=sbjl.zclb)"),
              0);
    EXPECT_EQ(cur("select count(*) from sbjl where ly not in (select ly from lyfs)"), 0);
    EXPECT_EQ(cur("select count(*) from sbjl where bgr<>'' and bgr not in "
                  "(select pname from person)"),
              0);
    // Empty texts are stored as '' (never null), so bgr='' finds assets without a custodian.
    EXPECT_EQ(cur("select count(*) from sbjl where bgr is null or sbxh is null or yt is null "
                  "or other is null"),
              0);
}

TEST_F(DemoDataTest, StorageModeFollowsTheNameAndPicksTheRightDictionary) {
    EXPECT_EQ(cur("select count(*) from sbjl,sortb where sbjl.sbmc=sortb.name and "
                  "sbjl.worp<>sortb.wzorgr"),
              0);
    EXPECT_EQ(cur("select count(*) from sbjl where worp and wz not in (select wz from wzb)"), 0);
    EXPECT_EQ(cur("select count(*) from sbjl where not worp and wz not in "
                  "(select pname from person)"),
              0);
    EXPECT_GT(cur("select count(*) from sbjl where worp"), 0);
    EXPECT_GT(cur("select count(*) from sbjl where not worp"), 0);
}

TEST_F(DemoDataTest, AssetsOfNamesWithTheirOwnPlacesStandOnlyThere) {
    int checked = 0;
    for (const DemoName& n : demoDictionary().names) {
        if (n.places.isEmpty()) continue;
        EXPECT_TRUE(n.wzorgr) << n.name.toStdString();
        QStringList quotedPlaces;
        for (const QString& p : n.places) {
            EXPECT_EQ(
                scalar(*current_, QStringLiteral("select count(*) from wzb where wz='%1'").arg(p)),
                1)
                << p.toStdString();
            quotedPlaces << QLatin1Char('\'') + p + QLatin1Char('\'');
        }
        EXPECT_EQ(scalar(*current_, QStringLiteral("select count(*) from sbjl where sbmc='%1' and "
                                                   "wz not in (%2)")
                                        .arg(n.name, quotedPlaces.join(QLatin1Char(',')))),
                  0)
            << n.name.toStdString();
        checked += int(scalar(
            *current_, QStringLiteral("select count(*) from sbjl where sbmc='%1'").arg(n.name)));
    }
    EXPECT_GT(checked, 0);
}

TEST_F(DemoDataTest, PrefixTableCoversEveryPrefixWithItsHighestNumber) {
    db::RowSet used(*current_,
                    QStringLiteral("select id,max(num) as top,count(*) as n,min(num) as low "
                                   "from sbjl group by id"));
    used.open();
    ASSERT_GT(used.count(), 5);
    for (used.first(); !used.eof(); used.next()) {
        const QString prefix = used.text(QStringLiteral("id"));
        EXPECT_TRUE(prefix.endsWith(QLatin1Char('-')));
        const qint64 max = scalar(
            *current_, QStringLiteral("select max from idupper where idup='%1'").arg(prefix));
        EXPECT_GE(max, used.integer(QStringLiteral("top"))) << prefix.toStdString();
        // Numbers run from 1 without gaps, as a register numbered by the program would.
        EXPECT_EQ(used.integer(QStringLiteral("low")), 1);
        EXPECT_EQ(used.integer(QStringLiteral("top")), used.integer(QStringLiteral("n")));
    }
    EXPECT_EQ(cur("select count(*) from idupper"), used.count());
    EXPECT_EQ(cur("select count(*) from idupper where idup not in (select id from sbjl)"), 0);
}

TEST_F(DemoDataTest, LentExactlyWhenAnOpenLoanExists) {
    const qint64 loans = cur("select count(*) from jcb");
    EXPECT_EQ(cur("select count(*) from sbjl where yjc"), loans);
    EXPECT_EQ(cur("select count(*) from sbjl,jcb where sbjl.ID1=jcb.id and sbjl.yjc"), loans);
    EXPECT_EQ(rowCount(*current_, QStringLiteral("select id from jcb group by id")), loans);
    EXPECT_EQ(cur("select count(*) from sbjl,jcb where sbjl.ID1=jcb.id and sbjl.ybf"), 0);
}

TEST_F(DemoDataTest, LoanHistoryMatchesLoans) {
    // Every open loan has its lending row and no return after it.
    db::RowSet open(*current_, QStringLiteral("select * from jcb"));
    open.open();
    for (open.first(); !open.eof(); open.next()) {
        const int id = open.integer(QStringLiteral("id"));
        db::RowSet h(*history_,
                     QStringLiteral("select * from jyjlb where id=%1 order by jcrq desc").arg(id));
        h.open();
        ASSERT_FALSE(h.eof()) << id;
        EXPECT_EQ(h.text(QStringLiteral("bz")), QStringLiteral("借出"));
        EXPECT_EQ(h.date(QStringLiteral("jcrq")), open.date(QStringLiteral("jcrq")));
        EXPECT_EQ(h.text(QStringLiteral("jyr")), open.text(QStringLiteral("jyr")));
        EXPECT_LE(open.date(QStringLiteral("jcrq")), kToday);
    }
    // Returns come after their lending, each with its actual return date.
    EXPECT_EQ(his("select count(*) from jyjlb where bz='归还' and trueghrq is null"), 0);
    EXPECT_EQ(his("select count(*) from jyjlb where bz='借出' and trueghrq is not null"), 0);
    EXPECT_EQ(his("select count(*) from jyjlb where bz='归还' and trueghrq<jcrq"), 0);
    EXPECT_EQ(his("select count(*) from jyjlb where bz='借出'"),
              his("select count(*) from jyjlb where bz='归还'") + cur("select count(*) from jcb"));
    // History rows refer to existing assets.
    db::RowSet ids(*history_, QStringLiteral("select id from jyjlb group by id"));
    ids.open();
    for (ids.first(); !ids.eof(); ids.next()) {
        EXPECT_EQ(scalar(*current_, QStringLiteral("select count(*) from sbjl where ID1=%1")
                                        .arg(ids.integer(QStringLiteral("id")))),
                  1);
    }
}

TEST_F(DemoDataTest, TransfersEndWhereTheAssetIsNow) {
    db::RowSet t(*history_, QStringLiteral("select * from his order by index asc"));
    t.open();
    ASSERT_GT(t.count(), 0);
    QHash<int, QStringList> last;  // id -> owz, obgr, date
    QDate previous;
    for (t.first(); !t.eof(); t.next()) {
        const QDate date = t.date(QStringLiteral("date"));
        EXPECT_TRUE(!previous.isValid() || previous <= date) << "recorded out of order";
        previous = date;
        EXPECT_NE(t.text(QStringLiteral("owz")), t.text(QStringLiteral("swz")));
        last[t.integer(QStringLiteral("id"))] = {t.text(QStringLiteral("owz")),
                                                 t.text(QStringLiteral("obgr")),
                                                 date.toString(Qt::ISODate)};
    }
    for (auto it = last.cbegin(); it != last.cend(); ++it) {
        db::RowSet a(*current_, QStringLiteral("select * from sbjl where ID1=%1").arg(it.key()));
        a.open();
        ASSERT_FALSE(a.eof());
        EXPECT_EQ(a.text(QStringLiteral("wz")), it.value().at(0));
        EXPECT_EQ(a.text(QStringLiteral("bgr")), it.value().at(1));
        EXPECT_EQ(a.date(QStringLiteral("pzrq")).toString(Qt::ISODate), it.value().at(2));
        EXPECT_GT(a.date(QStringLiteral("pzrq")), a.date(QStringLiteral("gmrq")));
    }
    // Assets never transferred were placed on the day they were bought.
    EXPECT_EQ(cur("select count(*) from sbjl where pzrq<>gmrq"), qint64(last.size()));
}

TEST_F(DemoDataTest, RepairMarkExactlyWhenRepairsExist) {
    EXPECT_EQ(cur("select count(*) from sbjl where wx"),
              rowCount(*current_, QStringLiteral("select id from wxjlb group by id")));
    EXPECT_EQ(cur("select count(*) from sbjl,wxjlb where sbjl.ID1=wxjlb.id and not sbjl.wx"), 0);
    EXPECT_EQ(cur("select count(*) from wxjlb where wxrq<sxrq"), 0);
}

TEST_F(DemoDataTest, ScrappedAssetsArePastTheirLife) {
    EXPECT_EQ(cur("select count(*) from sbjl,syq where sbjl.bxq=syq.qx and sbjl.ybf and "
                  "(YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq)<=syq.yue"),
              0);
}

TEST_F(DemoDataTest, NoDateLiesAfterToday) {
    const QString today = QStringLiteral("#%1#").arg(kToday.toString(QStringLiteral("MM/dd/yyyy")));
    for (const char* sql : {"select count(*) from sbjl where gmrq>%1 or pzrq>%1",
                            "select count(*) from jcb where jcrq>%1",
                            "select count(*) from wxjlb where sxrq>%1 or wxrq>%1"}) {
        EXPECT_EQ(scalar(*current_, QString::fromUtf8(sql).arg(today)), 0) << sql;
    }
    EXPECT_EQ(scalar(*history_, QStringLiteral("select count(*) from jyjlb where jcrq>%1 or "
                                               "trueghrq>%1")
                                    .arg(today)),
              0);
    EXPECT_EQ(
        scalar(*history_, QStringLiteral("select count(*) from his where date>%1").arg(today)), 0);
    // Some assets are young, some past their life.
    EXPECT_GT(cur("select count(*) from sbjl,syq where sbjl.bxq=syq.qx and "
                  "(YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq)>syq.yue"),
              0);
    EXPECT_GT(cur("select count(*) from sbjl,syq where sbjl.bxq=syq.qx and "
                  "(YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq)<12"),
              0);
}

TEST_F(DemoDataTest, SerialNumbersFollowPurchaseDates) {
    db::RowSet rows(*current_, QStringLiteral("select ID1,gmrq from sbjl order by ID1"));
    rows.open();
    QDate previous;
    for (rows.first(); !rows.eof(); rows.next()) {
        const QDate d = rows.date(QStringLiteral("gmrq"));
        ASSERT_TRUE(d.isValid());
        EXPECT_TRUE(!previous.isValid() || previous <= d);
        previous = d;
    }
}

TEST(DemoRegisterTest, SameSeedAndDayGiveTheSameRegister) {
    const DemoRegister a = generateDemoRegister(200, kToday);
    const DemoRegister b = generateDemoRegister(200, kToday);
    ASSERT_EQ(a.assets.size(), b.assets.size());
    for (size_t i = 0; i < a.assets.size(); ++i) {
        EXPECT_EQ(a.assets[i].prefix, b.assets[i].prefix);
        EXPECT_EQ(a.assets[i].num, b.assets[i].num);
        EXPECT_EQ(a.assets[i].wz, b.assets[i].wz);
        EXPECT_EQ(a.assets[i].gmrq, b.assets[i].gmrq);
        EXPECT_EQ(a.assets[i].gmjg, b.assets[i].gmjg);
    }
    EXPECT_EQ(a.loans.size(), b.loans.size());
    EXPECT_EQ(a.transfers.size(), b.transfers.size());
    EXPECT_EQ(a.repairs.size(), b.repairs.size());

    const DemoRegister other = generateDemoRegister(200, kToday, kDemoSeed + 1);
    int same = 0;
    for (size_t i = 0; i < a.assets.size(); ++i) {
        same +=
            a.assets[i].gmrq == other.assets[i].gmrq && a.assets[i].sbmc == other.assets[i].sbmc;
    }
    EXPECT_LT(same, 50);
}

TEST(DemoRegisterTest, DatesFollowTheProgramClock) {
    const QDate day(2031, 3, 9);
    const DemoRegister r = generateDemoRegister(300, day);
    QDate latest;
    for (const DemoAsset& a : r.assets) {
        EXPECT_LE(a.gmrq, day);
        EXPECT_LE(a.pzrq, day);
        latest = std::max(latest, a.gmrq);
    }
    EXPECT_GT(latest, day.addYears(-1));
    for (const DemoLoan& l : r.loans) {
        EXPECT_LE(l.jcrq, day);
        if (l.returned.isValid()) {
            EXPECT_LE(l.returned, day);
        }
    }
}

TEST(DemoRegisterTest, PricesHaveAtMostTwoDecimals) {
    const DemoRegister r = generateDemoRegister(500, kToday);
    for (const DemoAsset& a : r.assets) {
        const double cents = a.gmjg * 100.0;
        EXPECT_NEAR(cents, std::round(cents), 1e-6) << a.gmjg;
        EXPECT_GT(a.gmjg, 0.0);
    }
}

class DemoOptionTest : public ::testing::Test {
protected:
    QTemporaryDir tmp_;
};

TEST_F(DemoOptionTest, AssetsOptionMakesThatManyAssetsWithTheDictionary) {
    const QString app = tmp_.filePath(QStringLiteral("n"));
    ASSERT_EQ(
        runAdmin({QStringLiteral("init"), app, QStringLiteral("--assets"), QStringLiteral("1234")})
            .code,
        0);
    auto c = openCurrent(app);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sbjl")), 1234);
    EXPECT_EQ(rowCount(*c, kAssetQuery), 1234);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sortproc")),
              qint64(demoDictionary().categories.size()));
}

TEST_F(DemoOptionTest, ZeroAssetsGivesTheDictionaryOnly) {
    const QString app = tmp_.filePath(QStringLiteral("z"));
    ASSERT_EQ(runAdmin({QStringLiteral("init"), app, QStringLiteral("--assets=0")}).code, 0);
    auto c = openCurrent(app);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sbjl")), 0);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from idupper")), 0);
    EXPECT_GT(scalar(*c, QStringLiteral("select count(*) from sortb")), 0);
}

TEST_F(DemoOptionTest, TwoInstallationsOnTheSameDayHoldTheSameRegister) {
    const QString a = tmp_.filePath(QStringLiteral("a"));
    const QString b = tmp_.filePath(QStringLiteral("b"));
    ASSERT_EQ(runAdmin({QStringLiteral("init"), a, QStringLiteral("--demo")}).code, 0);
    ASSERT_EQ(runAdmin({QStringLiteral("init"), b, QStringLiteral("--demo")}).code, 0);
    const QString sql = QStringLiteral("select * from sbjl order by ID1");
    const CommandResult ra = runAdmin({QStringLiteral("sql"), dataDirOf(a), sql});
    const CommandResult rb = runAdmin({QStringLiteral("sql"), dataDirOf(b), sql});
    ASSERT_EQ(ra.code, 0) << ra.err.toStdString();
    EXPECT_EQ(ra.out, rb.out);
    const QString his = QStringLiteral("select * from jyjlb order by id,jcrq,bz");
    EXPECT_EQ(
        runAdmin({QStringLiteral("sql"), dataDirOf(a), his, QStringLiteral("--history")}).out,
        runAdmin({QStringLiteral("sql"), dataDirOf(b), his, QStringLiteral("--history")}).out);
}

}  // namespace
}  // namespace fx::admin::test
