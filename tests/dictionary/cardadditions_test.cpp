#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "cardadditions.h"
#include "dictionaryfixture.h"
#include "prefixedit.h"
#include "scripts.h"
#include "tinputpzdlg.h"
#include "txzdlg.h"

namespace {

using namespace fx::dictionary;
using fx::test::ModalScript;
using fx::test::PromptScript;
using Form = TxzDlg::Form;

class CardAdditions : public ::testing::Test, public fx::test::DictionaryFixture {};

TEST_F(CardAdditions, ACategoryTakesItsRateAndPrefix) {
    ModalScript dialogs;
    dialogs.then<TxzDlg>([](TxzDlg& d) {
        EXPECT_EQ(d.form(), Form::Rate);
        d.CSpinEdit1->setValue(8);
        d.Edit1->setText(QStringLiteral("jsj"));
        d.BitBtn1Click();
        return d.result();
    });
    EXPECT_EQ(addCategoryFromCard(nullptr, state(), QStringLiteral("仪器")), QStringLiteral("JSJ"));
    EXPECT_EQ(text(QStringLiteral("SELECT title||'/'||cz FROM sortproc WHERE sort='仪器'")),
              QStringLiteral("JSJ/8"));
}

TEST_F(CardAdditions, ANameStartsWithItsCategoryPrefixAndTakesItsStorageMode) {
    ModalScript dialogs;
    dialogs.then<TxzDlg>([](TxzDlg& d) {
        EXPECT_EQ(d.form(), Form::Storage);
        EXPECT_EQ(d.prefix(), QStringLiteral("AB"));
        d.RadioButton1->setChecked(true);
        d.BitBtn1Click();
        return d.result();
    });
    EXPECT_FALSE(addNameFromCard(nullptr, state(), QStringLiteral("平板"), QStringLiteral("电脑")));
    EXPECT_EQ(
        text(QStringLiteral("SELECT sort||'/'||bht||'/'||wzorgr FROM sortb WHERE name='平板'")),
        QStringLiteral("电脑/AB/0"));
}

TEST_F(CardAdditions, AUseNeedsNoDialog) {
    ModalScript dialogs;  // none may open
    addUseFromCard(state(), QStringLiteral("教学"), QStringLiteral("家具"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM ytb WHERE sort='家具' AND yt='教学'")), 1);
}

TEST_F(CardAdditions, AModelIsAddedEvenWhenItsConfigurationDialogIsCancelled) {
    ModalScript dialogs;
    dialogs.then<TinputpzDlg>([](TinputpzDlg& d) {
        d.Edit1->setText(QStringLiteral("i3 4G"));
        d.BitBtn2->click();
        return d.result();
    });
    EXPECT_EQ(addModelFromCard(nullptr, state(), QStringLiteral("D7"), QStringLiteral("台式机")),
              QStringLiteral("i3 4G"));
    EXPECT_EQ(text(QStringLiteral("SELECT sbpz FROM xhpz WHERE sbmc='台式机' AND sbxh='D7'")),
              QStringLiteral("i3 4G"));
}

TEST_F(CardAdditions, APlaceIsNoDepartmentUnlessChosen) {
    ModalScript dialogs;
    dialogs.then<TxzDlg>([](TxzDlg& d) {
        EXPECT_EQ(d.form(), Form::DepartmentQuestion);
        d.reject();  // closed without a choice: the preset stands
        return d.result();
    });
    dialogs.then<TxzDlg>([](TxzDlg& d) {
        d.RadioButton1->setChecked(true);
        d.BitBtn1Click();
        return d.result();
    });
    addLocationFromCard(nullptr, state(), QStringLiteral("库房"));
    addLocationFromCard(nullptr, state(), QStringLiteral("人事科"));
    EXPECT_EQ(text(QStringLiteral("SELECT isbm FROM wzb WHERE wz='库房'")), QStringLiteral("0"));
    EXPECT_EQ(text(QStringLiteral("SELECT isbm FROM wzb WHERE wz='人事科'")), QStringLiteral("1"));
}

TEST_F(CardAdditions, APersonJoinsTheChosenDepartment) {
    ModalScript dialogs;
    dialogs.then<TxzDlg>([](TxzDlg& d) {
        EXPECT_EQ(d.form(), Form::DepartmentChoice);
        d.xz->setCurrentIndex(0);
        d.BitBtn1Click();
        return d.result();
    });
    EXPECT_EQ(addPersonFromCard(nullptr, state(), QStringLiteral("王五")),
              QStringLiteral("财务科"));
    EXPECT_EQ(text(QStringLiteral("SELECT bm FROM person WHERE pname='王五'")),
              QStringLiteral("财务科"));
}

TEST_F(CardAdditions, WithoutADepartmentNoPersonIsAdded) {
    run(QStringLiteral("DELETE FROM wzb"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), noDepartmentMessage());
    ModalScript dialogs;
    EXPECT_FALSE(addPersonFromCard(nullptr, state(), QStringLiteral("王五")).has_value());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM person WHERE pname='王五'")), 0);
}

TEST_F(CardAdditions, ALifeTakesItsMonths) {
    ModalScript dialogs;
    dialogs.then<TxzDlg>([](TxzDlg& d) {
        EXPECT_EQ(d.form(), Form::Months);
        d.CSpinEdit1->setValue(36);
        d.BitBtn1Click();
        return d.result();
    });
    addLifeFromCard(nullptr, state(), QStringLiteral("三年"));
    EXPECT_EQ(text(QStringLiteral("SELECT yue FROM syq WHERE qx='三年'")), QStringLiteral("36"));
}

}  // namespace
