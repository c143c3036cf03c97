#include <gtest/gtest.h>

#include "qstringprint.h"

#include "conditions.h"
#include "logicalcondition.h"

namespace fx::query {
namespace {

QueryForm defaults() {
    QueryForm f;
    f.boughtTo = QDate(2024, 6, 16);
    return f;
}

const QString kDefaultTail =
    QStringLiteral(" and gmjg>=0 and gmjg<=99999999 and gmrq>=#10/01/1949# and gmrq<=#06/16/2024#");

TEST(QueryWords, SplitOnPlusSkippingGaps) {
    EXPECT_EQ(queryWords(QStringLiteral(" 硬盘 + 声卡 ")),
              (QStringList{QStringLiteral("硬盘"), QStringLiteral("声卡")}));
    EXPECT_EQ(queryWords(QStringLiteral("+声卡")), QStringList{QStringLiteral("声卡")});
    EXPECT_EQ(queryWords(QStringLiteral("硬盘++声卡+")),
              (QStringList{QStringLiteral("硬盘"), QStringLiteral("声卡")}));
    EXPECT_TRUE(queryWords(QStringLiteral("  + ")).isEmpty());
    EXPECT_EQ(queryWords(QStringLiteral("i5")), QStringList{QStringLiteral("i5")});
}

TEST(ComprehensiveFragments, ExactOrFuzzyMatches) {
    QueryForm f = defaults();
    f.category = QStringLiteral("电脑");
    EXPECT_EQ(conditionFragments(f), QStringLiteral(" and zclb='电脑' and not ybf") + kDefaultTail);
    f.fuzzy = true;
    EXPECT_EQ(conditionFragments(f),
              QStringLiteral(" and zclb like '%电脑%' and not ybf") + kDefaultTail);
    f = defaults();
    f.name = QStringLiteral("打印机");
    f.use = QStringLiteral("办公");
    f.model = QStringLiteral("M404");
    f.life = QStringLiteral("5年");
    f.fuzzy = true;
    EXPECT_EQ(conditionFragments(f),
              QStringLiteral(" and sbmc like '%打印机%' and yt like '%办公%' and sbxh like '%M404%'"
                             " and bxq like '%5年%' and not ybf") +
                  kDefaultTail);
}

TEST(ComprehensiveFragments, ConfigurationAndRemarkWords) {
    QueryForm f = defaults();
    f.configuration = QStringLiteral(" 硬盘 + 声卡 ");
    f.remarks = QStringLiteral("保修+发票");
    f.hasRemarks = true;
    EXPECT_EQ(conditionFragments(f),
              QStringLiteral(" and sbpz like '%硬盘%' and sbpz like '%声卡%' and other not in "
                             "(null,' ') and not ybf") +
                  kDefaultTail +
                  QStringLiteral(" and other like '%保修%' and other like '%发票%'"));
}

TEST(ComprehensiveFragments, FlagsInTheirOrder) {
    QueryForm f = defaults();
    f.hasMaintenance = true;
    f.lent = true;
    f.scrapped = true;
    f.notScrapped = false;
    f.pastLife = true;
    EXPECT_EQ(conditionFragments(f),
              QStringLiteral(" and wx and yjc and ybf and (YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())"
                             "-MONTH(gmrq)>syq.yue") +
                  kDefaultTail);
    // Both scrap boxes unticked: nothing about scrapping.
    f = defaults();
    f.notScrapped = false;
    EXPECT_EQ(conditionFragments(f), kDefaultTail);
}

TEST(ComprehensiveFragments, StorageChoices) {
    QueryForm f = defaults();
    f.notScrapped = false;
    f.storage = Storage::ByCustodian;
    EXPECT_EQ(conditionFragments(f), QStringLiteral(" and bgr='' and worp") + kDefaultTail);
    f.place = QStringLiteral("库管员");
    EXPECT_EQ(conditionFragments(f), QStringLiteral(" and bgr='库管员'") + kDefaultTail);
    f.storage = Storage::ByLocation;
    f.place = QStringLiteral("档案室");
    EXPECT_EQ(conditionFragments(f), QStringLiteral(" and wz='档案室' and worp") + kDefaultTail);
    f.storage = Storage::ByUser;
    f.place = QString();
    EXPECT_EQ(conditionFragments(f), QStringLiteral(" and not worp") + kDefaultTail);
    f.storage = Storage::All;
    f.place = QStringLiteral("档案室");  // the place box is disabled under 全部
    EXPECT_EQ(conditionFragments(f), kDefaultTail);
}

TEST(ComprehensiveFragments, PricesAndDates) {
    QueryForm f = defaults();
    f.notScrapped = false;
    f.priceFrom = 1000;
    f.priceTo = 5000;
    f.boughtFrom = QDate(2020, 1, 2);
    f.boughtTo = QDate(2021, 12, 31);
    EXPECT_EQ(conditionFragments(f),
              QStringLiteral(" and gmjg>=1000 and gmjg<=5000 and gmrq>=#01/02/2020# and "
                             "gmrq<=#12/31/2021#"));
}

TEST(ComprehensiveFragments, ApostrophesAreDoubled) {
    QueryForm f = defaults();
    f.notScrapped = false;
    f.category = QStringLiteral("O'Neil");
    f.configuration = QStringLiteral("a'b");
    f.storage = Storage::ByDepartment;
    f.place = QStringLiteral("x'");
    f.departmentPeople = {QStringLiteral("'y")};
    EXPECT_EQ(conditionFragments(f), QStringLiteral(" and zclb='O''Neil' and sbpz like '%a''b%'") +
                                         kDefaultTail +
                                         QStringLiteral(" and (wz='x''' or wz='''y')"));
    f.fuzzy = true;
    EXPECT_TRUE(conditionFragments(f).startsWith(QStringLiteral(" and zclb like '%O''Neil%'")));
}

// ---- the logical query's pieces -----------------------------------------------------------------

TEST(LogicalFields, CaptionsColumnsAndOperators) {
    QStringList captions;
    for (const LogicalField& f : logicalFields()) captions << QString::fromUtf8(f.caption);
    EXPECT_EQ(captions.join(QLatin1Char(',')),
              QStringLiteral("资产类别,名称,用途,型号,配置,位置(使用者),保管人,来源方式,购买价格,"
                             "购买日期,使用年限,备注,已借出,已报废,有维修记录,序号,编号头,编号尾,"
                             "存放方式,配置日期"));
    EXPECT_STREQ(logicalField(QStringLiteral("编号头"))->column, "sbjl.id");
    EXPECT_EQ(logicalField(QString()), nullptr);
    EXPECT_EQ(operatorsFor(FieldKind::Text),
              (QStringList{QStringLiteral("="), QStringLiteral("包含")}));
    EXPECT_EQ(operatorsFor(FieldKind::Date).join(QLatin1Char(' ')),
              QStringLiteral("= > < >= <= <>"));
    EXPECT_EQ(operatorsFor(FieldKind::Flag),
              (QStringList{QStringLiteral("是"), QStringLiteral("否")}));
    EXPECT_EQ(operatorsFor(FieldKind::StorageMode),
              (QStringList{QStringLiteral("按存放地点"), QStringLiteral("按使用者")}));
}

TEST(LogicalChecks, Numbers) {
    for (const char* ok : {"1", "1.00", "1000", "-5", "+2.5", ".5", "3."}) {
        EXPECT_TRUE(isDecimalNumber(QString::fromLatin1(ok))) << ok;
    }
    for (const char* bad : {"", "1,000", "1e5", "abc", "1.2.3", "1 or 1=1", " 1"}) {
        EXPECT_FALSE(isDecimalNumber(QString::fromLatin1(bad))) << bad;
    }
    EXPECT_TRUE(isWholeNumber(QStringLiteral("8")));
    EXPECT_TRUE(isWholeNumber(QStringLiteral("-12")));
    EXPECT_FALSE(isWholeNumber(QStringLiteral("8.0")));
    EXPECT_FALSE(isWholeNumber(QString()));
    EXPECT_FALSE(isWholeNumber(QStringLiteral("99999999999")));
}

TEST(LogicalChecks, DatesInThreeForms) {
    const QDate today(2024, 6, 15);
    EXPECT_EQ(parseConditionDate(QStringLiteral("2005-4-3"), today), QDate(2005, 4, 3));
    EXPECT_EQ(parseConditionDate(QStringLiteral("05-4-3"), today), QDate(2005, 4, 3));
    EXPECT_EQ(parseConditionDate(QStringLiteral("4-3"), today), QDate(2024, 4, 3));
    EXPECT_EQ(parseConditionDate(QStringLiteral("1999-12-31"), today), QDate(1999, 12, 31));
    for (const char* bad : {"", "2005/4/3", "2005-2-30", "4", "13-1", "2005-04-03x", "a-b-c"}) {
        EXPECT_FALSE(parseConditionDate(QString::fromLatin1(bad), today)) << bad;
    }
}

TEST(LogicalChecks, RowConditions) {
    const LogicalField& category = *logicalField(QStringLiteral("资产类别"));
    const LogicalField& price = *logicalField(QStringLiteral("购买价格"));
    const LogicalField& bought = *logicalField(QStringLiteral("购买日期"));
    const LogicalField& scrapped = *logicalField(QStringLiteral("已报废"));
    const LogicalField& storage = *logicalField(QStringLiteral("存放方式"));
    EXPECT_EQ(rowCondition(category, QStringLiteral("="), QStringLiteral("电脑")),
              QStringLiteral("zclb='电脑'"));
    EXPECT_EQ(rowCondition(category, QStringLiteral("包含"), QStringLiteral("电")),
              QStringLiteral("zclb like '%电%'"));
    EXPECT_EQ(rowCondition(category, QStringLiteral("="), QStringLiteral("a'b")),
              QStringLiteral("zclb='a''b'"));
    EXPECT_EQ(rowCondition(price, QStringLiteral(">="), QStringLiteral("1000")),
              QStringLiteral("gmjg>=1000"));
    EXPECT_EQ(rowCondition(bought, QStringLiteral(">"), QStringLiteral("2005-04-03")),
              QStringLiteral("gmrq>#2005-04-03#"));
    EXPECT_EQ(rowCondition(scrapped, QStringLiteral("是"), QString()), QStringLiteral("ybf"));
    EXPECT_EQ(rowCondition(scrapped, QStringLiteral("否"), QString()), QStringLiteral("not ybf"));
    EXPECT_EQ(rowCondition(storage, QStringLiteral("按存放地点"), QString()),
              QStringLiteral("worp"));
    EXPECT_EQ(rowCondition(storage, QStringLiteral("按使用者"), QString()),
              QStringLiteral("not worp"));
    // Incomplete rows, and values that never passed their check.
    EXPECT_FALSE(rowCondition(category, QString(), QStringLiteral("电脑")));
    EXPECT_FALSE(rowCondition(category, QStringLiteral("="), QString()));
    EXPECT_FALSE(rowCondition(scrapped, QString(), QString()));
    EXPECT_FALSE(rowCondition(price, QStringLiteral(">"), QStringLiteral("1 or 1=1")));
    EXPECT_FALSE(rowCondition(bought, QStringLiteral(">"), QStringLiteral("05-4-3")));
}

}  // namespace
}  // namespace fx::query
