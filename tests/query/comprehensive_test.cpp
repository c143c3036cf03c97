#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <functional>

#include "appstate.h"
#include "connection.h"
#include "demodictionary.h"
#include "depreciation.h"
#include "querycommands.h"
#include "queryfixture.h"
#include "resulttable.h"
#include "scripts.h"
#include "tcxjgdlg1.h"
#include "tljcxdlg.h"
#include "tzhcxdlg.h"

namespace fx::test {
namespace {

using query::Storage;
using query::TzhcxDlg;

const QString kDefaults = QStringLiteral(
    " and not ybf and gmjg>=0 and gmjg<=99999999 and gmrq>=#10/01/1949# and gmrq<=#06/16/2024#");
const QString kNoScrapDefaults =
    QStringLiteral(" and gmjg>=0 and gmjg<=99999999 and gmrq>=#10/01/1949# and gmrq<=#06/16/2024#");

QStringList withEmpty(const QStringList& list) {
    return QStringList{QString()} + list;
}

class ComprehensiveTest : public QueryTest {
protected:
    void SetUp() override {
        QueryTest::SetUp();
        addDemoRegister(400);
        state.queryText = reports::kAssetQuery;
    }

    // Rows of the asset query with these conditions, on the demo installation.
    int rowsFor(const QString& conditions) {
        query::ResultTable t;
        t.load(*app->current, reports::kAssetQuery + conditions);
        return t.rowCount();
    }
    // Demo assets meeting a condition.
    int assetsWhere(const std::function<bool(const admin::DemoAsset&)>& keep) const {
        int n = 0;
        for (const admin::DemoAsset& a : demo.assets) n += keep(a) ? 1 : 0;
        return n;
    }
    QStringList namesOf(const QString& category) const {
        QStringList out;
        for (const admin::DemoName& n : admin::demoDictionary().names) {
            if (n.sort == category) out << n.name;
        }
        return out;
    }
    QStringList usesOf(const QString& category) const {
        for (const admin::DemoCategory& c : admin::demoDictionary().categories) {
            if (c.sort == category) return c.uses;
        }
        return {};
    }
    QStringList places(bool departmentsOnly = false) const {
        QStringList out;
        for (const admin::DemoPlace& p : admin::demoDictionary().places) {
            if (!departmentsOnly || p.isbm) out << p.wz;
        }
        return out;
    }
    QStringList persons() const {
        QStringList out{QStringLiteral("未分配")};  // the reserved person comes first
        for (const admin::DemoPerson& p : admin::demoDictionary().persons) out << p.pname;
        return out;
    }
};

// ---- the form ----------------------------------------------------------------------------------

TEST_F(ComprehensiveTest, EveryControlStartsAtItsDefault) {
    TzhcxDlg d(*app, state);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("综合查寻"));
    EXPECT_EQ(d.GroupBox1->title(), QStringLiteral("查寻条件"));
    QStringList categories;
    for (const auto& c : admin::demoDictionary().categories) categories << c.sort;
    QStringList names;
    for (const auto& n : admin::demoDictionary().names) names << n.name;
    QStringList lives;
    for (const auto& l : admin::demoDictionary().lives) lives << l.qx;
    EXPECT_EQ(d.ComboBox1->entries(), withEmpty(categories));
    // Names come in the order the engine returns them.
    QStringList shownNames = d.ComboBox2->entries();
    shownNames.sort();
    QStringList allNames = withEmpty(names);
    allNames.sort();
    EXPECT_EQ(shownNames, allNames);
    EXPECT_TRUE(d.ComboBox2->entries().first().isEmpty());
    EXPECT_TRUE(d.ComboBox4->entries().isEmpty());
    EXPECT_TRUE(d.ComboBox5->entries().isEmpty());
    EXPECT_EQ(d.ComboBox6->entries(), lives);
    EXPECT_EQ(d.ComboBox3->entries(), places());
    EXPECT_FALSE(d.ComboBox3->isEnabled());
    EXPECT_FALSE(d.Label12->isEnabled());
    for (query::QueryBox* b :
         {d.ComboBox1, d.ComboBox2, d.ComboBox3, d.ComboBox4, d.ComboBox5, d.ComboBox6}) {
        EXPECT_TRUE(b->text().isEmpty()) << b->objectName().toStdString();
        EXPECT_TRUE(b->isTyping()) << b->objectName().toStdString();
    }
    EXPECT_TRUE(d.RadioButton3->isChecked());
    EXPECT_EQ(d.storage(), Storage::All);
    EXPECT_EQ(d.DateTimePicker1->date(), QDate(1949, 10, 1));
    EXPECT_EQ(d.DateTimePicker2->date(), QDate(2024, 6, 16));
    EXPECT_EQ(d.CSpinEdit1->value(), 0);
    EXPECT_EQ(d.CSpinEdit5->value(), 99999999);
    EXPECT_TRUE(d.CheckBox7->isChecked());
    for (QCheckBox* c :
         {d.CheckBox1, d.CheckBox2, d.CheckBox3, d.CheckBox4, d.CheckBox5, d.CheckBox6}) {
        EXPECT_FALSE(c->isChecked()) << c->text().toStdString();
    }
    EXPECT_EQ(d.Edit1->toolTip(), QStringLiteral("支持符号“+”连接的多关键字查询，例如：硬盘+声卡"));
    EXPECT_EQ(d.BitBtn3->text(), QStringLiteral("逻辑查寻方式…"));
}

TEST_F(ComprehensiveTest, StandsInTheMiddleOfTheScreen) {
    QWidget main;
    main.setGeometry(10, 10, 300, 200);
    TzhcxDlg d(*app, state, &main);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    const QPoint off = d.geometry().center() - d.screen()->availableGeometry().center();
    EXPECT_LE(off.manhattanLength(), 40);
    d.reject();
}

TEST_F(ComprehensiveTest, CaptionsStandNextToTheirFields) {
    TzhcxDlg d(*app, state);
    d.show();
    auto widget = [&](const char* name) {
        QWidget* w = d.findChild<QWidget*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w->geometry();
    };
    constexpr int kNear = 12;  // px between a caption and what it belongs to
    // "配置中" + "字符串组合：" read as one caption right before its field; the same for remarks.
    EXPECT_LE(widget("Label6").left() - widget("Label5").right(), kNear);
    EXPECT_LE(widget("Edit1").left() - widget("Label6").right(), kNear);
    EXPECT_LE(widget("Label15").left() - widget("Label14").right(), kNear);
    EXPECT_LE(widget("Edit2").left() - widget("Label15").right(), kNear);
    // Each "至" between its two fields.
    EXPECT_LE(widget("Label8").left() - widget("DateTimePicker1").right(), kNear);
    EXPECT_LE(widget("DateTimePicker2").left() - widget("Label8").right(), kNear);
    EXPECT_LE(widget("Label10").left() - widget("CSpinEdit1").right(), kNear);
    EXPECT_LE(widget("CSpinEdit5").left() - widget("Label10").right(), kNear);
}

TEST_F(ComprehensiveTest, ChooseOnlyInputSetting) {
    app->settings.cxc = 1;
    TzhcxDlg d(*app, state);
    for (query::QueryBox* b : {d.ComboBox1, d.ComboBox2, d.ComboBox3, d.ComboBox4, d.ComboBox5}) {
        EXPECT_FALSE(b->isTyping()) << b->objectName().toStdString();
    }
    EXPECT_TRUE(d.ComboBox6->isTyping());
    d.ComboBox1->setText(QStringLiteral("运输工具"));
    EXPECT_EQ(d.ComboBox1->text(), QStringLiteral("运输工具"));
    d.ComboBox1->setText(QStringLiteral("不在列表中"));
    EXPECT_TRUE(d.ComboBox1->text().isEmpty());
}

TEST_F(ComprehensiveTest, ScrapBoxesExcludeEachOther) {
    TzhcxDlg d(*app, state);
    d.CheckBox4->setChecked(true);
    d.CheckBox4Click();
    EXPECT_FALSE(d.CheckBox7->isChecked());
    d.CheckBox7->setChecked(true);
    d.CheckBox7Click();
    EXPECT_FALSE(d.CheckBox4->isChecked());
    d.CheckBox7->setChecked(false);
    d.CheckBox7Click();
    EXPECT_FALSE(d.CheckBox4->isChecked());
    EXPECT_EQ(d.buildConditions(), kNoScrapDefaults);
}

TEST_F(ComprehensiveTest, FuzzyRulesOutDepartments) {
    TzhcxDlg d(*app, state);
    d.chooseStorage(Storage::ByDepartment);
    EXPECT_EQ(d.Label12->text(), QStringLiteral("部  门："));
    QTest::mouseClick(d.CheckBox6, Qt::LeftButton);
    EXPECT_FALSE(d.RadioButton4->isEnabled());
    EXPECT_EQ(d.storage(), Storage::All);
    EXPECT_FALSE(d.ComboBox3->isEnabled());
    QTest::mouseClick(d.CheckBox6, Qt::LeftButton);
    EXPECT_TRUE(d.RadioButton4->isEnabled());
}

TEST_F(ComprehensiveTest, RemarkTextTicksHasRemarks) {
    TzhcxDlg d(*app, state);
    d.Edit2->setText(QStringLiteral("   "));
    EXPECT_FALSE(d.CheckBox1->isChecked());
    d.Edit2->setText(QStringLiteral("保修"));
    EXPECT_TRUE(d.CheckBox1->isChecked());
    d.Edit2->clear();
    EXPECT_TRUE(d.CheckBox1->isChecked());
}

TEST_F(ComprehensiveTest, StorageRadiosSetThePlaceBox) {
    TzhcxDlg d(*app, state);
    d.chooseStorage(Storage::ByLocation);
    EXPECT_EQ(d.Label12->text(), QStringLiteral("位  置："));
    EXPECT_EQ(d.ComboBox3->entries(), places());
    EXPECT_TRUE(d.ComboBox3->isEnabled());
    EXPECT_TRUE(d.Label12->isEnabled());
    d.ComboBox3->setText(QStringLiteral("办公室"));
    d.chooseStorage(Storage::ByDepartment);
    EXPECT_EQ(d.ComboBox3->entries(), places(true));
    EXPECT_EQ(d.ComboBox3->text(), QStringLiteral("办公室"));  // a department too: kept
    d.chooseStorage(Storage::ByUser);
    EXPECT_EQ(d.Label12->text(), QStringLiteral("使用者："));
    EXPECT_EQ(d.ComboBox3->entries(), persons());
    EXPECT_TRUE(d.ComboBox3->text().isEmpty());
    d.ComboBox3->setText(QStringLiteral("张伟"));
    d.chooseStorage(Storage::ByCustodian);
    EXPECT_EQ(d.Label12->text(), QStringLiteral("保管人："));
    EXPECT_EQ(d.ComboBox3->text(), QStringLiteral("张伟"));
    d.chooseStorage(Storage::All);
    EXPECT_TRUE(d.ComboBox3->entries().isEmpty());
    EXPECT_TRUE(d.ComboBox3->text().isEmpty());
    EXPECT_FALSE(d.ComboBox3->isEnabled());
    EXPECT_FALSE(d.Label12->isEnabled());
}

TEST_F(ComprehensiveTest, LeavingTheCategoryNarrowsNamesAndUses) {
    TzhcxDlg d(*app, state);
    d.ComboBox2->setText(QStringLiteral("办公桌"));
    d.ComboBox5->setEntries({QString(), QStringLiteral("1.4米")});
    d.ComboBox5->setText(QStringLiteral("1.4米"));
    d.ComboBox4->setText(QStringLiteral("后勤"));
    d.ComboBox1->setText(QStringLiteral("计算机设备"));
    d.ComboBox1Exit();
    EXPECT_EQ(d.ComboBox2->entries(), withEmpty(namesOf(QStringLiteral("计算机设备"))));
    EXPECT_TRUE(d.ComboBox2->text().isEmpty());  // not a name of the category
    EXPECT_TRUE(d.ComboBox5->text().isEmpty());
    EXPECT_TRUE(d.ComboBox5->entries().isEmpty());
    EXPECT_EQ(d.ComboBox4->entries(), withEmpty(usesOf(QStringLiteral("计算机设备"))));
    EXPECT_TRUE(d.ComboBox4->text().isEmpty());  // 后勤 is no use of the category
    // A name of the category stays.
    d.ComboBox2->setText(QStringLiteral("打印机"));
    d.ComboBox1Exit();
    EXPECT_EQ(d.ComboBox2->text(), QStringLiteral("打印机"));
    // No category: every name again, the name stays.
    d.ComboBox1->setText(QString());
    d.ComboBox1Exit();
    EXPECT_EQ(d.ComboBox2->entries().size(), int(admin::demoDictionary().names.size()) + 1);
    EXPECT_EQ(d.ComboBox2->text(), QStringLiteral("打印机"));
}

TEST_F(ComprehensiveTest, LeavingTheNameChoosesItsStorageMode) {
    TzhcxDlg d(*app, state);
    d.ComboBox2->setText(QStringLiteral("打印机"));  // kept at a location
    d.ComboBox2Exit();
    EXPECT_EQ(d.storage(), Storage::ByLocation);
    EXPECT_EQ(d.Label12->text(), QStringLiteral("位  置："));
    EXPECT_EQ(d.ComboBox3->entries(), places());
    EXPECT_EQ(d.ComboBox5->entries(),
              (QStringList{QString(), QStringLiteral("惠普LaserJet Pro M404dn"),
                           QStringLiteral("佳能iC MF643Cdw")}));
    EXPECT_EQ(d.ComboBox4->entries(), withEmpty(usesOf(QStringLiteral("计算机设备"))));
    // A model of another name goes, and the place and use with it when not in their lists.
    d.ComboBox5->setText(QStringLiteral("ThinkPad E14"));
    d.ComboBox3->setText(QStringLiteral("办公室"));
    d.ComboBox4->setText(QStringLiteral("办公"));
    d.ComboBox2->setText(QStringLiteral("笔记本电脑"));  // held by a person
    d.ComboBox2Exit();
    EXPECT_EQ(d.storage(), Storage::ByUser);
    EXPECT_EQ(d.Label12->text(), QStringLiteral("使用者："));
    EXPECT_EQ(d.ComboBox3->entries(), persons());
    EXPECT_TRUE(d.ComboBox3->text().isEmpty());
    EXPECT_EQ(d.ComboBox5->text(), QStringLiteral("ThinkPad E14"));  // its own model stays
    EXPECT_EQ(d.ComboBox4->text(), QStringLiteral("办公"));
    d.ComboBox5->setText(QStringLiteral("不存在的型号"));
    d.ComboBox4->setText(QStringLiteral("会议"));
    d.ComboBox2Exit();
    EXPECT_TRUE(d.ComboBox5->text().isEmpty());
    EXPECT_TRUE(d.ComboBox4->text().isEmpty());
    // No name: back to 全部.
    d.ComboBox2->setText(QString());
    d.ComboBox2Exit();
    EXPECT_EQ(d.storage(), Storage::All);
}

TEST_F(ComprehensiveTest, OpeningListsRefillsThem) {
    TzhcxDlg d(*app, state);
    app->current->execute(
        QStringLiteral("insert into sortproc (sort,title,cz) values ('新类别','XL',5)"));
    d.ComboBox1->enter();
    d.ComboBox1->showPopup();
    EXPECT_TRUE(d.ComboBox1->entries().contains(QStringLiteral("新类别")));
    d.ComboBox1->hidePopup();
    d.ComboBox1->leave();
    // The name list shows every name when no category is given, else what it holds.
    d.ComboBox2->setEntries({QString(), QStringLiteral("只此一个")});
    d.ComboBox1->setText(QStringLiteral("计算机设备"));
    d.ComboBox2->enter();
    d.ComboBox2->showPopup();
    EXPECT_EQ(d.ComboBox2->entries(), (QStringList{QString(), QStringLiteral("只此一个")}));
    d.ComboBox2->hidePopup();
    d.ComboBox2->leave();
    d.ComboBox1->setText(QString());
    d.ComboBox2->enter();
    d.ComboBox2->showPopup();
    EXPECT_EQ(d.ComboBox2->entries().size(), int(admin::demoDictionary().names.size()) + 1);
    d.ComboBox2->hidePopup();
}

// ---- type-ahead ---------------------------------------------------------------------------------

TEST_F(ComprehensiveTest, TypingNarrowsTheList) {
    TzhcxDlg d(*app, state);
    query::QueryBox* box = d.ComboBox5;
    box->setEntries({QStringLiteral("abc"), QStringLiteral("abd"), QStringLiteral("x")});
    box->enter();
    auto type = [box](const QString& text) {
        box->keyPressed(text.right(1));
        box->setEditText(text);
    };
    type(QStringLiteral("ab"));
    EXPECT_EQ(box->entries(),
              (QStringList{QStringLiteral("ab"), QStringLiteral("abc"), QStringLiteral("abd")}));
    EXPECT_TRUE(box->isDroppedDown());
    type(QStringLiteral("abc"));
    EXPECT_EQ(box->entries(),
              (QStringList{QStringLiteral("abc"), QStringLiteral("abc"), QString()}));
    type(QStringLiteral("zz"));
    EXPECT_EQ(box->entries(), (QStringList{QStringLiteral("zz"), QString(), QString()}));
    type(QString());
    EXPECT_EQ(box->entries(),
              (QStringList{QStringLiteral("abc"), QStringLiteral("abd"), QStringLiteral("x")}));
    EXPECT_FALSE(box->isDroppedDown());
    // Prefixes are matched with case.
    type(QStringLiteral("AB"));
    EXPECT_EQ(box->entries(), (QStringList{QStringLiteral("AB"), QString(), QString()}));
    // A change the program makes narrows nothing.
    box->setText(QStringLiteral("a"));
    EXPECT_EQ(box->entries(), (QStringList{QStringLiteral("AB"), QString(), QString()}));
    // Opening the list by hand puts the full list back; leaving does too, trimmed.
    box->showPopup();
    EXPECT_EQ(box->entries().size(), 3);
    EXPECT_EQ(box->entries().last(), QStringLiteral("x"));
    box->hidePopup();
    type(QStringLiteral(" ab "));
    box->leave();
    EXPECT_EQ(box->entries(),
              (QStringList{QStringLiteral("abc"), QStringLiteral("abd"), QStringLiteral("x")}));
    EXPECT_EQ(box->text(), QStringLiteral("ab"));
}

TEST_F(ComprehensiveTest, KeysTypedIntoTheBoxes) {
    TzhcxDlg d(*app, state);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    query::QueryBox* box = d.ComboBox2;
    box->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QStringLiteral("办"), Qt::NoModifier);
    QTest::keyClick(box, '\'');
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QStringLiteral("公"), Qt::NoModifier);
    EXPECT_EQ(box->text(), QStringLiteral("办公"));
    const QStringList entries = box->entries();
    ASSERT_GE(entries.size(), 3);
    EXPECT_EQ(entries.first(), QStringLiteral("办公"));
    for (const QString& e : entries.mid(1)) {
        EXPECT_TRUE(e.isEmpty() || e.startsWith(QStringLiteral("办公"))) << e.toStdString();
    }
    EXPECT_TRUE(entries.contains(QStringLiteral("办公桌")));
    // Apostrophes stay out of the word boxes too.
    d.Edit1->setFocus();
    QTest::keyClicks(d.Edit1, QStringLiteral("i5'"));
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("i5"));
    d.reject();
}

// ---- building conditions ------------------------------------------------------------------------

TEST_F(ComprehensiveTest, DefaultsListEveryAssetNotScrapped) {
    TzhcxDlg d(*app, state);
    d.BitBtn1Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(state.queryText, reports::kAssetQuery + kDefaults);
    EXPECT_EQ(rowsFor(kDefaults), assetsWhere([](const auto& a) { return !a.ybf; }));
    EXPECT_GT(rowsFor(kDefaults), 300);
}

TEST_F(ComprehensiveTest, FuzzyCategory) {
    TzhcxDlg d(*app, state);
    d.ComboBox1->setText(QStringLiteral("电脑"));
    EXPECT_EQ(d.buildConditions(), QStringLiteral(" and zclb='电脑'") + kDefaults);
    d.CheckBox6->setChecked(true);
    d.CheckBox6Click();
    EXPECT_EQ(d.buildConditions(), QStringLiteral(" and zclb like '%电脑%'") + kDefaults);
    // On the demo register: part of a category, and the whole of it.
    d.ComboBox1->setText(QStringLiteral(" 计算机 "));
    const QString fuzzy = d.buildConditions();
    EXPECT_EQ(d.ComboBox1->text(), QStringLiteral("计算机"));  // trimmed and written back
    const int computers =
        assetsWhere([](const auto& a) { return a.zclb == QStringLiteral("计算机设备") && !a.ybf; });
    EXPECT_GT(computers, 50);
    EXPECT_EQ(rowsFor(fuzzy), computers);
    d.CheckBox6->setChecked(false);
    d.CheckBox6Click();
    d.ComboBox1->setText(QStringLiteral("计算机设备"));
    EXPECT_EQ(rowsFor(d.buildConditions()), computers);
}

TEST_F(ComprehensiveTest, ConfigurationWords) {
    TzhcxDlg d(*app, state);
    d.Edit1->setText(QStringLiteral(" 硬盘 + 声卡 "));
    EXPECT_EQ(d.buildConditions(),
              QStringLiteral(" and sbpz like '%硬盘%' and sbpz like '%声卡%'") + kDefaults);
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("硬盘 + 声卡"));
    d.Edit1->setText(QStringLiteral("i5+固态"));
    EXPECT_EQ(rowsFor(d.buildConditions()), assetsWhere([](const auto& a) {
                  return a.sbpz.contains(QStringLiteral("i5")) &&
                         a.sbpz.contains(QStringLiteral("固态")) && !a.ybf;
              }));
}

TEST_F(ComprehensiveTest, CustodianWithAndWithoutAPlace) {
    TzhcxDlg d(*app, state);
    d.chooseStorage(Storage::ByCustodian);
    // The custodian comes after the scrap condition.
    EXPECT_EQ(d.buildConditions(),
              QStringLiteral(" and not ybf and bgr='' and worp") + kNoScrapDefaults);
    const int unattended =
        assetsWhere([](const auto& a) { return a.bgr.isEmpty() && a.worp && !a.ybf; });
    EXPECT_GT(unattended, 0);
    EXPECT_EQ(rowsFor(d.buildConditions()), unattended);
    d.ComboBox3->setText(QStringLiteral("库管员"));
    EXPECT_EQ(d.buildConditions(),
              QStringLiteral(" and not ybf and bgr='库管员'") + kNoScrapDefaults);
    d.ComboBox3->setText(QStringLiteral("王建国"));
    EXPECT_EQ(rowsFor(d.buildConditions()), assetsWhere([](const auto& a) {
                  return a.bgr == QStringLiteral("王建国") && !a.ybf;
              }));
}

TEST_F(ComprehensiveTest, DepartmentWithItsPeople) {
    TzhcxDlg d(*app, state);
    d.chooseStorage(Storage::ByDepartment);
    d.ComboBox3->setText(QStringLiteral("办公室"));
    EXPECT_EQ(d.buildConditions(),
              kDefaults + QStringLiteral(" and (wz='办公室' or wz='王建国' or wz='李秀英' or "
                                         "wz='张伟' or wz='宋涛')"));
    const QStringList office{QStringLiteral("办公室"), QStringLiteral("王建国"),
                             QStringLiteral("李秀英"), QStringLiteral("张伟"),
                             QStringLiteral("宋涛")};
    const int expected =
        assetsWhere([&](const auto& a) { return office.contains(a.wz) && !a.ybf; });
    EXPECT_GT(expected, 0);
    EXPECT_EQ(rowsFor(d.buildConditions()), expected);
}

TEST_F(ComprehensiveTest, BothScrapBoxesUnticked) {
    TzhcxDlg d(*app, state);
    d.CheckBox7->setChecked(false);
    d.CheckBox7Click();
    EXPECT_EQ(d.buildConditions(), kNoScrapDefaults);
    EXPECT_EQ(rowsFor(d.buildConditions()), int(demo.assets.size()));
    d.CheckBox4->setChecked(true);
    d.CheckBox4Click();
    EXPECT_EQ(rowsFor(d.buildConditions()), assetsWhere([](const auto& a) { return a.ybf; }));
}

TEST_F(ComprehensiveTest, FlagsPlacesPricesAndDatesOnTheDemoRegister) {
    TzhcxDlg d(*app, state);
    d.CheckBox7->setChecked(false);
    d.CheckBox2->setChecked(true);
    EXPECT_EQ(rowsFor(d.buildConditions()), assetsWhere([](const auto& a) { return a.wx; }));
    d.CheckBox2->setChecked(false);
    d.CheckBox3->setChecked(true);
    EXPECT_EQ(rowsFor(d.buildConditions()), assetsWhere([](const auto& a) { return a.yjc; }));
    d.CheckBox3->setChecked(false);
    d.CheckBox1->setChecked(true);
    EXPECT_EQ(rowsFor(d.buildConditions()),
              assetsWhere([](const auto& a) { return !a.other.trimmed().isEmpty(); }));
    d.CheckBox1->setChecked(false);
    d.chooseStorage(Storage::ByLocation);
    d.ComboBox3->setText(QStringLiteral("档案室"));
    EXPECT_EQ(rowsFor(d.buildConditions()), assetsWhere([](const auto& a) {
                  return a.wz == QStringLiteral("档案室") && a.worp;
              }));
    d.chooseStorage(Storage::ByUser);
    EXPECT_EQ(rowsFor(d.buildConditions()), assetsWhere([](const auto& a) { return !a.worp; }));
    d.chooseStorage(Storage::All);
    d.CSpinEdit1->setValue(1000);
    d.CSpinEdit5->setValue(5000);
    d.DateTimePicker1->setDate(QDate(2018, 1, 1));
    d.DateTimePicker2->setDate(QDate(2021, 12, 31));
    EXPECT_EQ(rowsFor(d.buildConditions()), assetsWhere([](const auto& a) {
                  return a.gmjg >= 1000 && a.gmjg <= 5000 && a.gmrq >= QDate(2018, 1, 1) &&
                         a.gmrq <= QDate(2021, 12, 31);
              }));
}

TEST_F(ComprehensiveTest, PastServiceLife) {
    TzhcxDlg d(*app, state);
    d.CheckBox7->setChecked(false);
    d.CheckBox5->setChecked(true);
    QHash<QString, int> months;
    for (const auto& l : admin::demoDictionary().lives) months.insert(l.qx, l.yue);
    const QDate now = today();
    const int expected = assetsWhere([&](const auto& a) {
        const int used = (now.year() - a.gmrq.year()) * 12 + now.month() - a.gmrq.month();
        return used > months.value(a.bxq);
    });
    EXPECT_GT(expected, 0);
    EXPECT_EQ(rowsFor(d.buildConditions()), expected);
}

TEST_F(ComprehensiveTest, PastedApostrophesReachTheStatementSafely) {
    TzhcxDlg d(*app, state);
    d.ComboBox1->setText(QStringLiteral("计算机设备' or '1'='1"));
    d.Edit2->setText(QStringLiteral("O'Neil"));
    const QString conditions = d.buildConditions();
    EXPECT_TRUE(conditions.startsWith(QStringLiteral(" and zclb='计算机设备'' or ''1''=''1'")));
    EXPECT_TRUE(conditions.endsWith(QStringLiteral(" and other like '%O''Neil%'")));
    EXPECT_EQ(rowsFor(conditions), 0);
}

// ---- the commands
// --------------------------------------------------------------------------------

TEST_F(ComprehensiveTest, QueryThenPick) {
    ModalScript modals;
    int expected = 0;
    int pickedId = 0;
    modals.then<TzhcxDlg>([](TzhcxDlg& d) {
        d.ComboBox1->setText(QStringLiteral("运输工具"));
        d.CheckBox7->setChecked(false);
        d.BitBtn1Click();
        return d.result();
    });
    modals.then<query::TcxjgDlg1>([&](query::TcxjgDlg1& w) {
        expected = assetsWhere([](const auto& a) { return a.zclb == QStringLiteral("运输工具"); });
        EXPECT_EQ(w.model().rowCount(), expected);
        w.selectRows({1});
        pickedId = int(w.table().integer(1, w.table().fieldIndex(QStringLiteral("ID1"))));
        w.DBGrid1DblClick();
        return w.result();
    });
    state.pickedSerial = 0;
    const int shown = query::runComprehensiveQuery(nullptr, *app, state);
    EXPECT_GT(expected, 1);
    EXPECT_EQ(shown, pickedId);
    EXPECT_EQ(state.kind, query::ResultKind::AssetQuery);
    EXPECT_EQ(state.orderText, QStringLiteral(" order by ID1 asc"));
    EXPECT_EQ(state.rememberedRow, 2);
}

TEST_F(ComprehensiveTest, CancelThenRedoListsEveryAsset) {
    state.orderText = QStringLiteral(" order by gmjg desc");
    ModalScript modals;
    modals.then<TzhcxDlg>([](TzhcxDlg& d) {
        d.ComboBox1->setText(QStringLiteral("运输工具"));
        d.reject();
        return d.result();
    });
    modals.then<query::TcxjgDlg1>([&](query::TcxjgDlg1& w) {
        // Scrapped ones included, in the last order used.
        EXPECT_EQ(w.model().rowCount(), int(demo.assets.size()));
        const int price = w.table().fieldIndex(QStringLiteral("gmjg"));
        EXPECT_GE(w.table().number(0, price), w.table().number(1, price));
        w.BitBtn1Click();
        return w.result();
    });
    EXPECT_EQ(query::runComprehensiveQuery(nullptr, *app, state), 0);
    EXPECT_EQ(state.queryText, reports::kAssetQuery);
    query::redoLastQuery(nullptr, *app, state);
}

TEST_F(ComprehensiveTest, LogicalQueryTakesOver) {
    ModalScript modals;
    modals.then<TzhcxDlg>([](TzhcxDlg& d) {
        d.ComboBox1->setText(QStringLiteral("运输工具"));  // left behind with this dialog
        d.BitBtn3Click();
        return d.result();
    });
    modals.then<query::TljcxDlg>([](query::TljcxDlg& l) {
        l.chooseField(1, QStringLiteral("资产类别"));
        l.chooseOperator(1, QStringLiteral("="));
        l.valueBox(1)->setText(QStringLiteral("房屋建筑"));
        l.BitBtn1Click();
        return l.result();
    });
    modals.then<query::TcxjgDlg1>([&](query::TcxjgDlg1& w) {
        EXPECT_EQ(w.model().rowCount(),
                  assetsWhere([](const auto& a) { return a.zclb == QStringLiteral("房屋建筑"); }));
        w.BitBtn1Click();
        return w.result();
    });
    query::runComprehensiveQuery(nullptr, *app, state);
    EXPECT_EQ(state.queryText, reports::kAssetQuery + QStringLiteral(" and (zclb='房屋建筑')"));
}

TEST_F(ComprehensiveTest, CancelledLogicalQueryShowsNothing) {
    ModalScript modals;
    modals.then<TzhcxDlg>([](TzhcxDlg& d) {
        d.BitBtn3Click();
        return d.result();
    });
    modals.then<query::TljcxDlg>([](query::TljcxDlg& l) {
        l.chooseField(1, QStringLiteral("资产类别"));
        l.reject();
        return l.result();
    });
    EXPECT_EQ(query::runComprehensiveQuery(nullptr, *app, state), 0);
    EXPECT_EQ(state.queryText, reports::kAssetQuery);
}

TEST_F(ComprehensiveTest, ShowAllListsEveryAssetInSerialOrder) {
    ModalScript modals;
    modals.then<query::TcxjgDlg1>([&](query::TcxjgDlg1& w) {
        EXPECT_EQ(w.model().rowCount(), int(demo.assets.size()));
        const int id = w.table().fieldIndex(QStringLiteral("ID1"));
        EXPECT_LT(w.table().integer(0, id), w.table().integer(1, id));
        w.BitBtn1Click();
        return w.result();
    });
    state.queryText = QStringLiteral("select * from sbjl where ID1=-1");
    state.orderText = QStringLiteral(" order by gmjg desc");
    query::showAllAssets(nullptr, *app, state);
    EXPECT_EQ(state.queryText, reports::kAssetQuery);
    EXPECT_EQ(state.orderText, QStringLiteral(" order by ID1 asc"));
}

}  // namespace
}  // namespace fx::test
