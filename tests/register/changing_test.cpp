#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include "connection.h"
#include "displayonly.h"
#include "editfixture.h"
#include "scripts.h"

namespace fx::test {
namespace {

QStringList entries(const QComboBox* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i) result << list->itemText(i);
    return result;
}

FX_REGISTER_ON_BOTH_ENGINES(ModifyTest, EditTest);

// ---- modify -------------------------------------------------------------------------------------

TEST_P(ModifyTest, WithoutSuperModifyOnlyUseConfigurationRemarksAndNumberChange) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    setPrefix(QStringLiteral("DN-"), 4);
    Rights rights = allRights();
    rights.spmodi = false;
    start(QStringLiteral("张三"), rights);
    show(serial);
    form->Modify1->trigger();
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Modify);
    EXPECT_EQ(form->StatusPanel0->text(),
              QStringLiteral("提示：请您把各栏内容修改正确后，点“保存”按钮。"));
    for (QWidget* w : std::initializer_list<QWidget*>{
             form->DBComboBox1, form->DBComboBox2, form->DBEdit1, form->DBComboBox5,
             form->DBComboBox3, form->DBComboBox8, form->DBComboBox7, form->DBComboBox6,
             form->DateTimePicker1}) {
        // Shown legibly, but closed to input.
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_TRUE(ui::isDisplayOnly(w)) << w->objectName().toStdString();
        EXPECT_EQ(w->focusPolicy(), Qt::NoFocus) << w->objectName().toStdString();
    }
    for (QWidget* w : std::initializer_list<QWidget*>{form->DBComboBox4, form->DBEdit3,
                                                      form->DBMemo1, form->ComboBox1}) {
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_FALSE(ui::isDisplayOnly(w)) << w->objectName().toStdString();
    }
    EXPECT_FALSE(form->BitBtn1->isEnabled());
    EXPECT_EQ(form->BitBtn2->text(), QStringLiteral("填加维修记录"));
    EXPECT_TRUE(form->BitBtn2->isEnabled());

    choose(form->DBComboBox4, QStringLiteral("教学"));
    form->DBEdit3->setText(QStringLiteral("i9/64G"));
    form->DBMemo1->setPlainText(QStringLiteral("换了内存"));
    setNumber(QStringLiteral("DN-9"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("系统已经按您的要求对该记录进行了修改。"));
    form->Save1->trigger();
    EXPECT_EQ(field(serial, QStringLiteral("yt")), QStringLiteral("教学"));
    EXPECT_EQ(field(serial, QStringLiteral("sbpz")), QStringLiteral("i9/64G"));
    EXPECT_EQ(field(serial, QStringLiteral("other")), QStringLiteral("换了内存"));
    EXPECT_EQ(numberOf(serial), QStringLiteral("DN-9"));
    // Everything else as it was.
    EXPECT_EQ(field(serial, QStringLiteral("zclb")), QStringLiteral("电子设备"));
    EXPECT_EQ(field(serial, QStringLiteral("wz")), QStringLiteral("财务科"));
    EXPECT_EQ(field(serial, QStringLiteral("gmrq")), QStringLiteral("2020-05-06"));
    EXPECT_EQ(field(serial, QStringLiteral("pzrq")), QStringLiteral("2020-05-06"));
    EXPECT_DOUBLE_EQ(field(serial, QStringLiteral("gmjg")).toDouble(), 4999.5);
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 9);
    // Back to browsing, every field open for the next operation.
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Browse);
    EXPECT_EQ(form->shownSerial(), serial);
    EXPECT_EQ(form->BitBtn2->text(), QStringLiteral("维修记录"));
    form->Add1->trigger();
    for (QWidget* w :
         std::initializer_list<QWidget*>{form->DBComboBox1, form->DBEdit1, form->DateTimePicker1})
        EXPECT_FALSE(ui::isDisplayOnly(w)) << w->objectName().toStdString();
    form->Cancel1->trigger();
}

TEST_P(ModifyTest, APersonHeldAssetsCustodianOnlyShowsAndFollowsTheUser) {
    const int serial = addAsset(QStringLiteral("DY-"), 3, QStringLiteral("sbmc='打印机'"));
    start(QStringLiteral("张三"), allRights());
    show(serial);
    form->Modify1->trigger();
    // Opening the other fields for input leaves the custodian showing only.
    EXPECT_FALSE(ui::isDisplayOnly(form->DBComboBox3));
    EXPECT_TRUE(ui::isDisplayOnly(form->DBComboBox8));
    EXPECT_TRUE(form->DBComboBox8->isEnabled());
    choose(form->DBComboBox3, QStringLiteral("未分配"));
    EXPECT_EQ(form->DBComboBox8->currentText(), QStringLiteral("未分配"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("进行了修改"));
    form->Save1->trigger();
    EXPECT_EQ(field(serial, QStringLiteral("bgr")), QStringLiteral("未分配"));
    // Browsing again, and then a location-held asset: its custodian takes input again.
    const int other = addAsset(QStringLiteral("DN-"), 5);
    show(other);
    form->Modify1->trigger();
    EXPECT_FALSE(ui::isDisplayOnly(form->DBComboBox8));
    form->Cancel1->trigger();
}

TEST_P(ModifyTest, SuperModifyChangesEveryField) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    start(QStringLiteral("张三"), allRights());
    show(serial);
    form->Modify1->trigger();
    for (QWidget* w : std::initializer_list<QWidget*>{form->DBComboBox1, form->DBEdit1,
                                                      form->DateTimePicker1, form->DBComboBox6})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    // The lists belong to the record's category and name.
    EXPECT_EQ(entries(form->DBComboBox2),
              (QStringList{QStringLiteral("电脑"), QStringLiteral("打印机")}));
    EXPECT_EQ(entries(form->DBComboBox5),
              (QStringList{QStringLiteral("X1"), QStringLiteral("X2")}));
    // Nothing is proposed while modifying.
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("DN-4"));
    choose(form->DBComboBox6, QStringLiteral("十年"));
    form->DBEdit1->setText(QStringLiteral("100"));
    form->DateTimePicker1->setDate(QDate(2021, 2, 3));
    choose(form->DBComboBox3, QStringLiteral("机房"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("进行了修改"));
    form->Save1->trigger();
    EXPECT_EQ(field(serial, QStringLiteral("bxq")), QStringLiteral("十年"));
    EXPECT_EQ(field(serial, QStringLiteral("wz")), QStringLiteral("机房"));
    EXPECT_DOUBLE_EQ(field(serial, QStringLiteral("gmjg")).toDouble(), 100.0);
    EXPECT_EQ(field(serial, QStringLiteral("gmrq")), QStringLiteral("2021-02-03"));
    // The allocation date is the transfer's business, not modify's.
    EXPECT_EQ(field(serial, QStringLiteral("pzrq")), QStringLiteral("2020-05-06"));
    // The prefix was missing from the registry; now it is there.
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 4);
}

TEST_P(ModifyTest, ATakenNumberIsResolvedUpwardsPastTheRecordsOwn) {
    for (int n : {1, 2, 3}) addAsset(QStringLiteral("DN-"), n);
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    addAsset(QStringLiteral("DN-"), 5);
    setPrefix(QStringLiteral("DN-"), 5);
    start();
    show(serial);
    form->Modify1->trigger();
    setNumber(QStringLiteral("DN-2"));
    PromptScript prompts;
    prompts
        .expect(QStringLiteral("提示"), QStringLiteral("编号DN-2已经被其它固定资产占用"),
                QMessageBox::Retry)
        .expect(QStringLiteral("提示"), QStringLiteral("进行了修改"));
    form->Save1->trigger();
    // 3 is taken, 4 is the record's own.
    EXPECT_EQ(numberOf(serial), QStringLiteral("DN-4"));
    EXPECT_EQ(numbersUnder(QStringLiteral("DN-")), (QList<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 5);
}

TEST_P(ModifyTest, CancelAtTheCollisionKeepsTheEdit) {
    addAsset(QStringLiteral("DN-"), 1);
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    form->Modify1->trigger();
    form->DBMemo1->setPlainText(QStringLiteral("改"));
    setNumber(QStringLiteral("DN-1"));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("编号DN-1已经被"),
                       QMessageBox::Cancel);
        form->Save1->trigger();
    }
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Modify);
    EXPECT_EQ(form->StatusPanel0->text(),
              QStringLiteral("提示：请把编号修改为另一个您想用的编号，再按'保存'。"));
    EXPECT_EQ(field(serial, QStringLiteral("other")), QStringLiteral("备用"));
    setNumber(QStringLiteral("DN-30"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("进行了修改"));
    form->Save1->trigger();
    EXPECT_EQ(numberOf(serial), QStringLiteral("DN-30"));
    EXPECT_EQ(field(serial, QStringLiteral("other")), QStringLiteral("改"));
}

TEST_P(ModifyTest, AnotherFailureStopsTheSaveWithTheEnginesMessage) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    refuse(QStringLiteral("frozen"), QStringLiteral("update"), QStringLiteral("sbjl"),
           QStringLiteral("资产已冻结"));
    start();
    show(serial);
    form->Modify1->trigger();
    setNumber(QStringLiteral("DN-8"));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("资产已冻结"));
        form->Save1->trigger();
    }
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Modify);
    EXPECT_EQ(numberOf(serial), QStringLiteral("DN-4"));
    allow(QStringLiteral("frozen"), QStringLiteral("sbjl"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("进行了修改"));
    form->Save1->trigger();
    EXPECT_EQ(numberOf(serial), QStringLiteral("DN-8"));
}

TEST_P(ModifyTest, RenumberingTheTopOfAPrefixFollowsInTheRegistry) {
    addAsset(QStringLiteral("DN-"), 2);
    const int top = addAsset(QStringLiteral("DN-"), 9);
    setPrefix(QStringLiteral("DN-"), 9);
    const int only = addAsset(QStringLiteral("DY-"), 3);
    setPrefix(QStringLiteral("DY-"), 3);
    start();
    // Down within the prefix: the highest falls back.
    show(top);
    form->Modify1->trigger();
    setNumber(QStringLiteral("DN-5"));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("进行了修改"));
        form->Save1->trigger();
    }
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 5);
    // Into a new prefix: the old one goes with its last asset, the new one comes.
    show(only);
    form->Modify1->trigger();
    setNumber(QStringLiteral("PRN-1"));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("进行了修改"));
        form->Save1->trigger();
    }
    EXPECT_EQ(prefixMax(QStringLiteral("DY-")), std::nullopt);
    EXPECT_EQ(prefixMax(QStringLiteral("PRN-")), 1);
    EXPECT_EQ(entries(form->ComboBox1),
              (QStringList{QStringLiteral("DN-"), QStringLiteral("PRN-")}));
}

TEST_P(ModifyTest, RenumberingOutOfAnUnregisteredPrefixWarns) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    form->Modify1->trigger();
    setNumber(QStringLiteral("PC-4"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("您的数据库可能些问题,请与我们联系。"))
        .expect(QStringLiteral("提示"), QStringLiteral("进行了修改"));
    form->Save1->trigger();
    // The change stands.
    EXPECT_EQ(numberOf(serial), QStringLiteral("PC-4"));
}

TEST_P(ModifyTest, ARecordDeletedMeanwhileIsNotModified) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    conn().executeNative(QStringLiteral("delete from sbjl"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("该记录已被其他用户删除,不能再对它进行修改。"));
    form->Modify1->trigger();
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Browse);
    EXPECT_FALSE(form->Save1->isEnabled());
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产"));
}

TEST_P(ModifyTest, TheCardShowsTheRecordAsAnotherWorkstationLeftIt) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    conn().executeNative(
        QStringLiteral("update sbjl set other='别处改的', num=6 where ID1=%1").arg(serial));
    form->Modify1->trigger();
    EXPECT_EQ(form->DBMemo1->toPlainText(), QStringLiteral("别处改的"));
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("DN-6"));
    form->Cancel1->trigger();
}

// ---- scrap --------------------------------------------------------------------------------------

FX_REGISTER_ON_BOTH_ENGINES(ScrapTest, EditTest);

TEST_P(ScrapTest, ScrapMarksTheAssetAndCaptionsIt) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    form->ToolButton7->click();
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Scrap);
    EXPECT_EQ(form->StatusPanel0->text(),
              QStringLiteral("提示：确实要报废该资产，点“保存”按钮，否则请点“放弃”按钮。"));
    EXPECT_FALSE(form->ComboBox1->isEnabled());
    EXPECT_FALSE(form->cardTakesInput());
    EXPECT_FALSE(form->BitBtn1->isEnabled());
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("系统已经按您的要求对该资产做了报废处理。"));
    form->ToolButton11->click();
    EXPECT_EQ(field(serial, QStringLiteral("ybf")), QStringLiteral("true"));
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产第%1号（已报废）").arg(serial));
    EXPECT_TRUE(form->ComboBox1->isEnabled());
    EXPECT_TRUE(form->BitBtn1->isEnabled());
}

TEST_P(ScrapTest, AScrappedAssetIsNotScrappedAgain) {
    const int serial = addAsset(QStringLiteral("DN-"), 4, QStringLiteral("ybf=1"));
    start();
    show(serial);
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("该固定资产已经为报废资产。"));
    form->Scrap1->trigger();
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Browse);
}

TEST_P(ScrapTest, CancelLeavesTheAssetAsItWas) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    form->Scrap1->trigger();
    form->Cancel1->trigger();
    EXPECT_EQ(field(serial, QStringLiteral("ybf")), QStringLiteral("false"));
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产第%1号").arg(serial));
}

// ---- delete -------------------------------------------------------------------------------------

FX_REGISTER_ON_BOTH_ENGINES(DeleteTest, EditTest);

TEST_P(DeleteTest, DeletingTheTopNumberLowersThePrefixsHighest) {
    addAsset(QStringLiteral("DN-"), 3);
    addAsset(QStringLiteral("DN-"), 7);
    const int top = addAsset(QStringLiteral("DN-"), 12);
    setPrefix(QStringLiteral("DN-"), 12);
    start();
    show(top);
    form->ToolButton9->click();
    EXPECT_EQ(form->StatusPanel0->text(),
              QStringLiteral("提示：确实要删除该记录，点“保存”按钮，否则请点“放弃”按钮。"));
    EXPECT_FALSE(form->ComboBox1->isEnabled());
    // The card's number is gone and no message says the serial is missing.
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("系统已经按您的要求删除了该记录。"));
    form->Save1->trigger();
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(assetCount(QStringLiteral("ID1=%1").arg(top)), 0);
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 7);
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产"));
    EXPECT_TRUE(form->ComboBox1->currentText().isEmpty());
    EXPECT_TRUE(form->DBComboBox2->currentText().isEmpty());
    EXPECT_FALSE(form->BitBtn1->isEnabled());
    EXPECT_FALSE(form->Modify1->isEnabled());
    // A deleted top number is offered again.
    form->Add1->trigger();
    fillCard();
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("DN-8"));
    form->Cancel1->trigger();
}

TEST_P(DeleteTest, DeletingTheLastAssetOfAPrefixRemovesItFromTheList) {
    addAsset(QStringLiteral("DN-"), 3);
    const int last = addAsset(QStringLiteral("PC-"), 1);
    setPrefix(QStringLiteral("DN-"), 3);
    setPrefix(QStringLiteral("PC-"), 1);
    start();
    EXPECT_EQ(entries(form->ComboBox1),
              (QStringList{QStringLiteral("DN-"), QStringLiteral("PC-")}));
    show(last);
    form->Delete1->trigger();
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("删除了该记录"));
    form->Save1->trigger();
    EXPECT_EQ(prefixMax(QStringLiteral("PC-")), std::nullopt);
    EXPECT_EQ(entries(form->ComboBox1), QStringList{QStringLiteral("DN-")});
}

TEST_P(DeleteTest, TheNumberDeletedIsTheRecordsNotTheBoxs) {
    addAsset(QStringLiteral("DN-"), 3);
    const int top = addAsset(QStringLiteral("DN-"), 9);
    setPrefix(QStringLiteral("DN-"), 9);
    start();
    show(top);
    // Typed over without Enter before "删除".
    setNumber(QStringLiteral("DN-3"));
    form->Delete1->trigger();
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("DN-9"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("删除了该记录"));
    form->Save1->trigger();
    EXPECT_EQ(numbersUnder(QStringLiteral("DN-")), QList<int>{3});
    EXPECT_EQ(prefixMax(QStringLiteral("DN-")), 3);
}

TEST_P(DeleteTest, ALentAssetIsRefused) {
    const int serial = addAsset(QStringLiteral("DN-"), 4, QStringLiteral("yjc=1"));
    start();
    show(serial);
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("该固定资产借出未归还,归还后才能做此操作。"));
    form->Delete1->trigger();
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Browse);
    EXPECT_EQ(assetCount(), 1);
    EXPECT_EQ(form->shownSerial(), serial);
}

TEST_P(DeleteTest, ARecordGoneMeanwhileIsRefused) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    conn().executeNative(QStringLiteral("delete from sbjl"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("该记录可能已不存在,请输入序号重新显示后再对它操作。"));
    form->Delete1->trigger();
    EXPECT_EQ(form->editMode(), TMainForm::EditMode::Browse);
}

TEST_P(DeleteTest, AnUnregisteredPrefixWarnsAndTheDeleteStands) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    start();
    show(serial);
    form->Delete1->trigger();
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("您的数据库可能些问题,请与我们联系。"))
        .expect(QStringLiteral("提示"), QStringLiteral("删除了该记录"));
    form->Save1->trigger();
    EXPECT_EQ(assetCount(), 0);
}

TEST_P(DeleteTest, NoRightButTheAdministratorsDeletes) {
    const int serial = addAsset(QStringLiteral("DN-"), 4);
    start(QStringLiteral("张三"), allRights());
    show(serial);
    EXPECT_FALSE(form->Delete1->isEnabled());
    EXPECT_FALSE(form->ToolButton9->isEnabled());
}

}  // namespace
}  // namespace fx::test
