#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "appstate.h"
#include "clicklabel.h"
#include "radiogroup.h"
#include "settingsdialog.h"

namespace {

using fx::TxtszDlg;
using fx::ui::RadioGroup;

const QString kAdmin = QStringLiteral("系统管理员");

class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dataDir.isValid());
        state.dataDir = dataDir.path() + QLatin1Char('/');
        state.userName = kAdmin;
    }

    QString ini() const { return state.settingsPath(); }
    std::vector<QCheckBox*> boxes(const TxtszDlg& d) const {
        return {d.CheckBox1, d.CheckBox2, d.CheckBox3, d.CheckBox4};
    }
    // "tttt" / "ffft": the ticks of the four boxes; "eeee" / "dddd": enabled or disabled.
    QString ticks(const TxtszDlg& d) const {
        QString s;
        for (QCheckBox* b : boxes(d)) s += b->isChecked() ? u't' : u'f';
        return s;
    }
    QString enabled(const TxtszDlg& d) const {
        QString s;
        for (QCheckBox* b : boxes(d)) s += b->isEnabled() ? u'e' : u'd';
        return s;
    }
    // Which of the three input-mode buttons is selected ("-" for none) and which are enabled.
    QString selectedMode(const TxtszDlg& d) const {
        if (d.RadioButton1->isChecked()) return QStringLiteral("0");
        if (d.RadioButton2->isChecked()) return QStringLiteral("1");
        if (d.RadioButton3->isChecked()) return QStringLiteral("2");
        return QStringLiteral("-");
    }
    QString enabledModes(const TxtszDlg& d) const {
        QString s;
        for (QRadioButton* b : {d.RadioButton1, d.RadioButton2, d.RadioButton3})
            s += b->isEnabled() ? u'e' : u'd';
        return s;
    }

    QTemporaryDir dataDir;
    fx::AppState state;
};

// ---- the dialog as it opens ----

TEST_F(SettingsDialog, HasItsGroupsAndTexts) {
    TxtszDlg d(state);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("系统设置"));
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(d.findChild<QGroupBox*>(QStringLiteral("GroupBox1"))->title(),
              QStringLiteral("主界面部分允许手工输入设置"));
    EXPECT_EQ(d.findChild<QGroupBox*>(QStringLiteral("GroupBox2"))->title(),
              QStringLiteral("本用户主界面输入设置"));
    const QStringList boxTexts{QStringLiteral("名称栏"), QStringLiteral("用途栏"),
                               QStringLiteral("型号栏"), QStringLiteral("位置及使用者栏")};
    for (int i = 0; i < 4; ++i) {
        auto* b = d.findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(i + 1));
        ASSERT_TRUE(b);
        EXPECT_EQ(b->text(), boxTexts[i]);
    }
    const QStringList modeTexts{QStringLiteral("全部内容允许手工输入"),
                                QStringLiteral("仅允许部分必要的手工输入"),
                                QStringLiteral("不允许任何手工输入")};
    for (int i = 0; i < 3; ++i) {
        auto* b = d.findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(i + 1));
        ASSERT_TRUE(b);
        EXPECT_EQ(b->text(), modeTexts[i]);
    }
    struct Group {
        const char16_t* title;
        QStringList items;
    };
    const Group groups[] = {
        {u"系统主界面输入设置",
         {QStringLiteral("允许用户自由设置输入方式"), QStringLiteral("仅允许用户支持部分手工输入"),
          QStringLiteral("不允许任何用户手工输入")}},
        {u"系统数据字典设置",
         {QStringLiteral("手工输入内容不属于字典时提示加入"),
          QStringLiteral("手工输入内容不属于字典时自动加入"),
          QStringLiteral("新增资产各栏内容必须已在字典中"),
          QStringLiteral("对手工输入不进行判断也不向数据字典添加")}},
        {u"系统借出资产归还方式",
         {QStringLiteral("只有批复人可以归还该物品"),
          QStringLiteral("可由所有含归还审核权的用户归还")}},
        {u"本用户查询条件窗口输入设置",
         {QStringLiteral("支持手工输入"), QStringLiteral("不支持手工输入")}},
        {u"本用户折旧及净值显示",
         {QStringLiteral("显示折旧及净值情况"), QStringLiteral("不显示折旧及净值情况")}},
    };
    for (int g = 0; g < 5; ++g) {
        auto* rg = d.findChild<RadioGroup*>(QStringLiteral("RadioGroup%1").arg(g + 1));
        ASSERT_TRUE(rg) << g;
        EXPECT_EQ(rg->title(), QString::fromUtf16(groups[g].title));
        ASSERT_EQ(rg->count(), groups[g].items.size());
        for (int i = 0; i < rg->count(); ++i) {
            EXPECT_EQ(rg->button(i)->text(), groups[g].items[i]);
            EXPECT_EQ(rg->button(i)->objectName(), rg->objectName() + QStringLiteral("_%1").arg(i));
        }
    }
    const QStringList presets{QStringLiteral("录入型方案"), QStringLiteral("快捷型方案"),
                              QStringLiteral("缺省方案")};
    for (int i = 0; i < 3; ++i) {
        auto* l = d.findChild<fx::ui::ClickLabel*>(QStringLiteral("Label%1").arg(i + 1));
        ASSERT_TRUE(l);
        EXPECT_EQ(l->text(), presets[i]);
        EXPECT_EQ(l->cursor().shape(), Qt::PointingHandCursor);
    }
    EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("Button1"))->text(), QStringLiteral("确定"));
    EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("Button2"))->text(), QStringLiteral("取消"));
}

TEST_F(SettingsDialog, LoadsTheInMemoryValues) {
    fx::Settings& s = state.settings;
    s.mcl = 0;
    s.ytl = 1;
    s.xhl = 0;
    s.wzl = 1;
    s.input = 1;
    s.inputmode = 1;
    s.datadic = 3;
    s.returner = 0;
    s.cxc = 1;
    s.zjxs = 1;
    TxtszDlg d(state);
    EXPECT_EQ(ticks(d), QStringLiteral("ftft"));
    EXPECT_EQ(enabled(d), QStringLiteral("eeee"));
    EXPECT_EQ(selectedMode(d), QStringLiteral("1"));
    EXPECT_EQ(enabledModes(d), QStringLiteral("dee"));
    EXPECT_EQ(d.RadioGroup1->itemIndex(), 1);
    EXPECT_EQ(d.RadioGroup2->itemIndex(), 3);
    EXPECT_EQ(d.RadioGroup3->itemIndex(), 0);
    EXPECT_EQ(d.RadioGroup4->itemIndex(), 1);
    EXPECT_EQ(d.RadioGroup5->itemIndex(), 1);
}

TEST_F(SettingsDialog, LoadingRunsTheReactionsOfTheInputMode) {
    // The file may say the boxes are unticked; "全部内容允许手工输入" ticks and locks them.
    state.settings.mcl = 0;
    state.settings.xhl = 0;
    state.settings.input = 0;
    state.settings.inputmode = 0;
    TxtszDlg all(state);
    EXPECT_EQ(selectedMode(all), QStringLiteral("0"));
    EXPECT_EQ(ticks(all), QStringLiteral("tttt"));
    EXPECT_EQ(enabled(all), QStringLiteral("dddd"));
    EXPECT_EQ(enabledModes(all), QStringLiteral("eee"));

    state.settings.input = 2;
    TxtszDlg none(state);
    EXPECT_EQ(selectedMode(none), QStringLiteral("2"));
    EXPECT_EQ(ticks(none), QStringLiteral("ffff"));
    EXPECT_EQ(enabled(none), QStringLiteral("dddd"));
}

TEST_F(SettingsDialog, SystemModeTwoOverridesTheUsersOwnChoice) {
    state.settings.input = 0;
    state.settings.inputmode = 2;
    TxtszDlg d(state);
    EXPECT_EQ(selectedMode(d), QStringLiteral("2"));
    EXPECT_EQ(enabledModes(d), QStringLiteral("dde"));
    EXPECT_EQ(ticks(d), QStringLiteral("ffff"));
    EXPECT_EQ(enabled(d), QStringLiteral("dddd"));
}

TEST_F(SettingsDialog, SystemModeOneMovesFullInputToNone) {
    state.settings.input = 0;
    state.settings.inputmode = 1;
    TxtszDlg d(state);
    EXPECT_EQ(selectedMode(d), QStringLiteral("2"));
    EXPECT_EQ(enabledModes(d), QStringLiteral("dee"));
    EXPECT_EQ(ticks(d), QStringLiteral("ffff"));
}

TEST_F(SettingsDialog, NonAdministratorSeesSystemGroupsDisabledAndNoPresets) {
    state.userName = QStringLiteral("张三");
    TxtszDlg d(state);
    EXPECT_FALSE(d.RadioGroup1->isEnabled());
    EXPECT_FALSE(d.RadioGroup2->isEnabled());
    EXPECT_FALSE(d.RadioGroup3->isEnabled());
    EXPECT_TRUE(d.RadioGroup4->isEnabled());
    EXPECT_TRUE(d.RadioGroup5->isEnabled());
    EXPECT_TRUE(d.GroupBox1->isEnabled());
    EXPECT_TRUE(d.GroupBox2->isEnabled());
    EXPECT_TRUE(d.Label1->isHidden());
    EXPECT_TRUE(d.Label2->isHidden());
    EXPECT_TRUE(d.Label3->isHidden());
}

TEST_F(SettingsDialog, AdministratorHasEverything) {
    TxtszDlg d(state);
    d.show();
    for (RadioGroup* g :
         {d.RadioGroup1, d.RadioGroup2, d.RadioGroup3, d.RadioGroup4, d.RadioGroup5})
        EXPECT_TRUE(g->isEnabled()) << g->objectName().toStdString();
    EXPECT_TRUE(d.Label1->isVisible());
    EXPECT_TRUE(d.Label2->isVisible());
    EXPECT_TRUE(d.Label3->isVisible());
}

TEST_F(SettingsDialog, TakesTheThemeColourWhenItOpens) {
    state.theme = fx::Theme::Blue;
    TxtszDlg blue(state);
    EXPECT_EQ(blue.palette().color(QPalette::Window), QColor(193, 218, 238));
    EXPECT_TRUE(blue.autoFillBackground());
    state.theme = fx::Theme::Colourful;
    TxtszDlg own(state);
    EXPECT_FALSE(own.autoFillBackground());
}

// ---- reactions ----

TEST_F(SettingsDialog, InputModeButtonsDriveTheFourBoxes) {
    state.settings.input = 1;
    state.settings.inputmode = 0;
    state.settings.mcl = 0;
    TxtszDlg d(state);
    EXPECT_EQ(ticks(d), QStringLiteral("fttt"));

    d.RadioButton1->click();
    EXPECT_EQ(ticks(d), QStringLiteral("tttt"));
    EXPECT_EQ(enabled(d), QStringLiteral("dddd"));

    d.RadioButton3->click();
    EXPECT_EQ(ticks(d), QStringLiteral("ffff"));
    EXPECT_EQ(enabled(d), QStringLiteral("dddd"));

    // Partial input hands the boxes back without changing their ticks.
    d.RadioButton2->click();
    EXPECT_EQ(ticks(d), QStringLiteral("ffff"));
    EXPECT_EQ(enabled(d), QStringLiteral("eeee"));
    d.CheckBox2->click();
    EXPECT_EQ(ticks(d), QStringLiteral("ftff"));
}

TEST_F(SettingsDialog, SystemInputModeBoundsTheUsersButtons) {
    state.settings.input = 1;
    state.settings.inputmode = 0;
    TxtszDlg d(state);
    EXPECT_EQ(enabledModes(d), QStringLiteral("eee"));

    // Item 1 keeps partial input, which is allowed.
    d.RadioGroup1->button(1)->click();
    EXPECT_EQ(selectedMode(d), QStringLiteral("1"));
    EXPECT_EQ(enabledModes(d), QStringLiteral("dee"));

    // Item 2 allows nothing but no input.
    d.RadioGroup1->button(2)->click();
    EXPECT_EQ(selectedMode(d), QStringLiteral("2"));
    EXPECT_EQ(enabledModes(d), QStringLiteral("dde"));
    EXPECT_EQ(ticks(d), QStringLiteral("ffff"));

    // Back to item 1: partial input is offered again, the selection stays on none.
    d.RadioGroup1->button(1)->click();
    EXPECT_EQ(selectedMode(d), QStringLiteral("2"));
    EXPECT_EQ(enabledModes(d), QStringLiteral("dee"));

    // Item 0 frees all three.
    d.RadioGroup1->button(0)->click();
    EXPECT_EQ(enabledModes(d), QStringLiteral("eee"));
    d.RadioButton1->click();
    EXPECT_EQ(selectedMode(d), QStringLiteral("0"));
    EXPECT_EQ(ticks(d), QStringLiteral("tttt"));
}

TEST_F(SettingsDialog, InputPresetForTypists) {
    state.settings.input = 2;
    state.settings.inputmode = 2;
    state.settings.datadic = 3;
    state.settings.returner = 0;
    state.settings.cxc = 1;
    state.settings.zjxs = 1;
    TxtszDlg d(state);
    d.show();
    QTest::mouseClick(d.Label1, Qt::LeftButton);
    EXPECT_EQ(d.RadioGroup1->itemIndex(), 0);
    EXPECT_EQ(d.RadioGroup2->itemIndex(), 0);
    EXPECT_EQ(d.RadioGroup3->itemIndex(), 1);
    EXPECT_EQ(d.RadioGroup4->itemIndex(), 0);
    EXPECT_EQ(d.RadioGroup5->itemIndex(), 1);
    EXPECT_EQ(selectedMode(d), QStringLiteral("0"));
    EXPECT_EQ(enabledModes(d), QStringLiteral("eee"));
    EXPECT_EQ(ticks(d), QStringLiteral("tttt"));
    EXPECT_EQ(enabled(d), QStringLiteral("dddd"));
}

TEST_F(SettingsDialog, QuickPresetLeavesReturnRuleAndDepreciationDisplay) {
    state.settings.input = 0;
    state.settings.inputmode = 0;
    state.settings.datadic = 0;
    state.settings.returner = 0;
    state.settings.cxc = 0;
    state.settings.zjxs = 1;
    TxtszDlg d(state);
    d.show();
    QTest::mouseClick(d.Label2, Qt::LeftButton);
    EXPECT_EQ(d.RadioGroup1->itemIndex(), 2);
    EXPECT_EQ(d.RadioGroup4->itemIndex(), 1);
    EXPECT_EQ(d.RadioGroup2->itemIndex(), 1);
    EXPECT_EQ(d.RadioGroup3->itemIndex(), 0);
    EXPECT_EQ(d.RadioGroup5->itemIndex(), 1);
    EXPECT_EQ(selectedMode(d), QStringLiteral("2"));
    EXPECT_EQ(enabledModes(d), QStringLiteral("dde"));
}

TEST_F(SettingsDialog, DefaultPreset) {
    state.settings.input = 2;
    state.settings.inputmode = 2;
    state.settings.datadic = 2;
    state.settings.returner = 0;
    state.settings.cxc = 1;
    state.settings.zjxs = 1;
    TxtszDlg d(state);
    d.show();
    QTest::mouseClick(d.Label3, Qt::LeftButton);
    EXPECT_EQ(d.RadioGroup1->itemIndex(), 1);
    EXPECT_EQ(d.RadioGroup2->itemIndex(), 0);
    EXPECT_EQ(d.RadioGroup3->itemIndex(), 1);
    EXPECT_EQ(d.RadioGroup4->itemIndex(), 0);
    EXPECT_EQ(d.RadioGroup5->itemIndex(), 1);
    EXPECT_EQ(selectedMode(d), QStringLiteral("1"));
    EXPECT_EQ(enabledModes(d), QStringLiteral("dee"));
    EXPECT_EQ(enabled(d), QStringLiteral("eeee"));
}

// ---- 确定 and 取消 ----

TEST_F(SettingsDialog, ConfirmWritesEveryKeyAndTheMemory) {
    state.userName = QStringLiteral("张三");
    state.settings.exitinfo = 1;
    state.settings.color = 2;
    state.settings.input = 1;
    state.settings.inputmode = 0;
    TxtszDlg d(state);
    d.RadioButton2->click();
    d.CheckBox1->setChecked(false);
    d.CheckBox3->setChecked(false);
    d.RadioGroup4->button(1)->click();
    d.RadioGroup5->button(1)->click();
    d.Button1->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);

    QSettings file(ini(), QSettings::IniFormat);
    file.beginGroup(QStringLiteral("张三"));
    EXPECT_EQ(file.value(QStringLiteral("mcl")).toInt(), 0);
    EXPECT_EQ(file.value(QStringLiteral("ytl")).toInt(), 1);
    EXPECT_EQ(file.value(QStringLiteral("xhl")).toInt(), 0);
    EXPECT_EQ(file.value(QStringLiteral("wzl")).toInt(), 1);
    EXPECT_EQ(file.value(QStringLiteral("input")).toInt(), 1);
    EXPECT_EQ(file.value(QStringLiteral("cxc")).toInt(), 1);
    EXPECT_EQ(file.value(QStringLiteral("zjxs")).toInt(), 1);
    // Shutdown writes these two, not the settings dialog.
    EXPECT_FALSE(file.contains(QStringLiteral("exitinfo")));
    EXPECT_FALSE(file.contains(QStringLiteral("color")));
    file.endGroup();
    EXPECT_EQ(file.value(QStringLiteral("SysSet/datadic")).toInt(), 0);
    EXPECT_EQ(file.value(QStringLiteral("SysSet/inputmode")).toInt(), 0);
    EXPECT_EQ(file.value(QStringLiteral("SysSet/returner")).toInt(), 1);

    const fx::Settings& m = state.settings;
    EXPECT_EQ(m.mcl, 0);
    EXPECT_EQ(m.xhl, 0);
    EXPECT_EQ(m.ytl, 1);
    EXPECT_EQ(m.input, 1);
    EXPECT_EQ(m.cxc, 1);
    EXPECT_EQ(m.zjxs, 1);
    EXPECT_EQ(m.exitinfo, 1);
    EXPECT_EQ(m.color, 2);
}

TEST_F(SettingsDialog, ConfirmAfterAPresetStoresTheSystemValues) {
    TxtszDlg d(state);
    d.Label2Click();
    d.Button1Click();
    const fx::Settings back = fx::readSettings(ini(), kAdmin);
    EXPECT_EQ(back.inputmode, 2);
    EXPECT_EQ(back.datadic, 1);
    EXPECT_EQ(back.returner, 1);
    EXPECT_EQ(back.input, 2);
    EXPECT_EQ(back.cxc, 1);
    EXPECT_EQ(back.mcl + back.ytl + back.xhl + back.wzl, 0);
    EXPECT_EQ(state.settings.inputmode, 2);
    EXPECT_EQ(state.settings.input, 2);
}

TEST_F(SettingsDialog, CancelChangesNothing) {
    state.settings.input = 0;
    state.settings.inputmode = 0;
    const fx::Settings before = state.settings;
    TxtszDlg d(state);
    d.Label2Click();
    d.RadioGroup5->button(1)->click();
    d.Button2->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_FALSE(QFile::exists(ini()));
    EXPECT_EQ(state.settings.inputmode, before.inputmode);
    EXPECT_EQ(state.settings.input, before.input);
    EXPECT_EQ(state.settings.datadic, before.datadic);
    EXPECT_EQ(state.settings.zjxs, before.zjxs);
    EXPECT_EQ(state.settings.cxc, before.cxc);
}

// ---- the radio group widget ----

TEST(RadioGroupWidget, ReportsEveryChangeOfSelectionOnce) {
    RadioGroup g(QStringLiteral("组"), {QStringLiteral("甲"), QStringLiteral("乙")});
    QList<int> seen;
    QObject::connect(&g, &RadioGroup::itemIndexChanged, [&](int i) { seen << i; });
    EXPECT_EQ(g.itemIndex(), -1);
    g.setItemIndex(1);
    g.setItemIndex(1);
    g.button(0)->click();
    g.setItemIndex(-1);
    g.setItemIndex(7);
    EXPECT_EQ(seen, (QList<int>{1, 0, -1}));
    EXPECT_EQ(g.itemIndex(), -1);
}

}  // namespace
