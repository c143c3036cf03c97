#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "connection.h"
#include "displayonly.h"
#include "editfixture.h"
#include "prefixedit.h"
#include "scripts.h"
#include "tinputpzdlg.h"
#include "txzdlg.h"

namespace fx::test {
namespace {

using dictionary::TinputpzDlg;
using dictionary::TxzDlg;
using dictionary::TypeAheadBox;

const QString kTip = QStringLiteral("提示");

QStringList entries(const QComboBox* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i) result << list->itemText(i);
    return result;
}

// The card being edited with every field open to typing.
class DictionaryFieldTest : public EditTest {
protected:
    void startTyping(int policy = 0) {
        if (!form) start();
        state->settings.input = 0;
        state->settings.datadic = policy;
        form->Add1->trigger();
    }
    // Types a value into a field as the user does and leaves it.
    static void typeAndLeave(TypeAheadBox* box, const QString& value) {
        box->enter();
        box->setText(value);
        box->leave();
    }
    void chooseCategory(const QString& category = QStringLiteral("电子设备")) {
        choose(form->DBComboBox1, category);
        form->DBComboBox1Exit();
    }
    void chooseName(const QString& name) {
        chooseCategory();
        choose(form->DBComboBox2, name);
        form->DBComboBox2Exit();
    }
    int rows(const QString& table, const QString& condition) {
        return conn()
            .queryValue(QStringLiteral("select count(*) from ") + table +
                        QStringLiteral(" where ") + condition)
            .toInt();
    }
    // Starts the card in front, the category field holding the focus.
    void startInFront() {
        start();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        startTyping();
    }
};

// ---- an unlisted value under each policy --------------------------------------------------------

// One dictionary field: how to reach it, the value typed, the texts the user sees, the dialog an
// addition opens and the row it writes.
struct FieldCase {
    const char* name;
    bool mustBeListed;  // Cancel clears, and policy 3 still asks
    std::function<TypeAheadBox*(DictionaryFieldTest&, TMainForm&)> prepare;
    QString question;
    QString refusal;
    std::function<void(ModalScript&)> addDialog;
    QString table;
    QString column;
};

// A failing case names its field.
void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << c.name;
}

int closeTxz(TxzDlg& d) {
    d.BitBtn1Click();
    return d.result();
}

class UnlistedValueTest : public DictionaryFieldTest,
                          public ::testing::WithParamInterface<FieldCase> {
public:
    void chooseNameOf(const QString& name) { chooseName(name); }
    void chooseCategoryOnly() { chooseCategory(); }
};

const FieldCase kFields[] = {
    {"category", true, [](DictionaryFieldTest&, TMainForm& f) { return f.DBComboBox1; },
     QStringLiteral(
         "资产类别：%1 不在数据字典中，该栏必须为字典中已存在内容，要把它加入字典吗？按［确认］"
         "加入，按［取消］重新录入。"),
     QStringLiteral(
         "资产类别：%1 不在数据字典中，系统的设置是[输入内容必须已在数据字典中],所以您必须"
         "重新输入。"),
     [](ModalScript& m) {
         m.then<TxzDlg>([](TxzDlg& d) {
             EXPECT_EQ(d.form(), TxzDlg::Form::Rate);
             d.Edit1->setText(QStringLiteral("YQ"));
             return closeTxz(d);
         });
     },
     QStringLiteral("sortproc"), QStringLiteral("sort")},
    {"name", true,
     [](DictionaryFieldTest& t, TMainForm& f) {
         static_cast<UnlistedValueTest&>(t).chooseCategoryOnly();
         return f.DBComboBox2;
     },
     QStringLiteral(
         "%1 不在电子设备的数据字典中，该栏必须为字典中已存在内容，要把它加入字典吗？按［确认］"
         "加入，按［取消］重新录入。"),
     QStringLiteral(
         "%1 不在电子设备的数据字典中，系统的设置是[输入内容必须已在数据字典中],所以您必须"
         "重新输入。"),
     [](ModalScript& m) {
         m.then<TxzDlg>([](TxzDlg& d) {
             EXPECT_EQ(d.form(), TxzDlg::Form::Storage);
             EXPECT_EQ(d.prefix(), QStringLiteral("DZ"));  // the category's
             return closeTxz(d);
         });
     },
     QStringLiteral("sortb"), QStringLiteral("sort='电子设备' and name")},
    {"use", false,
     [](DictionaryFieldTest& t, TMainForm& f) {
         static_cast<UnlistedValueTest&>(t).chooseCategoryOnly();
         return f.DBComboBox4;
     },
     QStringLiteral("用途：%1 不在电子设备的数据字典中，把它加入数据字典吗？"),
     QStringLiteral(
         "用途：%1 不在电子设备的数据字典中，系统的设置是[输入内容必须已在数据字典中],所以"
         "您必须重新输入。"),
     [](ModalScript&) {}, QStringLiteral("ytb"), QStringLiteral("sort='电子设备' and yt")},
    {"model", false,
     [](DictionaryFieldTest& t, TMainForm& f) {
         static_cast<UnlistedValueTest&>(t).chooseNameOf(QStringLiteral("电脑"));
         return f.DBComboBox5;
     },
     QStringLiteral("型号：%1 不在电脑的数据字典中，把它加入数据字典吗？"),
     QStringLiteral(
         "型号：%1 不在电脑的数据字典中，系统的设置是[输入内容必须已在数据字典中],所以您必"
         "须重新输入。"),
     [](ModalScript& m) {
         m.then<TinputpzDlg>([](TinputpzDlg& d) {
             d.Edit1->setText(QStringLiteral("i7"));
             d.BitBtn1->click();
             return d.result();
         });
     },
     QStringLiteral("xhpz"), QStringLiteral("sbmc='电脑' and sbpz='i7' and sbxh")},
    {"location", false,
     [](DictionaryFieldTest& t, TMainForm& f) {
         static_cast<UnlistedValueTest&>(t).chooseNameOf(QStringLiteral("电脑"));
         return f.DBComboBox3;
     },
     QStringLiteral("位  置：%1 不在数据字典中，把它加入数据字典吗？"),
     QStringLiteral(
         "位  置：%1 不在数据字典中，系统的设置是[输入内容必须已在数据字典中],所以您必须重"
         "新输入。"),
     [](ModalScript& m) {
         m.then<TxzDlg>([](TxzDlg& d) {
             EXPECT_EQ(d.form(), TxzDlg::Form::DepartmentQuestion);
             d.RadioButton1->setChecked(true);
             return closeTxz(d);
         });
     },
     QStringLiteral("wzb"), QStringLiteral("isbm=1 and wz")},
    {"user", true,
     [](DictionaryFieldTest& t, TMainForm& f) {
         static_cast<UnlistedValueTest&>(t).chooseNameOf(QStringLiteral("打印机"));
         return f.DBComboBox3;
     },
     QStringLiteral(
         "%1 不在数据字典中，，且该栏必须为字典中已存在内容，按［确认］把它加入数据字典，按［"
         "取消］重新录入。"),
     QStringLiteral(
         "使用者：%1 不在数据字典中，系统的设置是[输入内容必须已在数据字典中],所以您必须重"
         "新输入。"),
     [](ModalScript& m) {
         m.then<TxzDlg>([](TxzDlg& d) {
             EXPECT_EQ(d.form(), TxzDlg::Form::DepartmentChoice);
             d.xz->setCurrentIndex(d.xz->findText(QStringLiteral("财务科")));
             return closeTxz(d);
         });
     },
     QStringLiteral("person"), QStringLiteral("bm='财务科' and pname")},
    {"life", true, [](DictionaryFieldTest&, TMainForm& f) { return f.DBComboBox6; },
     QStringLiteral(
         "使用年限：%1 不在数据字典中，且该栏必须为字典中已存在内容，按［确认］把它加入数据字"
         "典，按［取消］重新录入。"),
     QStringLiteral(
         "使用年限：%1 不在数据字典中，系统的设置是[输入内容必须已在数据字典中],所以您必须重"
         "新输入。"),
     [](ModalScript& m) {
         m.then<TxzDlg>([](TxzDlg& d) {
             EXPECT_EQ(d.form(), TxzDlg::Form::Months);
             d.CSpinEdit1->setValue(36);
             return closeTxz(d);
         });
     },
     QStringLiteral("syq"), QStringLiteral("yue='36' and qx")},
};

TEST_P(UnlistedValueTest, EachPolicyWithOkAndCancel) {
    const FieldCase& c = GetParam();
    const struct {
        int policy;
        QMessageBox::StandardButton answer;
    } scenarios[] = {{0, QMessageBox::Ok}, {0, QMessageBox::Cancel}, {1, QMessageBox::Ok},
                     {2, QMessageBox::Ok}, {3, QMessageBox::Ok},     {3, QMessageBox::Cancel}};
    int n = 0;
    for (const auto& s : scenarios) {
        const QString value = QStringLiteral("新项") + QString::number(++n);
        SCOPED_TRACE(
            QStringLiteral("%1 policy %2 answer %3")
                .arg(QLatin1String(c.name))
                .arg(s.policy)
                .arg(s.answer == QMessageBox::Ok ? QStringLiteral("OK") : QStringLiteral("Cancel"))
                .toStdString());
        if (form) form->Cancel1->trigger();
        startTyping(s.policy);
        TypeAheadBox* box = c.prepare(*this, *form);
        ASSERT_TRUE(box->isTyping());

        const bool asks = s.policy == 0 || (s.policy == 3 && c.mustBeListed);
        const bool added = s.policy == 1 || (asks && s.answer == QMessageBox::Ok);
        const bool cleared =
            s.policy == 2 || (asks && s.answer == QMessageBox::Cancel && c.mustBeListed);
        {
            PromptScript prompts;
            ModalScript dialogs;
            if (asks) prompts.expect(kTip, c.question.arg(value), s.answer);
            if (s.policy == 2) prompts.expect(kTip, c.refusal.arg(value));
            if (added) c.addDialog(dialogs);
            typeAndLeave(box, value);
        }
        EXPECT_EQ(box->text(), cleared ? QString() : value);
        EXPECT_EQ(entries(box).contains(value), added);
        EXPECT_EQ(rows(c.table, c.column + QStringLiteral("='") + value + QLatin1Char('\'')),
                  added ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, UnlistedValueTest, ::testing::ValuesIn(kFields),
                         [](const ::testing::TestParamInfo<FieldCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- other checks on leaving ------------------------------------------------------------------

TEST_F(DictionaryFieldTest, AValueDifferingOnlyInLetterCaseIsListed) {
    startTyping(2);
    chooseName(QStringLiteral("电脑"));
    PromptScript prompts;  // no refusal
    typeAndLeave(form->DBComboBox5, QStringLiteral("x1"));
    EXPECT_EQ(form->DBComboBox5->text(), QStringLiteral("x1"));
    EXPECT_EQ(rows(QStringLiteral("xhpz"), QStringLiteral("sbxh='x1'")), 0);
}

TEST_F(DictionaryFieldTest, LeavingTrimsTheTextBeforeTheCheck) {
    startTyping(2);
    chooseCategory();
    PromptScript prompts;
    typeAndLeave(form->DBComboBox4, QStringLiteral("  教学 "));
    EXPECT_EQ(form->DBComboBox4->text(), QStringLiteral("教学"));
}

TEST_F(DictionaryFieldTest, AModelWhoseConfigurationDialogIsCancelledIsStillAdded) {
    startTyping(0);
    chooseName(QStringLiteral("电脑"));
    PromptScript prompts;
    prompts.expect(kTip, QStringLiteral("型号：Z9 不在电脑的数据字典中，把它加入数据字典吗？"));
    ModalScript dialogs;
    dialogs.then<TinputpzDlg>([](TinputpzDlg& d) {
        d.Edit1->setText(QStringLiteral("i9 32G"));
        d.BitBtn2->click();
        return d.result();
    });
    typeAndLeave(form->DBComboBox5, QStringLiteral("Z9"));
    EXPECT_EQ(form->DBComboBox5->text(), QStringLiteral("Z9"));
    EXPECT_EQ(rows(QStringLiteral("xhpz"), QStringLiteral("sbmc='电脑' and sbxh='Z9' and "
                                                          "sbpz='i9 32G'")),
              1);
    // The configuration comes from the dialog and, being the model's, is not typed over.
    EXPECT_EQ(form->DBEdit3->text(), QStringLiteral("i9 32G"));
    EXPECT_FALSE(form->DBEdit3->isEnabled());
}

TEST_F(DictionaryFieldTest, AModelTakesItsConfigurationFromTheDictionary) {
    startTyping(0);
    chooseName(QStringLiteral("电脑"));
    choose(form->DBComboBox5, QStringLiteral("X1"));
    EXPECT_EQ(form->DBEdit3->text(), QStringLiteral("i5/8G"));
    EXPECT_FALSE(form->DBEdit3->isEnabled());
    choose(form->DBComboBox5, QStringLiteral("X2"));  // one without a configuration
    EXPECT_EQ(form->DBEdit3->text(), QString());
    EXPECT_TRUE(form->DBEdit3->isEnabled());
    form->DBEdit3->setText(QStringLiteral("  双屏 "));
    form->DBEdit3Exit();
    EXPECT_EQ(form->DBEdit3->text(), QStringLiteral("双屏"));
}

TEST_F(DictionaryFieldTest, AUseIsClearedWhenTheCategoryIsEmpty) {
    startTyping(0);
    chooseCategory();
    choose(form->DBComboBox4, QStringLiteral("办公"));
    // The category is emptied; leaving the use then clears it without a question.
    choose(form->DBComboBox1, QString());
    form->DBComboBox1Exit();
    EXPECT_EQ(form->DBComboBox4->text(), QStringLiteral("办公"));
    PromptScript prompts;
    typeAndLeave(form->DBComboBox4, QStringLiteral("办公"));
    EXPECT_EQ(form->DBComboBox4->text(), QString());
    EXPECT_EQ(rows(QStringLiteral("ytb"), QStringLiteral("sort=''")), 0);
}

TEST_F(DictionaryFieldTest, ANameOrUseNeedsACategoryAndAModelOrPlaceAName) {
    startTyping(0);
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("请先选择填入资产类别。"));
        prompts.expect(kTip, QStringLiteral("请先选择填入资产类别。"));
        prompts.expect(kTip, QStringLiteral("请先选择填入名称。"));
        prompts.expect(kTip, QStringLiteral("请先选择填入名称。"));
        choose(form->DBComboBox2, QStringLiteral("电脑"));
        choose(form->DBComboBox4, QStringLiteral("办公"));
        choose(form->DBComboBox5, QStringLiteral("X1"));
        choose(form->DBComboBox3, QStringLiteral("机房"));
    }
    for (QComboBox* c :
         {form->DBComboBox2, form->DBComboBox4, form->DBComboBox5, form->DBComboBox3})
        EXPECT_EQ(c->currentText(), QString()) << c->objectName().toStdString();
    EXPECT_TRUE(entries(form->DBComboBox2).isEmpty());
}

TEST_F(DictionaryFieldTest, AUserIsTheCustodian) {
    startTyping(0);
    chooseName(QStringLiteral("打印机"));
    EXPECT_EQ(form->Label7->text(), QStringLiteral("使用者："));
    // It shows the custodian legibly, without taking input.
    EXPECT_TRUE(form->DBComboBox8->isEnabled());
    EXPECT_TRUE(ui::isDisplayOnly(form->DBComboBox8));
    choose(form->DBComboBox3, QStringLiteral("李四"));
    EXPECT_EQ(form->DBComboBox8->currentText(), QStringLiteral("李四"));
}

TEST_F(DictionaryFieldTest, NoPersonIsAddedWithoutADepartment) {
    conn().executeNative(QStringLiteral("update wzb set isbm=0"));
    startTyping(1);
    chooseName(QStringLiteral("打印机"));
    PromptScript prompts;
    prompts.expect(kTip, QStringLiteral("数据字典中还没有部门名称"));
    typeAndLeave(form->DBComboBox3, QStringLiteral("王五"));
    EXPECT_EQ(form->DBComboBox3->text(), QString());
    EXPECT_EQ(rows(QStringLiteral("person"), QStringLiteral("pname='王五'")), 0);
}

TEST_F(DictionaryFieldTest, AnAddedNameDecidesStorageAndNumber) {
    startTyping(1);
    chooseCategory();
    ModalScript dialogs;
    dialogs.then<TxzDlg>([](TxzDlg& d) {
        d.RadioButton1->setChecked(true);  // "按使用者"
        d.Edit1->setText(QStringLiteral("SMY"));
        return closeTxz(d);
    });
    typeAndLeave(form->DBComboBox2, QStringLiteral("扫描仪"));
    EXPECT_EQ(rows(QStringLiteral("sortb"), QStringLiteral("name='扫描仪' and wzorgr=0 and "
                                                           "bht='SMY'")),
              1);
    EXPECT_EQ(form->Label7->text(), QStringLiteral("使用者："));
    EXPECT_EQ(numberText(), QStringLiteral("SMY-1"));
}

TEST_F(DictionaryFieldTest, WithoutARowOfNameAndCategoryTheNameOrCategoryDecides) {
    startTyping(3);
    chooseCategory(QStringLiteral("办公家具"));
    // A name only another category holds (a record or the policy let the pair through): that
    // row gives storage mode and prefix.
    choose(form->DBComboBox2, QStringLiteral("打印机"));
    form->ReloadModelAndLocationLists();
    EXPECT_EQ(numberText(), QStringLiteral("DY-1"));
    EXPECT_EQ(form->Label7->text(), QStringLiteral("使用者："));
    // A name the dictionary does not hold: the category's prefix, kept at a place.
    choose(form->DBComboBox2, QStringLiteral("书柜"));
    form->ReloadModelAndLocationLists();
    EXPECT_EQ(numberText(), QStringLiteral("JJ-1"));
    EXPECT_EQ(form->Label7->text(), QStringLiteral("位  置："));
}

// ---- keyboard ---------------------------------------------------------------------------------

TEST_F(DictionaryFieldTest, EnterMovesAcrossTheCardInItsOrder) {
    startInFront();
    QWidget* order[] = {form->DBComboBox1,     form->DBComboBox2, form->DBComboBox4,
                        form->DBComboBox5,     form->DBEdit3,     form->DBComboBox3,
                        form->DBComboBox8,     form->DBComboBox7, form->DBEdit1,
                        form->DateTimePicker1, form->DBComboBox6, form->DBMemo1};
    form->DBComboBox1->setFocus(Qt::TabFocusReason);
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        ASSERT_EQ(QApplication::focusWidget() == order[i] ||
                      order[i]->isAncestorOf(QApplication::focusWidget()),
                  true)
            << i;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    EXPECT_TRUE(form->DBMemo1->hasFocus());
    form->Cancel1->trigger();
}

TEST_F(DictionaryFieldTest, EnterSkipsAClosedConfigurationAndCustodian) {
    startInFront();
    chooseName(QStringLiteral("打印机"));  // held by a person: the custodian follows the user
    form->DBComboBox5->setFocus(Qt::TabFocusReason);
    form->DBEdit3->setEnabled(false);
    QTest::keyClick(form->DBComboBox5, Qt::Key_Return);
    EXPECT_TRUE(form->DBComboBox3->hasFocus());
    QTest::keyClick(form->DBComboBox3, Qt::Key_Return);
    EXPECT_TRUE(form->DBComboBox7->hasFocus());
    form->Cancel1->trigger();
}

TEST_F(DictionaryFieldTest, TypingNarrowsTheListAndLeavingRestoresIt) {
    startInFront();
    chooseName(QStringLiteral("电脑"));
    form->DBComboBox5->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(form->DBComboBox5, QStringLiteral("X"));
    EXPECT_EQ(entries(form->DBComboBox5),
              (QStringList{QStringLiteral("X"), QStringLiteral("X1"), QStringLiteral("X2")}));
    QTest::keyClicks(form->DBComboBox5, QStringLiteral("1"));
    EXPECT_EQ(entries(form->DBComboBox5),
              (QStringList{QStringLiteral("X1"), QStringLiteral("X1"), QString()}));
    EXPECT_TRUE(form->DBComboBox5->isDroppedDown());
    form->DBComboBox5->hidePopup();
    form->DBComboBox3->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(entries(form->DBComboBox5),
              (QStringList{QStringLiteral("X1"), QStringLiteral("X2")}));
    EXPECT_EQ(form->DBComboBox5->currentText(), QStringLiteral("X1"));
    EXPECT_EQ(form->DBEdit3->text(), QStringLiteral("i5/8G"));
    form->Cancel1->trigger();
}

TEST_F(DictionaryFieldTest, AnApostropheIsNeverTyped) {
    startInFront();
    chooseName(QStringLiteral("电脑"));
    form->DBComboBox5->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(form->DBComboBox5, QStringLiteral("X'2"));
    EXPECT_EQ(form->DBComboBox5->currentText(), QStringLiteral("X2"));
    form->DBComboBox5->hidePopup();
    form->DBEdit3->setFocus(Qt::TabFocusReason);
    form->DBEdit3->clear();
    QTest::keyClicks(form->DBEdit3, QStringLiteral("a'b"));
    EXPECT_EQ(form->DBEdit3->text(), QStringLiteral("ab"));
    form->DBMemo1->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(form->DBMemo1, QStringLiteral("c'd"));
    EXPECT_EQ(form->DBMemo1->toPlainText(), QStringLiteral("cd"));
    form->Cancel1->trigger();
}

TEST_F(DictionaryFieldTest, AKeyReachingAListWithoutTheFocusIsRefused) {
    startInFront();
    chooseCategory();
    form->DBComboBox1->setFocus(Qt::TabFocusReason);
    const struct {
        QComboBox* list;
        const char* message;
    } lists[] = {
        {form->DBComboBox2, "请填入名称栏。"},  {form->DBComboBox4, "请填入用途栏。"},
        {form->DBComboBox5, "请填入型号栏。"},  {form->DBComboBox3, "请填入位置（使用者）。"},
        {form->DBComboBox8, "请填入保管人。"},  {form->DBComboBox7, "请填入来源方式。"},
        {form->DBComboBox6, "请填入使用年限。"}};
    for (const auto& l : lists) {
        PromptScript prompts;
        prompts.expect(kTip, QString::fromUtf8(l.message));
        const QString before = l.list->currentText();
        QTest::keyClick(l.list, Qt::Key_A);
        EXPECT_EQ(l.list->currentText(), before) << l.message;
    }
    form->Cancel1->trigger();
}

TEST_F(DictionaryFieldTest, SavingChecksTheFieldThatHoldsTheFocus) {
    startInFront();
    state->settings.datadic = 2;
    fillCard();
    form->DBComboBox6->setFocus(Qt::TabFocusReason);
    choose(form->DBComboBox6, QStringLiteral("百年"));
    PromptScript prompts;
    prompts.expect(kTip, QStringLiteral("使用年限：百年 不在数据字典中"));
    prompts.expect(kTip, QStringLiteral("使用期限栏中必须填写内容。"));
    form->Save1->trigger();
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::AddOne);
    EXPECT_EQ(assetCount(), 0);
    form->Cancel1->trigger();
}

}  // namespace
}  // namespace fx::test
