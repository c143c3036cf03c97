#include <gtest/gtest.h>

#include "importfixture.h"
#include "importplan.h"

namespace fx::import {
namespace {

using dictionary::ItemKind;

const QStringList kHeader = {QStringLiteral("资产编号"), QStringLiteral("类别"),
                             QStringLiteral("资产名称"), QStringLiteral("规格型号"),
                             QStringLiteral("存放地点"), QStringLiteral("保管人"),
                             QStringLiteral("原值"),     QStringLiteral("购置日期"),
                             QStringLiteral("年限"),     QStringLiteral("备注")};

SheetTable sheet(const std::vector<QStringList>& data) {
    SheetTable t;
    t.rows.push_back({1, kHeader});
    int n = 2;
    for (const QStringList& cells : data) t.rows.push_back({n++, cells});
    return t;
}

QStringList row(const QString& number, const QString& category, const QString& name,
                const QString& place = QStringLiteral("财务科"),
                const QString& price = QStringLiteral("100"),
                const QString& date = QStringLiteral("2020-01-15")) {
    return {
        number, category, name, QString(), place, QString(), price, date, QStringLiteral("5年")};
}

class ImportPlanTest : public ::testing::Test {
protected:
    ImportPlan plan(const SheetTable& t, const ImportOptions& o = {}) {
        return planImport(f_.db(), t, o);
    }
    // The problems as "row|column|message" lines.
    static QStringList problems(const ImportPlan& p) {
        QStringList lines;
        for (const Problem& x : p.problems)
            lines << QStringLiteral("%1|%2|%3").arg(x.row).arg(x.column, x.message);
        return lines;
    }
    static const Addition* find(const ImportPlan& p, ItemKind kind, const QString& text) {
        for (const Addition& a : p.additions)
            if (a.kind == kind && a.text == text) return &a;
        return nullptr;
    }
    test::ImportFixture f_;
};

TEST_F(ImportPlanTest, ATakenAndADuplicatedNumberAreReportedByRowAndColumn) {
    f_.exec(
        QStringLiteral("insert into sbjl (id,num,zclb,sbmc,wz,bxq,worp) values "
                       "('JSJ-',5,'电脑','台式机','财务科','5年',true)"));
    const ImportPlan p = plan(
        sheet({row(QStringLiteral("JSJ-5"), QStringLiteral("电脑"), QStringLiteral("台式机")),
               row(QStringLiteral("JSJ-6"), QStringLiteral("电脑"), QStringLiteral("台式机")),
               row(QStringLiteral("jsj-6"), QStringLiteral("电脑"), QStringLiteral("台式机")),
               row(QStringLiteral("JSJ6"), QStringLiteral("电脑"), QStringLiteral("台式机"))}));
    EXPECT_EQ(
        problems(p),
        (QStringList{
            QStringLiteral("2|资产编号|编号JSJ-5已经被登记簿中的其它固定资产占用。"),
            QStringLiteral("4|资产编号|编号JSJ-6与第3行重复。"),
            QStringLiteral(
                "5|资产编号|编号“JSJ6”格式不对，应为不超过8个字母、“-”和数字，例如 JSJ-121。")}));
    ASSERT_EQ(p.assets.size(), 1u);
    EXPECT_EQ(p.assets[0].row, 3);
    EXPECT_EQ(p.refusedRows, (std::vector<int>{2, 4, 5}));
}

TEST_F(ImportPlanTest, TakenNumbersAreFoundAtTheEdgesOfTheFilesRangeAndUnderTheirOwnPrefix) {
    for (const char* values : {"('JSJ-',3,'电脑','台式机','财务科','5年',true)",
                               "('JSJ-',9,'电脑','台式机','财务科','5年',true)",
                               "('JSJ-',20,'电脑','台式机','财务科','5年',true)",
                               "('JS-',5,'电脑','台式机','财务科','5年',true)"})
        f_.exec(QStringLiteral("insert into sbjl (id,num,zclb,sbmc,wz,bxq,worp) values ") +
                QString::fromUtf8(values));
    const ImportPlan p = plan(
        sheet({row(QStringLiteral("JSJ-3"), QStringLiteral("电脑"), QStringLiteral("台式机")),
               row(QStringLiteral("JSJ-5"), QStringLiteral("电脑"), QStringLiteral("台式机")),
               row(QStringLiteral("JSJ-9"), QStringLiteral("电脑"), QStringLiteral("台式机")),
               row(QStringLiteral("JS-4"), QStringLiteral("电脑"), QStringLiteral("台式机"))}));
    EXPECT_EQ(
        problems(p),
        (QStringList{QStringLiteral("2|资产编号|编号JSJ-3已经被登记簿中的其它固定资产占用。"),
                     QStringLiteral("4|资产编号|编号JSJ-9已经被登记簿中的其它固定资产占用。")}));
    ASSERT_EQ(p.assets.size(), 2u);
    EXPECT_EQ(p.assets[0].row, 3);
    EXPECT_EQ(p.assets[1].row, 5);
}

TEST_F(ImportPlanTest, EmptyFieldsBadValuesAndLongTextsAreProblems) {
    const ImportPlan p = plan(sheet({
        row(QString(), QString(), QStringLiteral("桌子")),
        row(QString(), QStringLiteral("家具"), QString()),
        row(QString(), QStringLiteral("家具"), QStringLiteral("桌子"), QStringLiteral("财务科"),
            QStringLiteral("一百"), QStringLiteral("去年")),
        row(QString(), QStringLiteral("家具"), QString(51, u'长')),
    }));
    EXPECT_EQ(
        problems(p),
        (QStringList{QStringLiteral("2|类别|资产类别不能为空。"),
                     QStringLiteral("3|资产名称|名称不能为空。"),
                     QStringLiteral("4|购置日期|“去年”不是日期，请写成 2020-01-15 这样的形式。"),
                     QStringLiteral("4|原值|“一百”不是金额。"),
                     QStringLiteral("5|资产名称|内容有51个字，超过了该栏最多50个字的长度。")}));
    EXPECT_TRUE(p.assets.empty());
}

TEST_F(ImportPlanTest, ANewCategoryGetsItsPinyinPrefixAndNumbersFromOne) {
    const ImportPlan p = plan(
        sheet({row(QString(), QStringLiteral("电脑"), QStringLiteral("台式机")),
               row(QString(), QStringLiteral("电脑"), QStringLiteral("台式机")),
               row(QStringLiteral("DN-2"), QStringLiteral("电脑"), QStringLiteral("笔记本"))}));
    ASSERT_TRUE(p.allAccepted()) << problems(p).join(u'\n').toStdString();
    const Addition* category = find(p, ItemKind::Category, QStringLiteral("电脑"));
    ASSERT_NE(category, nullptr);
    EXPECT_EQ(category->prefix, QStringLiteral("DN"));
    EXPECT_EQ(category->number, 5);
    EXPECT_EQ(category->rows, (std::vector<int>{2, 3, 4}));
    const Addition* name = find(p, ItemKind::Name, QStringLiteral("台式机"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->owner, QStringLiteral("电脑"));
    EXPECT_EQ(name->prefix, QStringLiteral("DN"));
    EXPECT_TRUE(name->flag);
    // The file's own DN-2 is kept; the rows without a number take 1 and 3.
    EXPECT_EQ(p.assets[0].prefix + QString::number(p.assets[0].number), QStringLiteral("DN-1"));
    EXPECT_EQ(p.assets[1].prefix + QString::number(p.assets[1].number), QStringLiteral("DN-3"));
    EXPECT_EQ(p.assets[2].prefix + QString::number(p.assets[2].number), QStringLiteral("DN-2"));
    const Addition* life = find(p, ItemKind::Life, QStringLiteral("5年"));
    ASSERT_NE(life, nullptr);
    EXPECT_EQ(life->number, 60);
    EXPECT_NE(find(p, ItemKind::Location, QStringLiteral("财务科")), nullptr);
}

TEST_F(ImportPlanTest, AChosenPrefixReplacesThePinyinOne) {
    ImportOptions o;
    o.categoryPrefixes.insert(QStringLiteral("电脑"), QStringLiteral("JSJ"));
    const ImportPlan p =
        plan(sheet({row(QString(), QStringLiteral("电脑"), QStringLiteral("台式机"))}), o);
    EXPECT_EQ(find(p, ItemKind::Category, QStringLiteral("电脑"))->prefix, QStringLiteral("JSJ"));
    EXPECT_EQ(p.assets[0].prefix, QStringLiteral("JSJ-"));
}

TEST_F(ImportPlanTest, NumbersFollowTheRegistryOfAKnownName) {
    f_.exec(QStringLiteral("insert into sortproc (sort,title,cz) values ('电脑','JSJ',5)"));
    f_.exec(QStringLiteral(
        "insert into sortb (name,sort,bht,wzorgr) values ('台式机','电脑','TSJ',true)"));
    f_.exec(QStringLiteral("insert into idupper (idup,max) values ('TSJ-',7)"));
    f_.exec(
        QStringLiteral("insert into sbjl (id,num,zclb,sbmc,wz,bxq,worp) values "
                       "('TSJ-',9,'电脑','台式机','财务科','5年',true)"));
    const ImportPlan p =
        plan(sheet({row(QString(), QStringLiteral("电脑"), QStringLiteral("台式机")),
                    row(QString(), QStringLiteral("电脑"), QStringLiteral("台式机")),
                    row(QString(), QStringLiteral("电脑"), QStringLiteral("台式机"))}));
    ASSERT_EQ(p.assets.size(), 3u);
    EXPECT_EQ(p.assets[0].number, 8);
    EXPECT_EQ(p.assets[1].number, 10);  // 9 is held
    EXPECT_EQ(p.assets[2].number, 11);
    EXPECT_EQ(find(p, ItemKind::Category, QStringLiteral("电脑")), nullptr);
    EXPECT_EQ(find(p, ItemKind::Name, QStringLiteral("台式机")), nullptr);
}

TEST_F(ImportPlanTest, ANameWhoseLocationsArePersonsIsKeptByAPerson) {
    SheetTable t = sheet(
        {row(QString(), QStringLiteral("电脑"), QStringLiteral("笔记本"), QStringLiteral("张三")),
         row(QString(), QStringLiteral("电脑"), QStringLiteral("笔记本"), QStringLiteral("未分配")),
         row(QString(), QStringLiteral("家具"), QStringLiteral("桌子"), QStringLiteral("李四"))});
    t.rows[1].cells[5] = QStringLiteral("张三");  // the custodian column names 张三
    t.rows[3].cells[5] = QStringLiteral("张三");
    const ImportPlan p = plan(t);
    ASSERT_TRUE(p.allAccepted()) << problems(p).join(u'\n').toStdString();
    EXPECT_FALSE(find(p, ItemKind::Name, QStringLiteral("笔记本"))->flag);
    EXPECT_TRUE(find(p, ItemKind::Name, QStringLiteral("桌子"))->flag);
    EXPECT_FALSE(p.assets[0].worp);
    EXPECT_EQ(p.assets[1].bgr, QString());  // the file's own empty custodian stands
    EXPECT_NE(find(p, ItemKind::User, QStringLiteral("张三")), nullptr);
    EXPECT_EQ(find(p, ItemKind::User, QStringLiteral("未分配")), nullptr);
    EXPECT_NE(find(p, ItemKind::Location, QStringLiteral("李四")), nullptr);
}

TEST_F(ImportPlanTest, ALifeWithoutMonthsIsAskedFor) {
    SheetTable t = sheet({row(QString(), QStringLiteral("家具"), QStringLiteral("桌子"))});
    t.rows[1].cells[8] = QStringLiteral("长期");
    EXPECT_EQ(problems(plan(t)),
              QStringList{QStringLiteral(
                  "2|年限|新使用年限“长期”相当于几个月无法从文字读出，请给出月数。")});
    ImportOptions o;
    o.lifeMonths.insert(QStringLiteral("长期"), 600);
    const ImportPlan p = plan(t, o);
    EXPECT_TRUE(p.allAccepted());
    EXPECT_EQ(find(p, ItemKind::Life, QStringLiteral("长期"))->number, 600);
}

TEST_F(ImportPlanTest, TheHeaderIsFoundBelowATitleAndTheMappingCanBeChanged) {
    SheetTable t;
    t.rows.push_back({1, {QStringLiteral("某单位资产清单")}});
    t.rows.push_back({3,
                      {QStringLiteral("分类"), QStringLiteral("品名"), QStringLiteral("地方"),
                       QStringLiteral("年限"), QStringLiteral("购置日期")}});
    t.rows.push_back({4,
                      {QStringLiteral("家具"), QStringLiteral("桌子"), QStringLiteral("会议室"),
                       QStringLiteral("5年"), QStringLiteral("2020.1.15")}});
    ImportPlan p = plan(t);
    EXPECT_EQ(p.headerRow, 1);
    EXPECT_EQ(problems(p), QStringList{QStringLiteral("4|位置(使用者)|位置或使用者不能为空。")});
    ImportOptions o;
    o.mapping = {Field::Category, Field::Name, Field::Location, Field::Life, Field::PurchaseDate};
    p = plan(t, o);
    ASSERT_TRUE(p.allAccepted());
    EXPECT_EQ(p.assets[0].wz, QStringLiteral("会议室"));
    EXPECT_EQ(p.assets[0].gmrq, QDate(2020, 1, 15));
}

TEST_F(ImportPlanTest, WithoutCategoryOrNameColumnsNothingCanBeChecked) {
    SheetTable t;
    t.rows.push_back({1, {QStringLiteral("名称"), QStringLiteral("型号")}});
    EXPECT_THROW(plan(t), ReadError);
}

}  // namespace
}  // namespace fx::import
