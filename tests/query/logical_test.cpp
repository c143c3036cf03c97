#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "appstate.h"
#include "connection.h"
#include "depreciation.h"
#include "queryfixture.h"
#include "resulttable.h"
#include "scripts.h"
#include "tljcxdlg.h"

namespace fx::test {
namespace {

using query::TljcxDlg;

class LogicalTest : public QueryTest {
protected:
    void SetUp() override {
        QueryTest::SetUp();
        addStandardAssets();
    }

    // Fills row k: field, operator and (when given) value.
    static void row(TljcxDlg& d, int k, const QString& field, const QString& op,
                    const QString& value = QString()) {
        d.chooseField(k, field);
        d.chooseOperator(k, op);
        if (!value.isNull()) d.valueBox(k)->setText(value);
    }

    int rowsFor(const QString& condition) {
        query::ResultTable t;
        t.load(*app->current, reports::kAssetQuery + condition);
        return t.rowCount();
    }

    static QStringList items(const QComboBox* box) {
        QStringList out;
        for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
        return out;
    }
};

TEST_F(LogicalTest, OnlyTheFirstRowStartsEnabled) {
    TljcxDlg d(*app);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("逻辑查寻"));
    EXPECT_EQ(d.GroupBox1->title(), QStringLiteral("查寻条件"));
    EXPECT_EQ(d.BitBtn1->text(), QStringLiteral("确定"));
    EXPECT_EQ(d.BitBtn2->text(), QStringLiteral("取消"));
    for (int k = 1; k <= TljcxDlg::kRows; ++k) {
        EXPECT_EQ(d.fieldBox(k)->isEnabled(), k == 1) << k;
        EXPECT_EQ(d.valueBox(k)->isEnabled(), k == 1) << k;
        EXPECT_EQ(d.fieldBox(k)->count(), 21) << k;
        EXPECT_TRUE(d.fieldBox(k)->itemText(20).isEmpty());
        EXPECT_FALSE(d.fieldBox(k)->isEditable());
        EXPECT_EQ(d.fieldBox(k)->currentIndex(), -1);
        if (k < TljcxDlg::kRows) {
            EXPECT_EQ(items(d.connectorBox(k)),
                      (QStringList{QStringLiteral("并且"), QStringLiteral("或者"), QString()}));
        }
    }
    EXPECT_EQ(d.connectorBox(6), nullptr);
    EXPECT_EQ(d.fieldBox(2), d.ComboBox4);
    EXPECT_EQ(d.operatorBox(6), d.ComboBox17);
    EXPECT_EQ(d.connectorBox(5), d.ComboBox15);
    EXPECT_EQ(d.valueBox(3), d.Edit3);
}

TEST_F(LogicalTest, FieldChoiceRebuildsTheOperators) {
    TljcxDlg d(*app);
    d.valueBox(1)->setText(QStringLiteral("x"));
    d.chooseField(1, QStringLiteral("购买价格"));
    EXPECT_EQ(items(d.operatorBox(1)).join(QLatin1Char(' ')), QStringLiteral("= > < >= <= <>"));
    EXPECT_EQ(d.operatorBox(1)->currentIndex(), -1);
    EXPECT_TRUE(d.valueBox(1)->text().isEmpty());
    d.chooseField(1, QStringLiteral("已借出"));
    EXPECT_EQ(items(d.operatorBox(1)), (QStringList{QStringLiteral("是"), QStringLiteral("否")}));
    EXPECT_FALSE(d.valueBox(1)->isEnabled());
    d.chooseField(1, QStringLiteral("存放方式"));
    EXPECT_EQ(items(d.operatorBox(1)),
              (QStringList{QStringLiteral("按存放地点"), QStringLiteral("按使用者")}));
    d.chooseField(1, QStringLiteral("名称"));
    EXPECT_EQ(items(d.operatorBox(1)), (QStringList{QStringLiteral("="), QStringLiteral("包含")}));
    EXPECT_TRUE(d.valueBox(1)->isEnabled());
    // Rows 2 to 6 end their operator lists with an empty entry.
    d.chooseConnector(1, QStringLiteral("并且"));
    d.chooseField(2, QStringLiteral("已报废"));
    EXPECT_EQ(items(d.operatorBox(2)),
              (QStringList{QStringLiteral("是"), QStringLiteral("否"), QString()}));
}

TEST_F(LogicalTest, OneRow) {
    TljcxDlg d(*app);
    row(d, 1, QStringLiteral("资产类别"), QStringLiteral("="), QStringLiteral("电脑"));
    d.BitBtn1Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.conditionText(), QStringLiteral(" and (zclb='电脑')"));
    EXPECT_EQ(rowsFor(d.conditionText()), 10);
}

TEST_F(LogicalTest, PriceOrScrapped) {
    TljcxDlg d(*app);
    row(d, 1, QStringLiteral("购买价格"), QStringLiteral(">="), QStringLiteral("1000"));
    d.chooseConnector(1, QStringLiteral("或者"));
    EXPECT_TRUE(d.fieldBox(2)->isEnabled());
    EXPECT_FALSE(d.fieldBox(3)->isEnabled());
    row(d, 2, QStringLiteral("已报废"), QStringLiteral("是"));
    d.BitBtn1Click();
    EXPECT_EQ(d.conditionText(), QStringLiteral(" and (gmjg>=1000 or ybf)"));
    // 1000, 1100 and 1200, and the scrapped JSJ-4.
    EXPECT_EQ(rowsFor(d.conditionText()), 4);
}

TEST_F(LogicalTest, HeldByAPersonAndNameContains) {
    TljcxDlg d(*app);
    row(d, 1, QStringLiteral("存放方式"), QStringLiteral("按使用者"));
    d.chooseConnector(1, QStringLiteral("并且"));
    row(d, 2, QStringLiteral("名称"), QStringLiteral("包含"), QStringLiteral("电脑"));
    d.BitBtn1Click();
    EXPECT_EQ(d.conditionText(), QStringLiteral(" and (not worp and sbmc like '%电脑%')"));
    EXPECT_EQ(rowsFor(d.conditionText()), 2);  // the two 笔记本电脑
}

TEST_F(LogicalTest, AndBindsTighterThanOr) {
    TljcxDlg d(*app);
    row(d, 1, QStringLiteral("名称"), QStringLiteral("="), QStringLiteral("打印机"));
    d.chooseConnector(1, QStringLiteral("并且"));
    row(d, 2, QStringLiteral("购买价格"), QStringLiteral(">"), QStringLiteral("500"));
    d.chooseConnector(2, QStringLiteral("或者"));
    row(d, 3, QStringLiteral("编号尾"), QStringLiteral("="), QStringLiteral("1"));
    d.BitBtn1Click();
    EXPECT_EQ(d.conditionText(), QStringLiteral(" and (sbmc='打印机' and gmjg>500 or num=1)"));
    // (JSJ-3) or (JSJ-1, JJ-1).
    EXPECT_EQ(rowsFor(d.conditionText()), 3);
}

TEST_F(LogicalTest, DateRewrittenAndUsed) {
    TljcxDlg d(*app);
    row(d, 1, QStringLiteral("购买日期"), QStringLiteral(">"), QStringLiteral("05-4-3"));
    EXPECT_TRUE(d.ValueExit(1));
    EXPECT_EQ(d.valueBox(1)->text(), QStringLiteral("2005-04-03"));
    d.BitBtn1Click();
    EXPECT_EQ(d.conditionText(), QStringLiteral(" and (gmrq>#2005-04-03#)"));
    EXPECT_EQ(rowsFor(d.conditionText()), 12);
    d.valueBox(1)->setText(QStringLiteral("6-1"));
    EXPECT_TRUE(d.ValueExit(1));
    EXPECT_EQ(d.valueBox(1)->text(), QStringLiteral("2024-06-01"));
}

TEST_F(LogicalTest, ValuesAreCheckedWhenLeft) {
    TljcxDlg d(*app);
    d.chooseField(1, QStringLiteral("购买价格"));
    d.valueBox(1)->setText(QStringLiteral("12元"));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("警告"),
                       QStringLiteral("您输入的格式不对,请重新输入。例如：1.00"));
        EXPECT_FALSE(d.ValueExit(1));
    }
    EXPECT_EQ(d.valueBox(1)->text(), QStringLiteral("12元"));
    EXPECT_EQ(d.valueBox(1)->selectedText(), QStringLiteral("12元"));
    d.chooseField(1, QStringLiteral("序号"));
    {
        // An empty box is checked too.
        PromptScript prompts;
        prompts.expect(QStringLiteral("警告"),
                       QStringLiteral("您输入的格式不对,必须为整数,请重新输入。例如：8"));
        EXPECT_FALSE(d.ValueExit(1));
    }
    d.chooseField(1, QStringLiteral("配置日期"));
    d.valueBox(1)->setText(QStringLiteral("2005-2-30"));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("警告"),
                       QStringLiteral("您输入的格式不对,请重新输入。例如：2005-4-3或05-4-3或4-3"));
        EXPECT_FALSE(d.ValueExit(1));
    }
    d.chooseField(1, QStringLiteral("备注"));
    EXPECT_TRUE(d.ValueExit(1));  // text fields take anything
}

TEST_F(LogicalTest, LeavingTheValueBoxRunsTheCheck) {
    TljcxDlg d(*app);
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.chooseField(1, QStringLiteral("编号尾"));
    d.valueBox(1)->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(d.valueBox(1), QStringLiteral("x1"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("警告"), QStringLiteral("必须为整数"));
    d.fieldBox(1)->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(prompts.done());
    d.reject();
}

TEST_F(LogicalTest, IncompleteRowIsRefused) {
    TljcxDlg d(*app);
    row(d, 1, QStringLiteral("资产类别"), QStringLiteral("="), QStringLiteral("电脑"));
    d.chooseConnector(1, QStringLiteral("并且"));
    d.chooseField(2, QStringLiteral("名称"));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("警告"), QStringLiteral("请先把条件填写完整再按确定键。"));
        d.BitBtn1Click();
    }
    EXPECT_EQ(d.result(), 0);
    EXPECT_TRUE(d.conditionText().isEmpty());
    // Completed, the next OK builds again from the start.
    d.chooseOperator(2, QStringLiteral("包含"));
    d.valueBox(2)->setText(QStringLiteral("台式"));
    d.BitBtn1Click();
    EXPECT_EQ(d.conditionText(), QStringLiteral(" and (zclb='电脑' and sbmc like '%台式%')"));
    // A number that never passed its check is incomplete too.
    TljcxDlg e(*app);
    row(e, 1, QStringLiteral("购买价格"), QStringLiteral(">"), QStringLiteral("1 or 1=1"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("警告"), QStringLiteral("请先把条件填写完整再按确定键。"));
    e.BitBtn1Click();
    EXPECT_TRUE(e.conditionText().isEmpty());
}

TEST_F(LogicalTest, EmptyConnectorEndsTheRows) {
    TljcxDlg d(*app);
    row(d, 1, QStringLiteral("资产类别"), QStringLiteral("="), QStringLiteral("家具"));
    d.chooseConnector(1, QStringLiteral("或者"));
    row(d, 2, QStringLiteral("名称"), QStringLiteral("="), QStringLiteral("打印机"));
    d.chooseConnector(2, QStringLiteral("并且"));
    row(d, 3, QStringLiteral("购买价格"), QStringLiteral(">"), QStringLiteral("1"));
    d.chooseConnector(1, QString());
    // Row 2 went back to its empty entries but stays enabled.
    EXPECT_TRUE(d.fieldBox(2)->currentText().isEmpty());
    EXPECT_TRUE(d.operatorBox(2)->currentText().isEmpty());
    EXPECT_TRUE(d.connectorBox(2)->currentText().isEmpty());
    EXPECT_TRUE(d.valueBox(2)->text().isEmpty());
    EXPECT_TRUE(d.fieldBox(2)->isEnabled());
    d.BitBtn1Click();
    EXPECT_EQ(d.conditionText(), QStringLiteral(" and (zclb='家具')"));
    EXPECT_EQ(rowsFor(d.conditionText()), 2);
}

TEST_F(LogicalTest, EmptyFirstFieldAddsNothing) {
    TljcxDlg d(*app);
    d.chooseField(1, QString());
    d.BitBtn1Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(d.conditionText().isEmpty());
    TljcxDlg untouched(*app);
    untouched.BitBtn1Click();
    EXPECT_EQ(untouched.result(), QDialog::Accepted);
    EXPECT_TRUE(untouched.conditionText().isEmpty());
}

TEST_F(LogicalTest, TextValuesAreQuoted) {
    TljcxDlg d(*app);
    row(d, 1, QStringLiteral("编号头"), QStringLiteral("="), QStringLiteral("JJ-' or ''='"));
    d.BitBtn1Click();
    EXPECT_EQ(d.conditionText(), QStringLiteral(" and (sbjl.id='JJ-'' or ''''=''')"));
    EXPECT_EQ(rowsFor(d.conditionText()), 0);
    TljcxDlg e(*app);
    row(e, 1, QStringLiteral("编号头"), QStringLiteral("="), QStringLiteral("JJ-"));
    e.BitBtn1Click();
    EXPECT_EQ(rowsFor(e.conditionText()), 2);
}

}  // namespace
}  // namespace fx::test
