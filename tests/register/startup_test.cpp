#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "connection.h"
#include "firstusedialog.h"
#include "registerfixture.h"
#include "rowset.h"
#include "schema.h"
#include "scripts.h"
#include "theme.h"

namespace fx::test {
namespace {

QStringList entries(const QComboBox* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i) result << list->itemText(i);
    return result;
}

using StartUpTest = RegisterTest;

TEST_F(StartUpTest, FirstStartAsksForTheOrganisationOnceAndMarksTheDatabase) {
    {
        auto state = signIn();
        ModalScript dialogs;
        dialogs.then<TFirstUseDlg>([](TFirstUseDlg& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("初次使用"));
            // Pre-filled with the organisation the installer was given.
            EXPECT_EQ(d.name(), QStringLiteral("测试单位"));
            d.Edit1->setText(QStringLiteral("青石岭机械厂"));
            d.Button1Click();
            return d.result();
        });
        TMainForm form(*state);
        ASSERT_TRUE(form.startUp());
        EXPECT_EQ(state->firstUseMark, 0);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("青石岭"));
        EXPECT_TRUE(shutDownDirectly(form));
    }
    EXPECT_EQ(queryText(QStringLiteral("select * from username"), QStringLiteral("user")),
              QStringLiteral("青石岭机械厂"));
    EXPECT_EQ(queryText(QStringLiteral("select * from username"), QStringLiteral("password")),
              QStringLiteral("1"));

    // The second start finds the mark and asks nothing.
    auto state = signIn();
    ModalScript noDialogs;
    PromptScript noMessages;
    TMainForm form(*state);
    ASSERT_TRUE(form.startUp());
    EXPECT_EQ(state->firstUseMark, 1);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("青石岭"));
    EXPECT_TRUE(noDialogs.seen().isEmpty());
}

TEST_F(StartUpTest, DatabaseBelowVersion550EndsTheProgramBeforeAnythingElse) {
    exec(QStringLiteral("update username set version=549"));
    auto state = signIn();
    PromptScript prompts;
    prompts.expect(QStringLiteral("警告"),
                   QStringLiteral("您的数据库版本太低，请把数据库升级到550以上版本才能使用！"));
    ModalScript noDialogs;  // the first use is not reached
    TMainForm form(*state);
    EXPECT_FALSE(form.startUp());
    EXPECT_EQ(queryText(QStringLiteral("select * from username"), QStringLiteral("password")),
              QStringLiteral("0"));
}

TEST_F(StartUpTest, Version550IsAccepted) {
    exec(QStringLiteral("update username set version=550"));
    completeFirstUse();
    auto state = signIn();
    PromptScript noMessages;
    TMainForm form(*state);
    EXPECT_TRUE(form.startUp());
}

TEST_F(StartUpTest, MissingHistoryDatabaseWarnsAndRunsOn) {
    completeFirstUse();
    ASSERT_TRUE(QFile::remove(inst.dataDir() + QString::fromLatin1(schema::kHistoryFile)));
    auto state = signIn();
    PromptScript prompts;
    prompts.expect(QStringLiteral("警告"),
                   QStringLiteral("没有找到历史库文件,请先恢复历史库,或重新修复安装!"));
    TMainForm form(*state);
    ASSERT_TRUE(form.startUp());
    EXPECT_EQ(state->history, nullptr);
    ASSERT_NE(state->current, nullptr);
    EXPECT_TRUE(form.N7->isEnabled());
    // Nothing was created in its place.
    EXPECT_FALSE(QFile::exists(inst.dataDir() + QString::fromLatin1(schema::kHistoryFile)));
}

TEST_F(StartUpTest, UnreadableCurrentDatabaseShowsTheEnginesMessageAndEnds) {
    auto state = signIn();
    state->currentPassword = QStringLiteral("not the password");
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QString());
    TMainForm form(*state);
    EXPECT_FALSE(form.startUp());
    ASSERT_EQ(prompts.seen().size(), 1);
    EXPECT_GT(prompts.seen().first().size(), QStringLiteral("提示|").size());
}

TEST_F(StartUpTest, StatusBarAndEmptyCard) {
    completeFirstUse();
    auto state = signIn(QStringLiteral("张三"), Rights{});
    auto form = startedForm(*state);
    EXPECT_EQ(form->StatusPanel0->text(),
              QStringLiteral("提示：输入序号或编号后，敲回车键，显示该记录内容。(Tab键切换两栏)"));
    EXPECT_EQ(form->StatusPanel1->text(), QStringLiteral("用户：张三"));
    ASSERT_NE(form->cardRows(), nullptr);
    EXPECT_EQ(form->cardRows()->sql(), QStringLiteral("select * from sbjl where 1=2"));
    EXPECT_TRUE(form->cardRows()->isEmpty());
    // Browsing: the card only displays.
    EXPECT_FALSE(form->cardTakesInput());
    EXPECT_EQ(form->GroupBox1->title(), QStringLiteral("固定资产"));
    EXPECT_EQ(form->BitBtn1->text(), QStringLiteral("未借出"));
}

TEST_F(StartUpTest, DatePickerStopsAtTheStartUpDate) {
    completeFirstUse();
    auto state = signIn();
    auto form = startedForm(*state);
    const QDate today(2024, 3, 15);
    EXPECT_EQ(form->DateTimePicker1->date(), today);
    EXPECT_EQ(form->DateTimePicker1->maximumDate(), today);
    form->DateTimePicker1->setDate(today.addDays(1));
    EXPECT_EQ(form->DateTimePicker1->date(), today);
    // Long date format.
    EXPECT_TRUE(form->DateTimePicker1->text().contains(QStringLiteral("2024年3月15日")))
        << form->DateTimePicker1->text().toStdString();
}

TEST_F(StartUpTest, CardListsAreFilledFromTheDictionaryInTableOrder) {
    completeFirstUse();
    exec(QStringLiteral("insert into sortproc (sort,title,cz) values ('电子设备','DZ',5)"));
    exec(QStringLiteral("insert into sortproc (sort,title,cz) values ('办公家具','JJ',5)"));
    exec(QStringLiteral("insert into syq (qx,yue) values ('五年',60)"));
    exec(QStringLiteral("insert into syq (qx,yue) values ('三年',36)"));
    exec(QStringLiteral("insert into person (pname,bm) values ('李四','财务科')"));
    exec(QStringLiteral("insert into lyfs (ly) values ('购买')"));
    exec(QStringLiteral("insert into lyfs (ly) values ('调入')"));
    exec(QStringLiteral("insert into idupper (idup,max) values ('JSJ-',12)"));
    exec(QStringLiteral("insert into idupper (idup,max) values ('DN-',3)"));

    auto state = signIn();
    auto form = startedForm(*state);
    EXPECT_EQ(entries(form->DBComboBox1),
              (QStringList{QStringLiteral("电子设备"), QStringLiteral("办公家具")}));
    EXPECT_EQ(entries(form->DBComboBox6),
              (QStringList{QStringLiteral("五年"), QStringLiteral("三年")}));
    EXPECT_EQ(entries(form->DBComboBox8),
              (QStringList{QStringLiteral("未分配"), QStringLiteral("李四")}));
    EXPECT_EQ(entries(form->DBComboBox7),
              (QStringList{QStringLiteral("购买"), QStringLiteral("调入")}));
    EXPECT_EQ(entries(form->ComboBox1),
              (QStringList{QStringLiteral("JSJ-"), QStringLiteral("DN-")}));
    // Nothing is chosen on the empty card.
    EXPECT_TRUE(form->DBComboBox1->currentText().isEmpty());
    EXPECT_TRUE(form->ComboBox1->currentText().isEmpty());
}

TEST_F(StartUpTest, AssetNumberBoxTurnsTypedLettersToUpperCase) {
    completeFirstUse();
    auto state = signIn();
    auto form = startedForm(*state);
    ASSERT_TRUE(form->ComboBox1->isEditable());
    form->ComboBox1->lineEdit()->clear();
    QTest::keyClicks(form->ComboBox1->lineEdit(), QStringLiteral("jsj-12"));
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("JSJ-12"));
}

TEST_F(StartUpTest, NameAndUseListsFollowTheCategory) {
    completeFirstUse();
    exec(QStringLiteral("insert into sortproc (sort,title,cz) values ('电子设备','DZ',5)"));
    exec(QStringLiteral(
        "insert into sortb (name,sort,bht,wzorgr) values ('电脑','电子设备','DN',1)"));
    exec(QStringLiteral(
        "insert into sortb (name,sort,bht,wzorgr) values ('打印机','电子设备','DY',1)"));
    exec(QStringLiteral("insert into sortb (name,sort,bht,wzorgr) values ('桌子','家具','ZZ',1)"));
    exec(QStringLiteral("insert into ytb (sort,yt) values ('电子设备','办公')"));
    auto state = signIn();
    auto form = startedForm(*state);
    // The empty category lists nothing.
    EXPECT_EQ(form->DBComboBox2->count(), 0);
    EXPECT_EQ(form->DBComboBox4->count(), 0);

    form->DBComboBox1->setEditText(QStringLiteral("电子设备"));
    form->DBComboBox2->setEditText(QStringLiteral("桌子"));
    form->DBComboBox5->setEditText(QStringLiteral("X1"));
    form->DBComboBox4->setEditText(QStringLiteral("教学"));
    form->ReloadNameAndUseLists();
    EXPECT_EQ(entries(form->DBComboBox2),
              (QStringList{QStringLiteral("电脑"), QStringLiteral("打印机")}));
    EXPECT_EQ(entries(form->DBComboBox4), QStringList{QStringLiteral("办公")});
    // A name of another category goes, with its model and a use the category does not have.
    EXPECT_TRUE(form->DBComboBox2->currentText().isEmpty());
    EXPECT_TRUE(form->DBComboBox5->currentText().isEmpty());
    EXPECT_TRUE(form->DBComboBox4->currentText().isEmpty());

    // A name of the category stays, and so does the use.
    form->DBComboBox2->setEditText(QStringLiteral("电脑"));
    form->DBComboBox4->setEditText(QStringLiteral("教学"));
    form->ReloadNameAndUseLists();
    EXPECT_EQ(form->DBComboBox2->currentText(), QStringLiteral("电脑"));
    EXPECT_EQ(form->DBComboBox4->currentText(), QStringLiteral("教学"));
}

TEST_F(StartUpTest, CategoryWithAnApostropheIsLookedUpSafely) {
    completeFirstUse();
    exec(
        QStringLiteral("insert into sortb (name,sort,bht,wzorgr) values ('钟','O''Brien',"
                       "'ZH',1)"));
    auto state = signIn();
    auto form = startedForm(*state);
    form->DBComboBox1->setEditText(QStringLiteral("O'Brien"));
    form->ReloadNameAndUseLists();
    EXPECT_EQ(entries(form->DBComboBox2), QStringList{QStringLiteral("钟")});
}

TEST_F(StartUpTest, SettingsAreReadAndTheSystemInputModeIsAFloor) {
    completeFirstUse();
    setIniValue(kAdmin, QStringLiteral("input"), 0);
    setIniValue(kAdmin, QStringLiteral("exitinfo"), 1);
    setIniValue(kAdmin, QStringLiteral("color"), 2);
    setIniValue(QStringLiteral("SysSet"), QStringLiteral("inputmode"), 2);
    auto state = signIn();
    auto form = startedForm(*state);
    EXPECT_EQ(state->settings.input, 2);
    EXPECT_EQ(state->settings.inputmode, 2);
    EXPECT_FALSE(state->showExitDialog);
    EXPECT_EQ(state->theme, Theme::Blue);
    EXPECT_TRUE(form->N25->isChecked());
    // The file keeps the user's own input mode.
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("input")).toInt(), 0);
}

TEST_F(StartUpTest, ALowerSystemInputModeLeavesTheUsersOwn) {
    completeFirstUse();
    setIniValue(kAdmin, QStringLiteral("input"), 2);
    setIniValue(QStringLiteral("SysSet"), QStringLiteral("inputmode"), 0);
    auto state = signIn();
    auto form = startedForm(*state);
    EXPECT_EQ(state->settings.input, 2);
    EXPECT_TRUE(state->showExitDialog);  // exitinfo missing: 0
    EXPECT_EQ(state->theme, Theme::Colourful);
    EXPECT_TRUE(form->N24->isChecked());
}

TEST_F(StartUpTest, SplashIsClosedWhenTheWindowIsFirstShown) {
    completeFirstUse();
    auto state = signIn();
    auto form = std::make_unique<TMainForm>(*state);
    QPointer<QWidget> splash = new QWidget;
    splash->show();
    form->setSplash(splash);
    ASSERT_TRUE(form->startUp());
    EXPECT_TRUE(splash->isVisible());
    form->show();
    EXPECT_FALSE(form->splash());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull());
    shutDownDirectly(*form);
}

TEST_F(StartUpTest, ShutdownClosesBothConnectionsAndKeepsExitinfoAndTheme) {
    completeFirstUse();
    auto state = signIn();
    auto form = startedForm(*state);
    ASSERT_NE(state->history, nullptr);
    EXPECT_TRUE(shutDownDirectly(*form));
    EXPECT_EQ(state->current, nullptr);
    EXPECT_EQ(state->history, nullptr);
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("exitinfo")).toInt(), 0);
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("color")).toInt(), 0);
    EXPECT_FALSE(iniValue(QStringLiteral("张三"), QStringLiteral("color")).isValid());
}

TEST_F(StartUpTest, ExitinfoOneIsWrittenBackAsOne) {
    completeFirstUse();
    setIniValue(QStringLiteral("张三"), QStringLiteral("exitinfo"), 1);
    auto state = signIn(QStringLiteral("张三"), Rights{});
    auto form = startedForm(*state);
    shutDownDirectly(*form);
    EXPECT_EQ(iniValue(QStringLiteral("张三"), QStringLiteral("exitinfo")).toInt(), 1);
    EXPECT_EQ(iniValue(QStringLiteral("张三"), QStringLiteral("color")).toInt(), 0);
}

TEST_F(StartUpTest, UnknownColourStartsWithSystemColoursAndIsWrittenBackAsOne) {
    completeFirstUse();
    setIniValue(kAdmin, QStringLiteral("color"), 5);
    auto state = signIn();
    auto form = startedForm(*state);
    EXPECT_EQ(state->theme, Theme::Windows);
    EXPECT_TRUE(form->N26->isChecked());
    EXPECT_FALSE(form->N24->isChecked());
    EXPECT_EQ(form->Panel1->palette().color(QPalette::Window), mainPanelColour(Theme::Windows));
    shutDownDirectly(*form);
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("color")).toInt(), 1);
}

TEST_F(StartUpTest, ExitCommandClosesTheWindowAndShutsDown) {
    completeFirstUse();
    auto state = signIn();
    auto form = startedForm(*state);
    form->show();
    form->N25->trigger();
    {
        DirectExit exit;
        form->N7->trigger();
        EXPECT_EQ(exit.offered(), 1);
    }
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(state->current, nullptr);
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("color")).toInt(), 2);
    // A second close does not write again.
    setIniValue(kAdmin, QStringLiteral("color"), 7);
    EXPECT_TRUE(form->shutDown());
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("color")).toInt(), 7);
}

}  // namespace
}  // namespace fx::test
