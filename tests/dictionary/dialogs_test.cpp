#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "connection.h"
#include "dictionaryfixture.h"
#include "prefixedit.h"
#include "scripts.h"
#include "tinputpzdlg.h"
#include "txzdlg.h"

namespace {

using fx::dictionary::TinputpzDlg;
using fx::dictionary::TxzDlg;
using Form = TxzDlg::Form;
using fx::test::ModalScript;
using fx::test::PromptScript;

const QString kTip = QStringLiteral("提示");

// The names of the form's controls that are not hidden, in a fixed order.
QStringList shown(const TxzDlg& d) {
    QStringList names;
    for (const QWidget* w :
         {static_cast<const QWidget*>(d.Label2), static_cast<const QWidget*>(d.RadioButton1),
          static_cast<const QWidget*>(d.RadioButton2), static_cast<const QWidget*>(d.xz),
          static_cast<const QWidget*>(d.CSpinEdit1), static_cast<const QWidget*>(d.Label3),
          static_cast<const QWidget*>(d.Edit1)}) {
        if (!w->isHidden()) names << w->objectName();
    }
    return names;
}

TEST(AttributeDialog, RateFormAsksForARateAndAPrefix) {
    TxzDlg d(Form::Rate);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("请选择该数据字典项的属性"));
    EXPECT_EQ(
        d.Label1->text(),
        QStringLiteral("请填写该类固定资产的预计净残值率（低值易耗品按月摊销填0，不折旧填100）"));
    EXPECT_TRUE(d.Label1->wordWrap());
    EXPECT_EQ(shown(d), (QStringList{QStringLiteral("Label2"), QStringLiteral("CSpinEdit1"),
                                     QStringLiteral("Label3"), QStringLiteral("Edit1")}));
    EXPECT_EQ(d.Label2->text(), QStringLiteral("％"));
    EXPECT_EQ(d.Label3->text(), QStringLiteral("请填写新增资产缺省编号头："));
    EXPECT_EQ(d.number(), 5);
    EXPECT_TRUE(d.prefix().isEmpty());
    EXPECT_EQ(d.CSpinEdit1->minimum(), 0);
    EXPECT_EQ(d.CSpinEdit1->maximum(), 100);
    // A value above the maximum is set back to it.
    d.CSpinEdit1->setValue(250);
    EXPECT_EQ(d.number(), 100);
}

TEST(AttributeDialog, StorageFormPresetsPlaceAndTheCategoryPrefix) {
    TxzDlg d(Form::Storage);
    d.setPrefix(QStringLiteral("jsj"));
    EXPECT_EQ(d.Label1->text(), QStringLiteral("该物品是按使用者名义存放的吗？请您选择："));
    EXPECT_EQ(shown(d), (QStringList{QStringLiteral("RadioButton1"), QStringLiteral("RadioButton2"),
                                     QStringLiteral("Label3"), QStringLiteral("Edit1")}));
    EXPECT_EQ(d.RadioButton1->text(), QStringLiteral("按使用者"));
    EXPECT_EQ(d.RadioButton2->text(), QStringLiteral("按存放位置"));
    EXPECT_FALSE(d.byUser());
    EXPECT_EQ(d.prefix(), QStringLiteral("JSJ"));
    d.RadioButton1->setChecked(true);
    EXPECT_TRUE(d.byUser());
}

TEST(AttributeDialog, DepartmentQuestionAndMonthsForms) {
    TxzDlg question(Form::DepartmentQuestion);
    EXPECT_EQ(question.Label1->text(), QStringLiteral("该位置是部门名称吗？请您选择："));
    EXPECT_EQ(shown(question),
              (QStringList{QStringLiteral("RadioButton1"), QStringLiteral("RadioButton2")}));
    EXPECT_EQ(question.RadioButton1->text(), QStringLiteral("是部门名称"));
    EXPECT_EQ(question.RadioButton2->text(), QStringLiteral("不是部门名称"));
    EXPECT_FALSE(question.isDepartment());

    TxzDlg months(Form::Months);
    EXPECT_EQ(months.Label1->text(), QStringLiteral("该期限相当于几个月度会计期间,请选择:"));
    EXPECT_EQ(shown(months), (QStringList{QStringLiteral("Label2"), QStringLiteral("CSpinEdit1")}));
    EXPECT_EQ(months.Label2->text(), QStringLiteral("个月"));
    EXPECT_EQ(months.number(), 1);
    months.CSpinEdit1->setValue(0);
    EXPECT_EQ(months.number(), 1);
    months.CSpinEdit1->setValue(5000);
    EXPECT_EQ(months.number(), 1200);
}

TEST(AttributeDialog, EnterInTheSpinEditMovesToOk) {
    TxzDlg d(Form::Months);
    d.show();
    d.CSpinEdit1->setFocus();
    d.CSpinEdit1->selectAll();
    QTest::keyClicks(d.CSpinEdit1, QStringLiteral("24"));
    QTest::keyClick(d.CSpinEdit1, Qt::Key_Return);
    // The focus moves on within the window (offscreen windows need not be active).
    EXPECT_EQ(d.focusWidget(), d.BitBtn1);
    EXPECT_EQ(d.number(), 24);
    EXPECT_FALSE(d.isHidden());
}

TEST(AttributeDialog, AnEmptyPrefixKeepsTheDialogOpen) {
    PromptScript prompts;
    prompts.expect(kTip, QStringLiteral("请填写新增资产缺省编号头。"));
    TxzDlg d(Form::Rate);
    d.show();
    d.BitBtn1Click();
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(prompts.done());
    d.Edit1->setText(QStringLiteral("ab"));
    d.BitBtn1Click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.prefix(), QStringLiteral("AB"));
}

TEST(AttributeDialog, TheDepartmentListMustHaveAChoiceHoweverItCloses) {
    PromptScript prompts;
    prompts.expect(kTip, QStringLiteral("该栏必须有选择内容。"));
    prompts.expect(kTip, QStringLiteral("该栏必须有选择内容。"));
    TxzDlg d(Form::DepartmentChoice);
    d.setDepartments({QStringLiteral("财务科"), QStringLiteral("总务科")});
    EXPECT_EQ(d.Label1->text(), QStringLiteral("该使用者属于哪一部门？请您选择："));
    EXPECT_EQ(shown(d), QStringList{QStringLiteral("xz")});
    EXPECT_TRUE(d.department().isEmpty());
    d.show();
    d.BitBtn1Click();
    EXPECT_TRUE(d.isVisible());
    d.reject();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(prompts.seen().size(), 2);
    d.xz->setCurrentIndex(1);
    d.reject();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.department(), QStringLiteral("总务科"));
}

TEST(AttributeDialog, PrefixEditTakesOnlyLettersInUpperCase) {
    TxzDlg d(Form::Rate);
    d.Edit1->setFocus();
    QTest::keyClicks(d.Edit1, QStringLiteral("a1b-c d"));
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("ABCD"));
    QTest::keyClick(d.Edit1, Qt::Key_Backspace);
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("ABC"));
    QTest::keyClicks(d.Edit1, QStringLiteral("efghijk"));
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("ABCEFGHI"));
}

TEST(AttributeDialog, ColourFollowsTheTheme) {
    TxzDlg own(Form::Months, fx::Theme::Colourful);
    EXPECT_EQ(own.palette().color(QPalette::Window), QColor(186, 197, 218));
    TxzDlg blue(Form::Months, fx::Theme::Blue);
    EXPECT_EQ(blue.palette().color(QPalette::Window), QColor(193, 218, 238));
    TinputpzDlg config(fx::Theme::Colourful);
    EXPECT_EQ(config.palette().color(QPalette::Window), QColor(186, 197, 218));
}

class DepartmentChoice : public ::testing::Test, public fx::test::DictionaryFixture {};

TEST_F(DepartmentChoice, OffersTheDepartmentsOnly) {
    run(QStringLiteral("INSERT INTO wzb (wz,isbm) VALUES ('总务科',1)"));
    ModalScript dialogs;
    dialogs.then<TxzDlg>([](TxzDlg& d) {
        EXPECT_EQ(d.form(), Form::DepartmentChoice);
        EXPECT_EQ(d.xz->count(), 2);
        EXPECT_EQ(d.xz->itemText(0), QStringLiteral("财务科"));
        d.xz->setCurrentIndex(1);
        d.BitBtn1Click();
        return d.result();
    });
    EXPECT_EQ(fx::dictionary::chooseDepartment(nullptr, *state().current),
              QStringLiteral("总务科"));
}

TEST_F(DepartmentChoice, WithoutADepartmentTellsTheUserToDefineOneFirst) {
    run(QStringLiteral("UPDATE wzb SET isbm=0"));
    PromptScript prompts;
    prompts.expect(kTip, fx::dictionary::noDepartmentMessage());
    ModalScript dialogs;  // no dialog may open
    EXPECT_FALSE(fx::dictionary::chooseDepartment(nullptr, *state().current).has_value());
    EXPECT_TRUE(prompts.done());
}

TEST(ConfigurationDialog, HasItsTextsAndGivesTheTrimmedEditWhicheverButton) {
    TinputpzDlg d;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("输入相应配置吗？"));
    EXPECT_EQ(d.Label1->text(),
              QStringLiteral("如果该型号的设备有具体的硬件配置,并需要把该配置加入数据字典中,"
                             "请在输入后,按确定键。"));
    EXPECT_EQ(d.BitBtn1->text(), QStringLiteral("确定"));
    EXPECT_EQ(d.BitBtn2->text(), QStringLiteral("取消"));
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
    d.Edit1->setFocus();
    QTest::keyClicks(d.Edit1, QStringLiteral(" i5'8G "));
    EXPECT_EQ(d.configuration(), QStringLiteral("i58G"));
    d.show();
    d.BitBtn2->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(d.configuration(), QStringLiteral("i58G"));
}

}  // namespace
