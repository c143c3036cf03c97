#include <QAction>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "aboutdialog.h"
#include "dberror.h"
#include "firstusedialog.h"
#include "mainicons.h"
#include "modal.h"
#include "registerfixture.h"
#include "reportpreview.h"
#include "scripts.h"
#include "settingsdialog.h"
#include "theme.h"

namespace fx::test {
namespace {

class CommandsTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        completeFirstUse();
    }
};

// Captions of a menu's entries, dividers as "-", hidden items left out.
QStringList captions(const QMenu* menu) {
    QStringList result;
    for (const QAction* a : menu->actions()) {
        if (!a->isVisible()) continue;
        result << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    return result;
}

TEST_F(CommandsTest, MainMenuHasTheItemsInOrder) {
    auto state = signIn();
    TMainForm form(*state);
    QStringList titles;
    for (const QAction* a : form.menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("文件操作(&F)"), QStringLiteral("综合查寻(&S)"),
                                   QStringLiteral("更改数据(&D)"), QStringLiteral("出借情况(&L)"),
                                   QStringLiteral("系统维护(&O)"), QStringLiteral("资产盘点(&P)"),
                                   QStringLiteral("帮助(&H)")}));
    EXPECT_EQ(
        captions(form.StocktakeMenu),
        (QStringList{QStringLiteral("新建盘点…"), QStringLiteral("盘点扫描…"), QStringLiteral("-"),
                     QStringLiteral("盘点结果…"), QStringLiteral("结束盘点…")}));
    EXPECT_EQ(
        captions(form.FileMenu),
        (QStringList{QStringLiteral("备份数据"), QStringLiteral("恢复备份"), QStringLiteral("-"),
                     QStringLiteral("打开报表文件"), QStringLiteral("打印当前资产标签"),
                     QStringLiteral("导入资产…"), QStringLiteral("-"), QStringLiteral("退出")}));
    EXPECT_EQ(captions(form.QueryMenu),
              (QStringList{QStringLiteral("查寻"), QStringLiteral("显示打印全部 "),
                           QStringLiteral("重做上次查寻"), QStringLiteral("-"),
                           QStringLiteral("维修记录查寻")}));
    EXPECT_EQ(captions(form.DataMenu),
              (QStringList{QStringLiteral("调拨"), QStringLiteral("变更记录"), QStringLiteral("-"),
                           QStringLiteral("报废"), QStringLiteral("修改"), QStringLiteral("删除"),
                           QStringLiteral("新增"), QStringLiteral("-"), QStringLiteral("保存"),
                           QStringLiteral("放弃")}));
    EXPECT_EQ(captions(form.LendingMenu),
              (QStringList{QStringLiteral("显示全部借出资产"), QStringLiteral("显示到期借出资产"),
                           QStringLiteral("当前资产借出归还记录")}));
    EXPECT_EQ(captions(form.SystemMenu),
              (QStringList{QStringLiteral("数据字典维护"), QStringLiteral("-"),
                           QStringLiteral("修改密码"), QStringLiteral("用户管理"),
                           QStringLiteral("操作记录查询…"), QStringLiteral("-"),
                           QStringLiteral("系统设置"), QStringLiteral("修改单位名称"),
                           QStringLiteral("显示参数")}));
    EXPECT_EQ(captions(form.N23),
              (QStringList{QStringLiteral("多彩多姿"), QStringLiteral("蓝色魅力"),
                           QStringLiteral("视窗本色")}));
    EXPECT_EQ(captions(form.HelpMenu), (QStringList{QStringLiteral("帮助主题"), QStringLiteral("-"),
                                                    QStringLiteral("关于")}));
    // "增加" is in the data menu but not shown.
    EXPECT_EQ(form.Add1->text(), QStringLiteral("增加"));
    EXPECT_TRUE(form.DataMenu->actions().contains(form.Add1));
    EXPECT_FALSE(form.Add1->isVisible());
}

TEST_F(CommandsTest, CommandsAreFoundByTheirNames) {
    auto state = signIn();
    TMainForm form(*state);
    const struct {
        const char* name;
        const char* caption;
    } expected[] = {
        {"N1", "备份数据"},      {"N7", "退出"},      {"N8", "查寻"},      {"N9", "显示打印全部 "},
        {"N16", "数据字典维护"}, {"N18", "修改密码"}, {"N19", "用户管理"}, {"N21", "系统设置"},
        {"N22", "修改单位名称"}, {"N24", "多彩多姿"}, {"N25", "蓝色魅力"}, {"N26", "视窗本色"},
        {"N27", "帮助主题"},     {"N29", "关于"},     {"Modify1", "修改"}, {"Save1", "保存"}};
    for (const auto& e : expected) {
        auto* a = form.findChild<QAction*>(QLatin1String(e.name));
        ASSERT_NE(a, nullptr) << e.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(e.caption)) << e.name;
    }
    EXPECT_EQ(form.findChild<QMenu*>(QStringLiteral("N23")), form.N23);
    EXPECT_EQ(form.findChild<QToolButton*>(QStringLiteral("ToolButton13"))->text(),
              QStringLiteral("字典"));
    EXPECT_EQ(form.findChild<QToolButton*>(QStringLiteral("ToolButton14"))->text(),
              QStringLiteral("密码"));
}

TEST_F(CommandsTest, FunctionKeys) {
    auto state = signIn();
    TMainForm form(*state);
    EXPECT_EQ(form.N8->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(form.N9->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(form.N10->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(form.N16->shortcut(), QKeySequence(Qt::Key_F6));
    EXPECT_EQ(form.N18->shortcut(), QKeySequence(Qt::Key_F4));
    EXPECT_EQ(form.N27->shortcut(), QKeySequence(Qt::Key_F1));
}

TEST_F(CommandsTest, FunctionKeysRunCommandsOnlyWhileTheirMenuIsOpenToUse) {
    auto state = signIn();
    TMainForm form(*state);
    CommandCounter counter(form);
    // The maintenance window needs a database: F6 is counted instead.
    int dictionaryRuns = 0;
    form.bindCommand(form.N16, [&dictionaryRuns] { ++dictionaryRuns; });
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F6);
    EXPECT_EQ(dictionaryRuns, 1);
    // While a card is edited the system menu is closed, and so are its keys (the query keys,
    // which open real windows, are tested with the query windows, F4 with the password window).
    form.applyEditState();
    QTest::keyClick(&form, Qt::Key_F6);
    EXPECT_EQ(dictionaryRuns, 1);
}

TEST_F(CommandsTest, ToolBarButtonsInOrderWithDividers) {
    auto state = signIn();
    TMainForm form(*state);
    QStringList order;
    for (QAction* a : form.ToolBar1->actions()) {
        if (a->isSeparator()) {
            order << QStringLiteral("|");
            continue;
        }
        auto* b = qobject_cast<QToolButton*>(form.ToolBar1->widgetForAction(a));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_TRUE(b->autoRaise());
        EXPECT_FALSE(b->icon().isNull()) << b->text().toStdString();
        order << b->text();
    }
    EXPECT_EQ(order.join(QLatin1Char(',')),
              QStringLiteral("查寻,重查,全部 ,已借出,已到期,|,调拨,报废,修改,删除,新增,保存,放弃,|,"
                             "字典,密码,系统,|,帮助"));
}

TEST_F(CommandsTest, ToolBarButtonsRunTheCommandsOfTheMenu) {
    auto state = signIn();
    TMainForm form(*state);
    CommandCounter counter(form);
    const struct {
        QToolButton* button;
        QAction* command;
    } pairs[] = {{form.ToolButton1, form.N8},      {form.ToolButton2, form.N10},
                 {form.ToolButton3, form.N9},      {form.ToolButton4, form.N13},
                 {form.ToolButton5, form.N14},     {form.ToolButton6, form.Transfer1},
                 {form.ToolButton7, form.Scrap1},  {form.ToolButton8, form.Modify1},
                 {form.ToolButton9, form.Delete1}, {form.ToolButton10, form.New1},
                 {form.ToolButton11, form.Save1},  {form.ToolButton12, form.Cancel1},
                 {form.ToolButton13, form.N16},    {form.ToolButton14, form.N18}};
    for (const auto& p : pairs) {
        ASSERT_TRUE(p.button->isEnabled()) << p.button->text().toStdString();
        EXPECT_TRUE(form.buttonsOf(p.command).contains(p.button)) << p.button->text().toStdString();
        // The card's own commands need a started window; they are run in the card's tests.
        if (!counter.counts(p.command)) continue;
        p.button->click();
        EXPECT_EQ(counter.runs(p.command), 1) << p.button->text().toStdString();
        p.command->trigger();
        EXPECT_EQ(counter.runs(p.command), 2) << p.button->text().toStdString();
    }
}

TEST_F(CommandsTest, EveryCommandWithoutARecordIsEnabledForTheAdministrator) {
    auto state = signIn();
    auto form = startedForm(*state);
    // The administrator with every right, no record shown: each command that needs no record
    // has its handler and is enabled.
    for (QAction* a : {form->N1, form->N2, form->N4, form->N7, form->N12, form->N13, form->N14,
                       form->N16, form->N18, form->N19, form->N21, form->N22, form->N24, form->N25,
                       form->N26, form->N27, form->N29, form->New1})
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    for (QToolButton* b :
         {form->ToolButton4, form->ToolButton5, form->ToolButton10, form->ToolButton13,
          form->ToolButton14, form->ToolButton15, form->ToolButton16})
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
}

TEST_F(CommandsTest, StartUpLeavesNoRecordCommandEvenForTheAdministrator) {
    auto state = signIn();
    TMainForm form(*state);
    CommandCounter counter(form);
    ASSERT_TRUE(form.startUp());
    for (QAction* a : {form.Modify1, form.Scrap1, form.Delete1, form.Transfer1})
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    for (QToolButton* b : {form.ToolButton6, form.ToolButton7, form.ToolButton8, form.ToolButton9})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    // "新增" needs no record.
    EXPECT_TRUE(form.New1->isEnabled());
    EXPECT_TRUE(form.ToolButton10->isEnabled());
    EXPECT_FALSE(form.Save1->isEnabled());
    EXPECT_FALSE(form.ToolButton11->isEnabled());
    EXPECT_TRUE(form.SpinEdit1->isEnabled());
}

TEST_F(CommandsTest, BrowseStateFollowsEachRight) {
    const struct {
        bool Rights::*right;
        QAction* TMainForm::*action;
        QToolButton* TMainForm::*button;
    } rules[] = {{&Rights::view, &TMainForm::N16, &TMainForm::ToolButton13},
                 {&Rights::modi, &TMainForm::Modify1, &TMainForm::ToolButton8},
                 {&Rights::del, &TMainForm::Scrap1, &TMainForm::ToolButton7},
                 {&Rights::ins, &TMainForm::New1, &TMainForm::ToolButton10},
                 {&Rights::db, &TMainForm::Transfer1, &TMainForm::ToolButton6}};
    auto state = signIn(QStringLiteral("张三"), Rights{});
    TMainForm form(*state);
    CommandCounter counter(form);
    for (const auto& granted : rules) {
        state->rights = Rights{};
        state->rights.*granted.right = true;
        form.applyBrowseState();
        for (const auto& rule : rules) {
            const bool expected = rule.right == granted.right;
            EXPECT_EQ((form.*rule.action)->isEnabled(), expected)
                << (form.*rule.action)->text().toStdString();
            EXPECT_EQ((form.*rule.button)->isEnabled(), expected)
                << (form.*rule.button)->text().toStdString();
        }
    }
}

TEST_F(CommandsTest, StocktakeMenuFollowsTheDictionaryRightAndTheEditState) {
    auto state = signIn(QStringLiteral("张三"), Rights{});
    TMainForm form(*state);
    CommandCounter counter(form);
    const auto offered = [&form] {
        bool all = form.StocktakeMenu->isEnabled();
        for (QAction* a :
             {form.NewStocktake1, form.ScanStocktake1, form.StocktakeResults1, form.EndStocktake1})
            all = all && a->isEnabled();
        return all;
    };
    form.applyBrowseState();
    EXPECT_FALSE(form.StocktakeMenu->isEnabled());
    EXPECT_FALSE(form.NewStocktake1->isEnabled());
    state->rights.view = true;
    form.applyBrowseState();
    EXPECT_TRUE(offered());
    form.applyEditState();
    EXPECT_FALSE(form.StocktakeMenu->isEnabled());
    EXPECT_FALSE(form.ScanStocktake1->isEnabled());
    // The administrator without the right.
    state->userName = kAdmin;
    state->rights = Rights{};
    form.applyBrowseState();
    EXPECT_TRUE(offered());
}

TEST_F(CommandsTest, AdministratorOnlyCommands) {
    auto state = signIn(QStringLiteral("张三"), allRights());
    TMainForm form(*state);
    CommandCounter counter(form);
    form.applyBrowseState();
    // All rights, but not the administrator.
    for (QAction* a : {form.N19, form.N22, form.N1, form.N2, form.Delete1})
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    EXPECT_FALSE(form.ToolButton9->isEnabled());
    EXPECT_TRUE(form.Modify1->isEnabled());

    // The administrator without a single right still administers.
    state->userName = kAdmin;
    state->rights = Rights{};
    form.applyBrowseState();
    for (QAction* a : {form.N19, form.N22, form.N1, form.N2, form.Delete1})
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
    EXPECT_TRUE(form.ToolButton9->isEnabled());
    EXPECT_FALSE(form.Modify1->isEnabled());
}

TEST_F(CommandsTest, OrganisationNameChangeIsForTheAdministratorOnly) {
    auto state = signIn(QStringLiteral("张三"), allRights());
    auto form = startedForm(*state);
    EXPECT_FALSE(form->N22->isEnabled());
    EXPECT_TRUE(form->N21->isEnabled());
}

TEST_F(CommandsTest, AnEngineErrorInACommandIsToldAndTheWindowCarriesOn) {
    auto state = signIn();
    TMainForm form(*state);
    // A command that meets a locked database and does not handle it itself.
    int runs = 0;
    form.bindCommand(form.N13, [&runs] {
        ++runs;
        throw db::DbError(QStringLiteral("database is locked"));
    });
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("数据库正被其他用户锁定 (database is locked)"));
    form.N13->trigger();
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(runs, 1);
    // The command stays usable.
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("数据库正被其他用户锁定 (database is locked)"));
    form.ToolButton4->click();
    EXPECT_EQ(runs, 2);
}

TEST_F(CommandsTest, EditStateLeavesOnlySaveAndCancel) {
    auto state = signIn();
    TMainForm form(*state);
    CommandCounter counter(form);
    form.applyBrowseState();
    form.enableRecordCommands(true);
    form.BitBtn3->setEnabled(true);
    form.applyEditState();

    for (QAction* a : {form.Modify1, form.Scrap1, form.Delete1, form.Transfer1, form.N8, form.New1})
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    for (QToolButton* b :
         {form.ToolButton1, form.ToolButton2, form.ToolButton3, form.ToolButton4, form.ToolButton5,
          form.ToolButton6, form.ToolButton7, form.ToolButton8, form.ToolButton9, form.ToolButton10,
          form.ToolButton13, form.ToolButton14, form.ToolButton15})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    for (QMenu* m : {form.QueryMenu, form.LendingMenu, form.FileMenu, form.SystemMenu})
        EXPECT_FALSE(m->isEnabled()) << m->title().toStdString();
    EXPECT_FALSE(form.SpinEdit1->isEnabled());
    EXPECT_FALSE(form.BitBtn3->isEnabled());

    EXPECT_TRUE(form.DataMenu->isEnabled());
    for (QAction* a : {form.Save1, form.Cancel1}) EXPECT_TRUE(a->isEnabled());
    for (QToolButton* b : {form.ToolButton11, form.ToolButton12}) EXPECT_TRUE(b->isEnabled());
    // Help stays.
    EXPECT_TRUE(form.ToolButton16->isEnabled());

    // Back to browsing.
    form.applyBrowseState();
    for (QMenu* m : {form.QueryMenu, form.LendingMenu, form.FileMenu, form.SystemMenu})
        EXPECT_TRUE(m->isEnabled());
    EXPECT_TRUE(form.SpinEdit1->isEnabled());
    EXPECT_TRUE(form.N8->isEnabled());
    EXPECT_TRUE(form.ToolButton1->isEnabled());
    EXPECT_FALSE(form.Save1->isEnabled());
    EXPECT_FALSE(form.ToolButton12->isEnabled());
}

TEST_F(CommandsTest, RecordCommandsForAShownRecordAreNarrowedByRights) {
    auto state = signIn(QStringLiteral("张三"), Rights{});
    state->rights.modi = true;
    TMainForm form(*state);
    CommandCounter counter(form);
    form.enableRecordCommands(true);
    form.applyBrowseState();
    EXPECT_TRUE(form.Modify1->isEnabled());
    EXPECT_FALSE(form.Scrap1->isEnabled());
    EXPECT_FALSE(form.Delete1->isEnabled());
    EXPECT_FALSE(form.Transfer1->isEnabled());
    form.enableRecordCommands(false);
    EXPECT_FALSE(form.Modify1->isEnabled());
    EXPECT_FALSE(form.ToolButton8->isEnabled());
}

TEST_F(CommandsTest, ThemesTickOneItemAndColourThePanel) {
    auto state = signIn();
    auto form = startedForm(*state);
    const QImage ticked = icons::themeTicked().pixmap(16).toImage();
    const QImage unticked = icons::themeUnticked().pixmap(16).toImage();
    const auto check = [&](QAction* on, Theme theme) {
        for (QAction* a : {form->N24, form->N25, form->N26}) {
            EXPECT_EQ(a->isChecked(), a == on) << a->text().toStdString();
            EXPECT_EQ(a->icon().pixmap(16).toImage(), a == on ? ticked : unticked)
                << a->text().toStdString();
        }
        EXPECT_EQ(state->theme, theme);
        EXPECT_EQ(form->Panel1->palette().color(QPalette::Window), mainPanelColour(theme));
    };
    check(form->N24, Theme::Colourful);
    EXPECT_EQ(form->Panel1->palette().color(QPalette::Window), QColor(193, 218, 238));
    form->N26->trigger();
    check(form->N26, Theme::Windows);
    form->N25->trigger();
    check(form->N25, Theme::Blue);
    shutDownDirectly(*form);
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("color")).toInt(), 2);
}

TEST_F(CommandsTest, WindowsThemeIsWrittenBackAsOne) {
    auto state = signIn();
    auto form = startedForm(*state);
    form->N26->trigger();
    shutDownDirectly(*form);
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("color")).toInt(), 1);
}

TEST_F(CommandsTest, ChangingTheOrganisationNameStoresTheNewName) {
    completeFirstUse(QStringLiteral("旧单位"));
    auto state = signIn();
    auto form = startedForm(*state);
    form->N25->trigger();
    ModalScript dialogs;
    dialogs.then<TFirstUseDlg>([](TFirstUseDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("修改单位名称"));
        EXPECT_EQ(d.Label1->text(), QStringLiteral("请填入更改后的公司名称:"));
        EXPECT_EQ(d.name(), QStringLiteral("旧单位"));
        // Tinted by the theme.
        EXPECT_EQ(d.palette().color(QPalette::Window), mainPanelColour(Theme::Blue));
        d.Edit1->setText(QStringLiteral("O'Neil 新单位"));
        d.Button1Click();
        return d.result();
    });
    form->N22->trigger();
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(queryText(QStringLiteral("select * from username"), QStringLiteral("user")),
              QStringLiteral("O'Neil 新单位"));
    // The first-use mark is left alone.
    EXPECT_EQ(queryText(QStringLiteral("select * from username"), QStringLiteral("password")),
              QStringLiteral("1"));
}

TEST_F(CommandsTest, SystemSettingsOpenFromMenuAndToolBar) {
    auto state = signIn();
    auto form = startedForm(*state);
    ModalScript dialogs;
    dialogs.then<TxtszDlg>([](TxtszDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("系统设置"));
        return int(QDialog::Rejected);
    });
    dialogs.then<TxtszDlg>([](TxtszDlg&) { return int(QDialog::Rejected); });
    form->N21->trigger();
    form->ToolButton15->click();
    EXPECT_TRUE(dialogs.done());
}

TEST_F(CommandsTest, AboutShowsTheAboutBox) {
    auto state = signIn();
    auto form = startedForm(*state);
    ModalScript dialogs;
    dialogs.then<TAboutBox>([](TAboutBox& d) {
        EXPECT_TRUE(d.ProductName->text().contains(TAboutBox::productName()));
        return int(QDialog::Accepted);
    });
    form->N29->trigger();
    EXPECT_TRUE(dialogs.done());
}

TEST_F(CommandsTest, OpenReportFileShowsThePlaceholderPreview) {
    auto state = signIn();
    auto form = startedForm(*state);
    ModalScript dialogs;
    dialogs.then<report::ReportPreview>([](report::ReportPreview& preview) {
        EXPECT_EQ(preview.pageCount(), 1);
        QString text;
        for (const report::Primitive& p : preview.document().pages[0].primitives) text += p.text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("提示：*.QRP文件(QuickReport file)")));
        EXPECT_TRUE(text.endsWith(QStringLiteral("打开已经保存过的报表文件。")));
        return int(QDialog::Accepted);
    });
    form->N4->trigger();
    EXPECT_TRUE(dialogs.done());
}

class HelpTest : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        ui::setOpenHandler([this](const QString& path) {
            opened << path;
            return true;
        });
    }
    void TearDown() override {
        ui::setOpenHandler({});
        CommandsTest::TearDown();
    }
    QStringList opened;
};

TEST_F(HelpTest, OpensTheHelpFileInTheStartDirectory) {
    auto state = signIn();
    auto form = startedForm(*state);
    const QString chm = state->startDir + QStringLiteral("/qslhelp.chm");
    QFile f(chm);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    form->N27->trigger();
    form->ToolButton16->click();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_EQ(opened, (QStringList{chm, chm, chm}));
    shutDownDirectly(*form);
}

TEST_F(HelpTest, FallsBackToTheInstalledManual) {
    auto state = signIn();
    auto form = startedForm(*state);
    const QString manual = inst.appPath() + QStringLiteral("/help/index.html");
    ASSERT_TRUE(QDir().mkpath(inst.appPath() + QStringLiteral("/help")));
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(FX_SHARE_DIR) + QStringLiteral("/help/index.html"), manual));
    form->N27->trigger();
    EXPECT_EQ(opened, QStringList{manual});
}

TEST_F(HelpTest, SaysSoWhenThereIsNoHelp) {
    auto state = signIn();
    auto form = startedForm(*state);
    ASSERT_TRUE(form->helpDocumentPath().isEmpty());
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("没有找到帮助文件"));
    form->N27->trigger();
    EXPECT_TRUE(opened.isEmpty());
}

}  // namespace
}  // namespace fx::test
