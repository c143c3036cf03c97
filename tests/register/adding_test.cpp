#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "batchdialog.h"
#include "connection.h"
#include "displayonly.h"
#include "editfixture.h"
#include "rowset.h"
#include "scripts.h"

namespace fx::test {
namespace {

QStringList entries(const QComboBox* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i) result << list->itemText(i);
    return result;
}

const QString kBatchQuestion = QStringLiteral("已经被其它固定资产占用，是否自动替换为其它编号？");

// ---- the batch dialog ---------------------------------------------------------------------------

TEST(BatchDialog, CountFromOneToFiveHundred) {
    TplzjDlg d(Theme::Colourful);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("批量增加"));
    EXPECT_EQ(d.Label1->text(), QStringLiteral("请您输入一次增加该种固定资产的数量"));
    EXPECT_EQ(d.Label2->text(), QStringLiteral("件"));
    EXPECT_EQ(d.SpinEdit1->value(), 1);
    EXPECT_EQ(d.SpinEdit1->minimum(), 0);
    EXPECT_EQ(d.SpinEdit1->maximum(), 500);
    EXPECT_EQ(d.BitBtn1->text(), QStringLiteral("确定"));
    EXPECT_EQ(d.BitBtn2->text(), QStringLiteral("取消"));
    d.SpinEdit1->setValue(600);
    EXPECT_EQ(d.SpinEdit1->value(), 500);
    d.SpinEdit1->setValue(7);
    d.BitBtn1Click();
    EXPECT_EQ(d.count(), 7);
}

TEST(BatchDialog, CancelAndCloseGiveZero) {
    TplzjDlg cancelled(Theme::Blue);
    cancelled.SpinEdit1->setValue(9);
    cancelled.BitBtn2Click();
    EXPECT_EQ(cancelled.count(), 0);
    TplzjDlg closed(Theme::Colourful);
    closed.SpinEdit1->setValue(9);
    closed.reject();  // the close box, Escape
    EXPECT_EQ(closed.count(), 0);
    // Under a theme other than the colourful one the dialog takes the theme's colour.
    EXPECT_EQ(cancelled.palette().color(QPalette::Window), mainPanelColour(Theme::Blue));
}

TEST(BatchDialog, EnterInTheCountMovesToConfirm) {
    TplzjDlg d(Theme::Colourful);
    d.show();
    d.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    d.SpinEdit1->setFocus();
    d.SpinEdit1->selectAll();
    QTest::keyClicks(d.SpinEdit1, QStringLiteral("12"));
    QTest::keyClick(d.SpinEdit1, Qt::Key_Return);
    EXPECT_TRUE(d.BitBtn1->hasFocus());
    EXPECT_TRUE(d.isVisible());
    QTest::keyClick(d.BitBtn1, Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.count(), 12);
}

// ---- starting and abandoning an add -------------------------------------------------------------

FX_REGISTER_ON_BOTH_ENGINES(AddingTest, EditTest);

TEST_P(AddingTest, ABatchOfNothingStartsNothing) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    for (auto answer : {0, -1, -2}) {
        ModalScript dialogs;
        dialogs.then<TplzjDlg>([answer](TplzjDlg& d) {
            if (answer == 0) {
                d.SpinEdit1->setValue(0);
                d.BitBtn1Click();
            } else if (answer == -1) {
                d.BitBtn2Click();
            } else {
                d.reject();
            }
            return d.result();
        });
        form->ToolButton10->click();
        EXPECT_EQ(form->editMode(), TMainForm::EditMode::Browse);
        EXPECT_FALSE(form->Save1->isEnabled());
        EXPECT_FALSE(form->cardTakesInput());
        // The record shown before is shown again.
        EXPECT_EQ(form->shownSerial(), serial);
        EXPECT_EQ(form->SpinEdit1->value(), serial);
    }
    EXPECT_EQ(assetCount(), 1);
}

TEST_P(AddingTest, NewPutsAnEmptyCardIntoTheEditState) {
    const int serial = addAsset(QStringLiteral("DN-"), 4, QStringLiteral("wx=1"));
    start();
    show(serial);
    newBatch(3);
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::AddBatch);
    EXPECT_EQ(form->batchTotal(), 3);
    EXPECT_EQ(form->SpinEdit1->value(), 0);
    EXPECT_FALSE(form->SpinEdit1->isEnabled());
    EXPECT_TRUE(numberText().isEmpty());
    EXPECT_TRUE(form->cardTakesInput());
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产"));
    EXPECT_TRUE(form->DBComboBox2->currentText().isEmpty());
    EXPECT_TRUE(form->DBMemo1->toPlainText().isEmpty());
    // The first source, a price of 0.00 and today.
    EXPECT_EQ(form->DBComboBox7->currentText(), QStringLiteral("购买"));
    EXPECT_EQ(form->DBEdit1->text(), QStringLiteral("0.00"));
    EXPECT_EQ(form->DateTimePicker1->date(), QDate(2024, 3, 15));
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("未借出"));
    EXPECT_FALSE(form->BitBtn1->isEnabled());
    EXPECT_FALSE(form->BitBtn2->isEnabled());
    EXPECT_FALSE(form->BitBtn3->isEnabled());
    EXPECT_TRUE(form->Save1->isEnabled());
    EXPECT_TRUE(form->ToolButton12->isEnabled());
    EXPECT_FALSE(form->New1->isEnabled());
    EXPECT_EQ(form->StatusPanel0->text(),
              QStringLiteral("提示：把欲增资产的各栏内容正确输入后,点“保存”按钮,会增加3条您要求的"
                             "相同记录，否则请点“放弃”按钮。"));
}

TEST_P(AddingTest, TheListsTakeInputAsTheInputModeSays) {
    // The system's input mode 1 is the installation's default: category, service life and
    // source are chosen, not typed.
    start();
    form->Add1->trigger();
    for (QComboBox* c : {form->DBComboBox1, form->DBComboBox6, form->DBComboBox7})
        EXPECT_FALSE(c->isEditable()) << c->objectName().toStdString();
    for (QComboBox* c : {form->DBComboBox2, form->DBComboBox4, form->DBComboBox5, form->DBComboBox3,
                         form->DBComboBox8})
        EXPECT_TRUE(c->isEditable()) << c->objectName().toStdString();
    form->Cancel1->trigger();
    EXPECT_FALSE(form->cardTakesInput());
    for (QComboBox* c :
         {form->DBComboBox1, form->DBComboBox2, form->DBComboBox4, form->DBComboBox5,
          form->DBComboBox3, form->DBComboBox6, form->DBComboBox7, form->DBComboBox8})
        EXPECT_TRUE(c->isEditable()) << c->objectName().toStdString();
    // No typing at all: every list is chosen from.
    state->settings.input = 2;
    newBatch(2);
    for (QComboBox* c :
         {form->DBComboBox1, form->DBComboBox2, form->DBComboBox4, form->DBComboBox5,
          form->DBComboBox3, form->DBComboBox6, form->DBComboBox7, form->DBComboBox8})
        EXPECT_FALSE(c->isEditable()) << c->objectName().toStdString();
    form->Cancel1->trigger();
}

TEST_P(AddingTest, CancelDuringAnAddLeavesNoRecord) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    form->Add1->trigger();
    EXPECT_EQ(form->StatusPanel0->text(),
              QStringLiteral("提示：请您把欲增资产的各栏内容正确输入后，点“保存”按钮。"));
    fillCard();
    form->ToolButton12->click();
    EXPECT_EQ(assetCount(), 1);
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), std::nullopt);
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Browse);
    EXPECT_EQ(form->shownSerial(), serial);
    EXPECT_EQ(form->DBComboBox4->currentText(), QStringLiteral("办公"));
    EXPECT_EQ(numberText(), QStringLiteral("DN-4"));
    EXPECT_TRUE(form->BitBtn3->isEnabled());
    EXPECT_EQ(form->StatusPanel0->text(), TMainForm::initialPrompt());
    EXPECT_TRUE(form->cardRows()->state() == db::RowSet::State::Browse);
}

TEST_P(AddingTest, CancelOnAnEmptyRegisterLeavesTheEmptyCardAsAtStartUp) {
    start();
    form->Add1->trigger();
    form->ToolButton12->click();
    EXPECT_EQ(assetCount(), 0);
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Browse);
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产"));
    // No asset is shown: no transfer history to list, and the card is labelled by location.
    EXPECT_FALSE(form->BitBtn3->isEnabled());
    EXPECT_FALSE(form->BitBtn1->isEnabled());
    EXPECT_EQ(form->Label7->text(), QStringLiteral("位  置："));
}

// ---- proposing a number -------------------------------------------------------------------------

TEST_P(AddingTest, FirstAssetUnderANewPrefixIsProposedTailOne) {
    start();
    newBatch(1);
    fillCard();
    EXPECT_EQ(numberText(), QStringLiteral("DN-1"));
    EXPECT_EQ(form->Label7->text(), QStringLiteral("位  置："));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("您增加了第1号至第1号，共1条记录"));
    form->Save1->trigger();
    EXPECT_EQ(numberOf(1), QStringLiteral("DN-1"));
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 1);
    // The new prefix is in the box's list.
    EXPECT_TRUE(entries(form->ComboBox1).contains(QStringLiteral("DN-")));
    EXPECT_EQ(form->shownSerial(), 1);
}

TEST_P(AddingTest, ProposalFollowsTheHighestNumberIssued) {
    setPrefix(QStringLiteral("DN-"), 41);
    start();
    form->Add1->trigger();
    fillCard();
    EXPECT_EQ(numberText(), QStringLiteral("DN-42"));
    // A name held by a person: its prefix, and the location field asks for the user.
    choose(form->DBComboBox2, QStringLiteral("打印机"));
    form->DBComboBox2Exit();
    EXPECT_EQ(numberText(), QStringLiteral("DY-1"));
    EXPECT_EQ(form->Label7->text(), QStringLiteral("使用者："));
    EXPECT_TRUE(ui::isDisplayOnly(form->DBComboBox8));
    EXPECT_EQ(entries(form->DBComboBox3),
              (QStringList{QStringLiteral("未分配"), QStringLiteral("李四")}));
    // A name outside the dictionary (let through by a record being modified, say) takes its
    // category's default prefix.
    choose(form->DBComboBox2, QStringLiteral("投影仪"));
    form->ReloadModelAndLocationLists();
    EXPECT_EQ(numberText(), QStringLiteral("DZ-1"));
    EXPECT_EQ(form->Label7->text(), QStringLiteral("位  置："));
    EXPECT_FALSE(ui::isDisplayOnly(form->DBComboBox8));
}

TEST_P(AddingTest, LeavingTheNameFieldProposesTheNumber) {
    setPrefix(QStringLiteral("DN-"), 9);
    start();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Add1->trigger();
    choose(form->DBComboBox1, QStringLiteral("电子设备"));
    form->DBComboBox2->setFocus(Qt::TabFocusReason);
    // Leaving the category filled the name list.
    EXPECT_EQ(entries(form->DBComboBox2),
              (QStringList{QStringLiteral("电脑"), QStringLiteral("打印机")}));
    choose(form->DBComboBox2, QStringLiteral("电脑"));
    EXPECT_TRUE(numberText().isEmpty());
    form->DBComboBox4->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(numberText(), QStringLiteral("DN-10"));
    EXPECT_EQ(entries(form->DBComboBox5),
              (QStringList{QStringLiteral("X1"), QStringLiteral("X2")}));
    EXPECT_EQ(entries(form->DBComboBox3),
              (QStringList{QStringLiteral("财务科"), QStringLiteral("机房")}));
    form->Cancel1->trigger();
}

// ---- storing one asset --------------------------------------------------------------------------

TEST_P(AddingTest, OpeningTheNameListIsNotLeavingTheName) {
    start();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Add1->trigger();
    choose(form->DBComboBox1, QStringLiteral("电子设备"));
    form->DBComboBox1Exit();
    form->DBComboBox2->setFocus(Qt::TabFocusReason);
    choose(form->DBComboBox2, QStringLiteral("电脑"));
    form->DBComboBox2->showPopup();
    EXPECT_TRUE(numberText().isEmpty());
    form->DBComboBox2->hidePopup();
    form->DBComboBox4->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(numberText(), QStringLiteral("DN-1"));
    form->Cancel1->trigger();
}

TEST_P(AddingTest, AddOneStoresEveryFieldOfTheCard) {
    start();
    form->Add1->trigger();
    fillCard();
    form->DateTimePicker1->setDate(QDate(2023, 11, 2));
    setNumber(QStringLiteral("DN-7"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("您增加了第1号记录"));
    form->ToolButton11->click();
    EXPECT_EQ(assetCount(), 1);
    const struct {
        const char* column;
        const char* value;
    } expected[] = {{"id", "DN-"},          {"num", "7"},           {"zclb", "电子设备"},
                    {"sbmc", "电脑"},       {"yt", "教学"},         {"sbxh", "X2"},
                    {"sbpz", "i7/16G"},     {"wz", "机房"},         {"bxq", "十年"},
                    {"ly", "调入"},         {"bgr", "李四"},        {"other", "新到"},
                    {"gmrq", "2023-11-02"}, {"pzrq", "2023-11-02"}, {"worp", "true"},
                    {"ybf", "false"},       {"yjc", "false"},       {"wx", "false"}};
    for (const auto& e : expected)
        EXPECT_EQ(field(1, QString::fromLatin1(e.column)), QString::fromUtf8(e.value)) << e.column;
    EXPECT_DOUBLE_EQ(field(1, QStringLiteral("gmjg")).toDouble(), 6800.0);
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 7);
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Browse);
    EXPECT_EQ(form->shownSerial(), 1);
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产第1号"));
    EXPECT_TRUE(form->BitBtn1->isEnabled());
}

TEST_P(AddingTest, RetryAfterACollisionTakesTheNextFreeNumber) {
    addAsset(QStringLiteral("DN-"), 5);
    addAsset(QStringLiteral("DN-"), 6);
    addAsset(QStringLiteral("DN-"), 8);
    setPrefix(QStringLiteral("DN-"), 8);
    start();
    form->Add1->trigger();
    fillCard();
    setNumber(QStringLiteral("DN-5"));
    QStringList panel;
    ui::PromptRequest asked;
    ui::setPromptHandler([&](const ui::PromptRequest& r) {
        if (r.icon == ui::Icon::Question) {
            asked = r;
            panel << form->StatusPanel0->text();
            return QMessageBox::Retry;
        }
        return QMessageBox::Ok;
    });
    form->Save1->trigger();
    ui::setPromptHandler({});
    EXPECT_EQ(asked.caption, QStringLiteral("提示"));
    EXPECT_EQ(asked.text,
              QStringLiteral("编号DN-5已经被其它固定资产占用，是否自动替换为其它编号？\n"
                             "按'重试'键，系统自动向后搜索一个同编号头未用编号，并保存。\n"
                             "按'取消'键，系统取消保存，待用户自行修改编号。"));
    EXPECT_EQ(asked.buttons, QMessageBox::Retry | QMessageBox::Cancel);
    EXPECT_EQ(panel, QStringList{QStringLiteral("系统正在查找并处理相应的编号，请等待……")});
    EXPECT_EQ(numbersUnder(QStringLiteral("DN-")), (QList<int>{5, 6, 7, 8}));
    EXPECT_EQ(numberText(), QStringLiteral("DN-7"));
    EXPECT_EQ(numberOf(4), QStringLiteral("DN-7"));
    // 7 is below the highest issued: the registry keeps 8.
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 8);
}

TEST_P(AddingTest, CancelAtTheCollisionKeepsTheCardForAnotherNumber) {
    addAsset(QStringLiteral("DN-"), 5);
    setPrefix(QStringLiteral("DN-"), 5);
    start();
    form->Add1->trigger();
    fillCard();
    setNumber(QStringLiteral("DN-5"));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("编号DN-5已经被其它固定资产占用"),
                       QMessageBox::Cancel);
        form->Save1->trigger();
    }
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::AddOne);
    EXPECT_EQ(form->StatusPanel0->text(),
              QStringLiteral("提示：请把编号修改为另一个您想用的编号，再按'保存'。"));
    EXPECT_EQ(assetCount(), 1);
    EXPECT_EQ(form->DBMemo1->toPlainText(), QStringLiteral("新到"));
    setNumber(QStringLiteral("DN-20"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("您增加了第2号记录"));
    form->Save1->trigger();
    EXPECT_EQ(numberOf(2), QStringLiteral("DN-20"));
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 20);
}

TEST_P(AddingTest, ABadNumberStopsTheSave) {
    start();
    form->Add1->trigger();
    fillCard();
    setNumber(QStringLiteral("DN-"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("编号栏输入不全，请补齐！例如：JSJ-121"));
    form->Save1->trigger();
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::AddOne);
    EXPECT_EQ(assetCount(), 0);
}

// ---- checks before storing ----------------------------------------------------------------------

TEST_P(AddingTest, AnEmptyPriceIsSavedAsZero) {
    start();
    form->Add1->trigger();
    fillCard();
    form->DBEdit1->clear();
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("您增加了第1号记录"));
    form->Save1->trigger();
    EXPECT_EQ(assetCount(), 1);
    EXPECT_DOUBLE_EQ(field(1, QStringLiteral("gmjg")).toDouble(), 0.0);
    EXPECT_FALSE(field(1, QStringLiteral("gmjg")).isEmpty());
    EXPECT_EQ(form->DBEdit1->text(), QStringLiteral("0.00"));
}

TEST_P(AddingTest, APriceThatIsNotANumberIsRefused) {
    start();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    newBatch(2);
    fillCard();
    form->DBEdit1->setText(QStringLiteral("12元"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("警告"), QStringLiteral("购买价格输入值非法,请重新输入!"));
    form->Save1->trigger();
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(assetCount(), 0);
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::AddBatch);
    EXPECT_TRUE(form->DBEdit1->hasFocus());
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), std::nullopt);
}

TEST_P(AddingTest, RequiredFieldsInTheirOrder) {
    start();
    form->Add1->trigger();
    const char* messages[] = {"资产类别栏中必须填写内容。", "名称栏中必须填写内容。",
                              "位置或使用者栏中必须填写内容。", "使用期限栏中必须填写内容。"};
    auto expectRefusal = [&](const char* message) {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QString::fromUtf8(message));
        form->Save1->trigger();
        EXPECT_EQ(assetCount(), 0);
        EXPECT_EQ(form->editMode(), TMainForm::EditMode::AddOne);
    };
    choose(form->DBComboBox6, QString());
    expectRefusal(messages[0]);
    choose(form->DBComboBox1, QStringLiteral("电子设备"));
    form->DBComboBox1Exit();
    expectRefusal(messages[1]);
    choose(form->DBComboBox2, QStringLiteral("电脑"));
    form->DBComboBox2Exit();
    expectRefusal(messages[2]);
    choose(form->DBComboBox3, QStringLiteral("机房"));
    expectRefusal(messages[3]);
}

TEST_P(AddingTest, RefusalsUseAWarningIcon) {
    start();
    form->Add1->trigger();
    QList<ui::Icon> icons;
    ui::setPromptHandler([&](const ui::PromptRequest& r) {
        icons << r.icon;
        return QMessageBox::Ok;
    });
    form->Save1->trigger();
    form->DBEdit1->setText(QStringLiteral("abc"));
    form->Save1->trigger();
    ui::setPromptHandler({});
    EXPECT_EQ(icons, (QList<ui::Icon>{ui::Icon::Warning, ui::Icon::Warning}));
}

// ---- storing a batch ----------------------------------------------------------------------------

TEST_P(AddingTest, ABatchGetsConsecutiveSerialsAndNumbersAndSharesEveryField) {
    addAsset(QStringLiteral("JSJ-"), 1);
    setPrefix(QStringLiteral("DN-"), 20);
    start();
    newBatch(4);
    fillCard();
    EXPECT_EQ(numberText(), QStringLiteral("DN-21"));
    form->DateTimePicker1->setDate(QDate(2024, 1, 9));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("您增加了第2号至第5号，共4条记录"));
    form->Save1->trigger();
    EXPECT_EQ(numbersUnder(QStringLiteral("DN-")), (QList<int>{21, 22, 23, 24}));
    for (int serial = 2; serial <= 5; ++serial) {
        EXPECT_EQ(numberOf(serial), QStringLiteral("DN-%1").arg(19 + serial));
        for (const char* column : {"zclb", "sbmc", "yt", "sbxh", "sbpz", "wz", "bxq", "ly", "bgr",
                                   "other", "gmjg", "gmrq", "pzrq", "worp"})
            EXPECT_EQ(field(serial, QString::fromLatin1(column)),
                      field(2, QString::fromLatin1(column)))
                << column;
    }
    EXPECT_EQ(field(5, QStringLiteral("pzrq")), QStringLiteral("2024-01-09"));
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 24);
    // The last new asset is shown.
    EXPECT_EQ(form->shownSerial(), 5);
    EXPECT_EQ(numberText(), QStringLiteral("DN-24"));
}

TEST_P(AddingTest, BatchOfFiveWithIgnoreOverTakenTwoAndThree) {
    addAsset(QStringLiteral("DN-"), 2);
    addAsset(QStringLiteral("DN-"), 3);
    setPrefix(QStringLiteral("DN-"), 3);
    start();
    newBatch(5);
    fillCard();
    setNumber(QStringLiteral("DN-1"));
    ui::PromptRequest asked;
    int questions = 0;
    int storedWhenAsked = -1;
    ui::setPromptHandler([&](const ui::PromptRequest& r) {
        if (r.icon != ui::Icon::Question) return QMessageBox::Ok;
        ++questions;
        asked = r;
        // What the batch stored is committed before the question waits.
        storedWhenAsked = assetCount(QStringLiteral("id='DN-'"));
        return QMessageBox::Ignore;
    });
    form->Save1->trigger();
    ui::setPromptHandler({});
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(storedWhenAsked, 3);
    EXPECT_EQ(asked.text,
              QStringLiteral(
                  "已增加1个固定资产，编号DN-2已经被其它固定资产占用，是否自动替换为其它编号？\n"
                  "按'终止'键，系统停止增加资产记录，待用户自行修改编号，再按保存，完成剩余记录的"
                  "增加。\n"
                  "按'重试'键，系统对于此次编号冲突事件，自动向后搜索一个同编号头未用编号，并保存。"
                  "\n按'忽略'键，系统忽略所有编号冲突事件，全部自动向后搜索同编号头未用编号。"));
    EXPECT_EQ(asked.buttons, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    EXPECT_EQ(asked.defaultButton, QMessageBox::Ignore);
    EXPECT_EQ(numbersUnder(QStringLiteral("DN-")), (QList<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(numberOf(3), QStringLiteral("DN-1"));
    EXPECT_EQ(numberOf(4), QStringLiteral("DN-4"));
    EXPECT_EQ(numberOf(7), QStringLiteral("DN-7"));
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 7);
}

TEST_P(AddingTest, RetryInABatchAsksAgainAtALaterRecord) {
    for (int n : {2, 3, 6}) addAsset(QStringLiteral("DN-"), n);
    start();
    newBatch(5);
    fillCard();
    setNumber(QStringLiteral("DN-1"));
    PromptScript prompts;
    prompts
        .expect(QStringLiteral("提示"), QStringLiteral("已增加1个固定资产，编号DN-2已经被"),
                QMessageBox::Retry)
        .expect(QStringLiteral("提示"), QStringLiteral("已增加3个固定资产，编号DN-6已经被"),
                QMessageBox::Retry)
        .expect(QStringLiteral("提示"), QStringLiteral("共5条记录"));
    form->Save1->trigger();
    EXPECT_EQ(numbersUnder(QStringLiteral("DN-")), (QList<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    // The registry did not know the prefix: it is registered with the highest stored.
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 8);
}

TEST_P(AddingTest, AbortKeepsWhatWasAddedAndTheNextSaveAddsTheRest) {
    addAsset(QStringLiteral("DN-"), 3);
    setPrefix(QStringLiteral("DN-"), 3);
    const int before = assetCount();
    start();
    newBatch(4);
    fillCard();
    setNumber(QStringLiteral("DN-1"));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("已增加2个固定资产，编号DN-3已经被"),
                       QMessageBox::Abort);
        form->Save1->trigger();
    }
    EXPECT_EQ(assetCount(), before + 2);
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::AddBatch);
    EXPECT_EQ(form->batchLeft(), 2);
    EXPECT_EQ(
        form->StatusPanel0->text(),
        QStringLiteral("提示：已增加2个固定资产，请修改编号栏为剩余2个资产的起始编号，再按'保存'"));
    EXPECT_EQ(numberText(), QStringLiteral("DN-3"));
    // Only the asset-number box stays open.
    EXPECT_FALSE(form->cardTakesInput());
    EXPECT_TRUE(form->ComboBox1->isEnabled());
    EXPECT_TRUE(form->Save1->isEnabled());

    setNumber(QStringLiteral("DN-10"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("共4条记录"));
    form->Save1->trigger();
    EXPECT_EQ(numbersUnder(QStringLiteral("DN-")), (QList<int>{1, 2, 3, 10, 11}));
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 11);
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Browse);
    // Every record of the batch has the card's values.
    EXPECT_EQ(assetCount(QStringLiteral("sbmc='电脑' and other='新到' and wz='机房'")), 4);
    // The next edit starts with the card open again.
    form->Add1->trigger();
    EXPECT_TRUE(form->cardTakesInput());
    form->Cancel1->trigger();
}

TEST_P(AddingTest, AbortAtTheFirstRecordAsksForAnotherStartingNumber) {
    addAsset(QStringLiteral("DN-"), 1);
    start();
    newBatch(2);
    fillCard();
    setNumber(QStringLiteral("DN-1"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("已增加0个固定资产，编号DN-1已经被"),
                   QMessageBox::Abort);
    form->Save1->trigger();
    EXPECT_EQ(form->StatusPanel0->text(),
              QStringLiteral("提示：已增加0个固定资产，请把编号修改为另一个您想用的起始编号，再按"
                             "'保存'。"));
    EXPECT_EQ(assetCount(), 1);
    EXPECT_EQ(form->batchLeft(), 2);
    // "放弃" now leaves nothing behind, and the next operation finds the card open again.
    form->Cancel1->trigger();
    EXPECT_EQ(assetCount(), 1);
    form->Add1->trigger();
    EXPECT_TRUE(form->DBComboBox1->isEnabled());
    EXPECT_TRUE(form->DBComboBox2->isEnabled());
    form->Cancel1->trigger();
}

TEST_P(AddingTest, AFailingSaveLeavesNothingOfTheBatch) {
    // A registry that refuses the new prefix: the records stored before fail with it.
    refuse(QStringLiteral("refuse_prefix"), QStringLiteral("insert"), QStringLiteral("idupper"),
           QStringLiteral("编号头表只读"));
    start();
    newBatch(3);
    fillCard();
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("编号头表只读"));
    form->Save1->trigger();
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(assetCount(), 0);
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::AddBatch);
    EXPECT_EQ(form->batchLeft(), 3);
    // Once the registry takes it, the same card is saved whole; the serials the failed save
    // had drawn were never stored. (The file gives them out again; the server's counter, like
    // every server sequence, skips what a rolled-back transaction drew.)
    allow(QStringLiteral("refuse_prefix"), QStringLiteral("idupper"));
    PromptScript again;
    again.expect(QStringLiteral("提示"), QStringLiteral("共3条记录"));
    form->Save1->trigger();
    const int first = conn().queryValue(QStringLiteral("select min(ID1) from sbjl")).toInt();
    const int last = conn().queryValue(QStringLiteral("select max(ID1) from sbjl")).toInt();
    if (!onServer()) {
        EXPECT_EQ(first, 1);
    }
    EXPECT_EQ(last, first + 2);
    ASSERT_FALSE(again.seen().isEmpty());
    EXPECT_TRUE(again.seen().last().endsWith(
        QStringLiteral("您增加了第%1号至第%2号，共3条记录").arg(first).arg(last)))
        << again.seen().last().toStdString();
    EXPECT_EQ(numbersUnder(QStringLiteral("DN-")), (QList<int>{1, 2, 3}));
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 3);
}

}  // namespace
}  // namespace fx::test
