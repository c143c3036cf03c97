#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

#include "connection.h"
#include "dictionaryfixture.h"
#include "maintenance.h"
#include "prefixedit.h"
#include "scripts.h"
#include "tsjzdwh.h"

namespace {

using fx::dictionary::Tsjzdwh;
using fx::test::ModalScript;
using fx::test::PromptScript;
using Mode = Tsjzdwh::Mode;

const QString kTip = QStringLiteral("提示");
const QString kSelected = QStringLiteral("111001");  // 修改 增加 删除 保存 放弃 退出
const QString kFixed = QStringLiteral("010001");
const QString kEditing = QStringLiteral("000110");

QString enabledButtons(const Tsjzdwh& w) {
    QString s;
    for (const QPushButton* b : {w.BitBtn1, w.BitBtn2, w.BitBtn3, w.BitBtn4, w.BitBtn5, w.BitBtn6})
        s += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

QStringList childTexts(const QTreeWidgetItem* node) {
    QStringList texts;
    for (int i = 0; node && i < node->childCount(); ++i) texts << node->child(i)->text(0);
    return texts;
}

class Maintenance : public fx::test::DictionaryOnBothEngines {
protected:
    // Selects the node at a path below the root; fails the test when it is missing.
    QTreeWidgetItem* select(Tsjzdwh& w, const QStringList& path) {
        QTreeWidgetItem* n = w.node(path);
        EXPECT_NE(n, nullptr) << path.join(QLatin1Char('/')).toStdString();
        if (n) w.selectNode(n);
        return n;
    }
};
INSTANTIATE_TEST_SUITE_P(Engines, Maintenance, fx::test::bothEngines(), fx::test::engineName);

TEST_P(Maintenance, BuildsTheTreeWithItsFixedNodes) {
    Tsjzdwh w(state());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("数据字典维护 "));
    EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
    QTreeWidgetItem* root = w.TreeView1->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), QStringLiteral("[数据字典]"));
    EXPECT_EQ(childTexts(root),
              (QStringList{QStringLiteral("[资产类别]"), QStringLiteral("[存放]"),
                           QStringLiteral("[使用年限]"), QStringLiteral("[来源方式]")}));
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[资产类别]")})),
              (QStringList{QStringLiteral("电脑"), QStringLiteral("家具")}));
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[资产类别]"), QStringLiteral("电脑")})),
              (QStringList{QStringLiteral("[名称]"), QStringLiteral("[用途]")}));
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[资产类别]"), QStringLiteral("电脑"),
                                 QStringLiteral("[名称]")})),
              (QStringList{QStringLiteral("台式机"), QStringLiteral("笔记本")}));
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[资产类别]"), QStringLiteral("电脑"),
                                 QStringLiteral("[名称]"), QStringLiteral("台式机"),
                                 QStringLiteral("[型号]")})),
              (QStringList{QStringLiteral("D1"), QStringLiteral("D2")}));
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[资产类别]"), QStringLiteral("家具"),
                                 QStringLiteral("[用途]")})),
              QStringList{QStringLiteral("会议")});
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[存放]")})),
              (QStringList{QStringLiteral("[位置]"), QStringLiteral("[使用者]")}));
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[存放]"), QStringLiteral("[位置]")})),
              (QStringList{QStringLiteral("财务科"), QStringLiteral("仓库")}));
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[存放]"), QStringLiteral("[使用者]")})),
              (QStringList{QStringLiteral("未分配"), QStringLiteral("张三")}));
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[使用年限]")})),
              QStringList{QStringLiteral("五年")});
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[来源方式]")})),
              QStringList{QStringLiteral("购置")});
}

TEST_P(Maintenance, AFixedNodeOffersOnlyAddAndClose) {
    Tsjzdwh w(state());
    select(w, {QStringLiteral("[存放]"), QStringLiteral("[使用者]")});
    EXPECT_EQ(w.Label2->text(), QStringLiteral("[使用者]为系统固有节点"));
    EXPECT_EQ(enabledButtons(w), kFixed);
    EXPECT_TRUE(w.Edit1->isHidden());
    EXPECT_TRUE(w.ComboBox1->isHidden());
    EXPECT_TRUE(w.Edit2->isHidden());
    EXPECT_TRUE(w.CSpinEdit1->isHidden());
    EXPECT_TRUE(w.Edit3->isHidden());
    EXPECT_TRUE(w.Label5->isHidden());
}

TEST_P(Maintenance, AnItemShowsTheAttributesOfItsKind) {
    Tsjzdwh w(state());
    select(w, {QStringLiteral("[资产类别]"), QStringLiteral("电脑")});
    EXPECT_EQ(enabledButtons(w), kSelected);
    EXPECT_EQ(w.Label1->text(), QStringLiteral("[资产类别]"));
    EXPECT_EQ(w.Edit1->text(), QStringLiteral("电脑"));
    EXPECT_TRUE(w.Edit1->isReadOnly());
    EXPECT_EQ(w.Label2->text(), QStringLiteral("该类别的预计净残值率为"));
    EXPECT_EQ(w.CSpinEdit1->value(), 5);
    EXPECT_EQ(w.Label3->text(), QStringLiteral("％"));
    EXPECT_EQ(w.Edit3->text(), QStringLiteral("AB"));
    EXPECT_FALSE(w.Edit3->isHidden());
    EXPECT_TRUE(w.ComboBox1->isHidden());

    select(w, {QStringLiteral("[资产类别]"), QStringLiteral("电脑"), QStringLiteral("[名称]"),
               QStringLiteral("笔记本")});
    EXPECT_EQ(w.Label2->text(), QStringLiteral("这种固定资产的存放方式为"));
    EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("按使用者"));
    EXPECT_FALSE(w.ComboBox1->isEnabled());
    EXPECT_EQ(w.Edit3->text(), QStringLiteral("XY"));
    EXPECT_TRUE(w.CSpinEdit1->isHidden());

    select(w, {QStringLiteral("[资产类别]"), QStringLiteral("电脑"), QStringLiteral("[名称]"),
               QStringLiteral("台式机"), QStringLiteral("[型号]"), QStringLiteral("D1")});
    EXPECT_EQ(w.Label2->text(), QStringLiteral("该型号的具体配置为"));
    EXPECT_EQ(w.Edit2->text(), QStringLiteral("i5 8G"));
    EXPECT_TRUE(w.Edit3->isHidden());

    select(w, {QStringLiteral("[存放]"), QStringLiteral("[使用者]"), QStringLiteral("张三")});
    EXPECT_EQ(w.Label2->text(), QStringLiteral("属于部门："));
    EXPECT_EQ(w.ComboBox1->count(), 1);
    EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("财务科"));

    select(w, {QStringLiteral("[存放]"), QStringLiteral("[位置]"), QStringLiteral("仓库")});
    EXPECT_EQ(w.Label2->text(), QStringLiteral("位置属性："));
    EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("不是部门名称"));

    select(w, {QStringLiteral("[使用年限]"), QStringLiteral("五年")});
    EXPECT_EQ(w.Label2->text(), QStringLiteral("相当于："));
    EXPECT_EQ(w.CSpinEdit1->value(), 60);
    EXPECT_EQ(w.Label3->text(), QStringLiteral("个月"));

    select(w, {QStringLiteral("[来源方式]"), QStringLiteral("购置")});
    EXPECT_TRUE(w.Label2->isHidden());
    EXPECT_TRUE(w.ComboBox1->isHidden());
    EXPECT_TRUE(w.CSpinEdit1->isHidden());
    EXPECT_EQ(enabledButtons(w), kSelected);
}

TEST_P(Maintenance, ModifyingShowsTheNoteAndTheHintOfTheKind) {
    Tsjzdwh w(state());
    select(w, {QStringLiteral("[资产类别]"), QStringLiteral("电脑"), QStringLiteral("[名称]"),
               QStringLiteral("台式机")});
    w.BitBtn1Click();
    EXPECT_EQ(w.mode(), Mode::Modify);
    EXPECT_EQ(enabledButtons(w), kEditing);
    EXPECT_FALSE(w.Label5->isHidden());
    EXPECT_FALSE(w.Edit1->isReadOnly());
    EXPECT_TRUE(w.ComboBox1->isEnabled());
    EXPECT_TRUE(w.Label6->text().startsWith(QStringLiteral("假设资产表中已存在该名称的资产")));
    w.BitBtn5Click();
    select(w, {QStringLiteral("[使用年限]"), QStringLiteral("五年")});
    w.BitBtn1Click();
    EXPECT_EQ(w.Label6->text(),
              QStringLiteral("请注意月份数目要与实际的称呼相符，以保证折旧的计算。"));
    w.BitBtn5Click();
    select(w, {QStringLiteral("[资产类别]"), QStringLiteral("电脑")});
    w.BitBtn1Click();
    EXPECT_EQ(w.Label6->text(), QStringLiteral("如果是低值易耗品，可填残值率为0％，进行按月摊销；"
                                               "如果不计折旧，可填残值率为100％。"));
    // Cancelling restores the text and leaves the database alone.
    w.Edit1->setText(QStringLiteral("别的"));
    w.BitBtn5Click();
    EXPECT_EQ(w.mode(), Mode::None);
    EXPECT_EQ(w.Edit1->text(), QStringLiteral("电脑"));
    EXPECT_TRUE(w.Label6->text().isEmpty());
    EXPECT_TRUE(w.Label5->isHidden());
    EXPECT_EQ(enabledButtons(w), kSelected);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortproc WHERE sort='别的'")), 0);
}

TEST_P(Maintenance, RenamingACategoryReachesItsAssetsAndTheTree) {
    addAsset(QStringLiteral("电脑"), QStringLiteral("台式机"), QStringLiteral("财务科"));
    Tsjzdwh w(state());
    QTreeWidgetItem* n = select(w, {QStringLiteral("[资产类别]"), QStringLiteral("电脑")});
    w.BitBtn1Click();
    w.Edit1->setText(QStringLiteral(" 计算机 "));
    w.Edit3->setText(QStringLiteral("CD"));
    w.BitBtn4Click();
    EXPECT_EQ(w.mode(), Mode::None);
    EXPECT_TRUE(w.changed());
    EXPECT_EQ(n->text(0), QStringLiteral("计算机"));
    EXPECT_EQ(w.Edit1->text(), QStringLiteral("计算机"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sbjl WHERE zclb='计算机'")), 1);
    EXPECT_EQ(text(QStringLiteral("SELECT bht FROM sortb WHERE name='台式机'")),
              QStringLiteral("CD"));
    EXPECT_EQ(text(QStringLiteral("SELECT bht FROM sortb WHERE name='笔记本'")),
              QStringLiteral("XY"));
}

TEST_P(Maintenance, ARefusalKeepsTheEditOpen) {
    Tsjzdwh w(state());
    select(w, {QStringLiteral("[资产类别]"), QStringLiteral("电脑")});
    w.BitBtn1Click();
    w.Edit3->clear();
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("缺省编号头不能为空！"));
        w.BitBtn4Click();
    }
    EXPECT_EQ(w.mode(), Mode::Modify);
    EXPECT_EQ(enabledButtons(w), kEditing);
    w.Edit3->setText(QStringLiteral("ZZ"));
    w.BitBtn4Click();
    EXPECT_EQ(w.mode(), Mode::None);
    EXPECT_EQ(text(QStringLiteral("SELECT title FROM sortproc WHERE sort='电脑'")),
              QStringLiteral("ZZ"));
}

TEST_P(Maintenance, AnEngineRefusalShowsItsMessageAndRollsTheSaveBack) {
    addAsset(QStringLiteral("电脑"), QStringLiteral("台式机"), QStringLiteral("财务科"));
    refuseCategoryChanges();
    Tsjzdwh w(state());
    QTreeWidgetItem* n = select(w, {QStringLiteral("[资产类别]"), QStringLiteral("电脑")});
    w.BitBtn1Click();
    w.Edit1->setText(QStringLiteral("计算机"));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("警告"), QStringLiteral("asset locked"));
        w.BitBtn4Click();
    }
    EXPECT_EQ(w.mode(), Mode::Modify);
    EXPECT_EQ(n->text(0), QStringLiteral("电脑"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortproc WHERE sort='电脑'")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortb WHERE sort='电脑'")), 2);
    EXPECT_FALSE(w.changed());
}

TEST_P(Maintenance, SwitchingANameToUsersMovesItsAssetsToUnassigned) {
    const qint64 a =
        addAsset(QStringLiteral("电脑"), QStringLiteral("台式机"), QStringLiteral("财务科"));
    Tsjzdwh w(state());
    select(w, {QStringLiteral("[资产类别]"), QStringLiteral("电脑"), QStringLiteral("[名称]"),
               QStringLiteral("台式机")});
    w.BitBtn1Click();
    w.ComboBox1->setCurrentIndex(w.ComboBox1->findText(QStringLiteral("按使用者")));
    w.BitBtn4Click();
    EXPECT_EQ(text(QStringLiteral("SELECT wz||'/'||worp FROM sbjl WHERE ID1=%1").arg(a)),
              QStringLiteral("未分配/0"));
    run(QStringLiteral("UPDATE sbjl SET wz='张三' WHERE ID1=%1").arg(a));
    w.BitBtn1Click();
    EXPECT_EQ(w.ComboBox1->currentText(), QStringLiteral("按使用者"));
    w.ComboBox1->setCurrentIndex(w.ComboBox1->findText(QStringLiteral("按存放地点")));
    w.BitBtn4Click();
    EXPECT_EQ(text(QStringLiteral("SELECT wz||'/'||worp FROM sbjl WHERE ID1=%1").arg(a)),
              QStringLiteral("张三/1"));
}

TEST_P(Maintenance, TheUnassignedPersonIsNeitherModifiedNorDeleted) {
    Tsjzdwh w(state());
    QTreeWidgetItem* n =
        select(w, {QStringLiteral("[存放]"), QStringLiteral("[使用者]"), QStringLiteral("未分配")});
    w.BitBtn1Click();
    w.Edit1->setText(QStringLiteral("某人"));
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("该项为数据字典固有项目，不能修改该字典项。"));
        w.BitBtn4Click();
    }
    w.BitBtn5Click();
    w.BitBtn3Click();
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("该项为数据字典固有项目，不能删除该字典项。"));
        w.BitBtn4Click();
    }
    w.BitBtn5Click();
    EXPECT_EQ(n->text(0), QStringLiteral("未分配"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM person WHERE pname='未分配'")), 1);
}

TEST_P(Maintenance, AddingUnderAnEmptyModelNodeMakesAnEmptyChildThatCancelRemoves) {
    Tsjzdwh w(state());
    const QStringList models{QStringLiteral("[资产类别]"), QStringLiteral("电脑"),
                             QStringLiteral("[名称]"), QStringLiteral("笔记本"),
                             QStringLiteral("[型号]")};
    QTreeWidgetItem* node = select(w, models);
    EXPECT_EQ(enabledButtons(w), kFixed);
    w.BitBtn2Click();
    EXPECT_EQ(w.mode(), Mode::Add);
    ASSERT_EQ(node->childCount(), 1);
    EXPECT_EQ(w.currentNode(), node->child(0));
    EXPECT_TRUE(node->child(0)->text(0).isEmpty());
    EXPECT_EQ(enabledButtons(w), kEditing);
    EXPECT_FALSE(w.Edit1->isReadOnly());
    EXPECT_FALSE(w.Edit2->isHidden());
    w.BitBtn5Click();
    EXPECT_EQ(node->childCount(), 0);
    EXPECT_EQ(w.currentNode(), node);
    EXPECT_EQ(enabledButtons(w), kFixed);

    // Saved, the empty child takes the model's text.
    select(w, models);
    w.BitBtn2Click();
    w.Edit1->setText(QStringLiteral("T480"));
    w.Edit2->setText(QStringLiteral("i7"));
    w.BitBtn4Click();
    EXPECT_EQ(childTexts(node), QStringList{QStringLiteral("T480")});
    EXPECT_EQ(text(QStringLiteral("SELECT sbmc||'/'||sbpz FROM xhpz WHERE sbxh='T480'")),
              QStringLiteral("笔记本/i7"));
}

TEST_P(Maintenance, SelectingAnotherNodeAbandonsTheAddition) {
    Tsjzdwh w(state());
    QTreeWidgetItem* node =
        select(w, {QStringLiteral("[资产类别]"), QStringLiteral("电脑"), QStringLiteral("[名称]"),
                   QStringLiteral("笔记本"), QStringLiteral("[型号]")});
    w.BitBtn2Click();
    select(w, {QStringLiteral("[来源方式]"), QStringLiteral("购置")});
    EXPECT_EQ(w.mode(), Mode::None);
    EXPECT_EQ(node->childCount(), 0);
    EXPECT_EQ(enabledButtons(w), kSelected);
}

TEST_P(Maintenance, AddingACategoryAndANameGivesThemTheirFixedChildren) {
    Tsjzdwh w(state());
    select(w, {QStringLiteral("[资产类别]")});
    w.BitBtn2Click();
    // The first category stands for the new one's place.
    EXPECT_EQ(w.currentNode()->text(0), QStringLiteral("电脑"));
    EXPECT_EQ(w.CSpinEdit1->value(), 0);
    EXPECT_TRUE(w.Edit1->text().isEmpty());
    w.Edit1->setText(QStringLiteral("车辆"));
    w.CSpinEdit1->setValue(10);
    w.Edit3->setText(QStringLiteral("cl"));
    w.BitBtn4Click();
    EXPECT_EQ(w.mode(), Mode::None);
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[资产类别]")})).last(), QStringLiteral("车辆"));
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[资产类别]"), QStringLiteral("车辆")})),
              (QStringList{QStringLiteral("[名称]"), QStringLiteral("[用途]")}));
    EXPECT_EQ(text(QStringLiteral("SELECT title||'/'||cz FROM sortproc WHERE sort='车辆'")),
              QStringLiteral("CL/10"));

    // A name's prefix starts as its category's.
    select(w, {QStringLiteral("[资产类别]"), QStringLiteral("车辆"), QStringLiteral("[名称]")});
    w.BitBtn2Click();
    EXPECT_EQ(w.Edit3->text(), QStringLiteral("CL"));
    w.Edit1->setText(QStringLiteral("轿车"));
    w.BitBtn4Click();
    EXPECT_EQ(childTexts(w.node({QStringLiteral("[资产类别]"), QStringLiteral("车辆"),
                                 QStringLiteral("[名称]"), QStringLiteral("轿车")})),
              QStringList{QStringLiteral("[型号]")});
    EXPECT_EQ(
        text(QStringLiteral("SELECT sort||'/'||bht||'/'||wzorgr FROM sortb WHERE name='轿车'")),
        QStringLiteral("车辆/CL/1"));
}

TEST_P(Maintenance, AddingATakenNameIsRefusedAndStaysOpen) {
    Tsjzdwh w(state());
    QTreeWidgetItem* names = select(w, {QStringLiteral("[资产类别]"), QStringLiteral("家具"),
                                        QStringLiteral("[名称]"), QStringLiteral("桌子")});
    w.BitBtn2Click();
    w.Edit1->setText(QStringLiteral("台式机"));
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("该名称已经包含在数据字典中，不能重复加入。"));
        w.BitBtn4Click();
    }
    EXPECT_EQ(w.mode(), Mode::Add);
    EXPECT_EQ(childTexts(names->parent()), QStringList{QStringLiteral("桌子")});
}

TEST_P(Maintenance, DeletingAnUnusedCategoryRemovesItsSubtree) {
    Tsjzdwh w(state());
    select(w, {QStringLiteral("[资产类别]"), QStringLiteral("电脑")});
    w.BitBtn3Click();
    EXPECT_EQ(w.mode(), Mode::Delete);
    EXPECT_EQ(enabledButtons(w), kEditing);
    // Nothing goes before "保存".
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortproc WHERE sort='电脑'")), 1);
    w.BitBtn4Click();
    EXPECT_EQ(w.node({QStringLiteral("[资产类别]"), QStringLiteral("电脑")}), nullptr);
    EXPECT_EQ(w.currentNode()->text(0), QStringLiteral("[资产类别]"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM xhpz WHERE sbmc='台式机'")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortb WHERE sort='电脑'")), 0);
}

TEST_P(Maintenance, DeletingAUsedPlaceIsRefusedWithAWarning) {
    addAsset(QStringLiteral("电脑"), QStringLiteral("台式机"), QStringLiteral("仓库"));
    Tsjzdwh w(state());
    select(w, {QStringLiteral("[存放]"), QStringLiteral("[位置]"), QStringLiteral("仓库")});
    w.BitBtn3Click();
    PromptScript prompts;
    prompts.expect(
        kTip, QStringLiteral("该数据库中已经含有该位置的固定资产，因此现在不能删除该字典项。"));
    w.BitBtn4Click();
    EXPECT_EQ(w.mode(), Mode::Delete);
    EXPECT_NE(w.node({QStringLiteral("[存放]"), QStringLiteral("[位置]"), QStringLiteral("仓库")}),
              nullptr);
}

TEST_P(Maintenance, EscapeAndCloseWaitForTheEditToEnd) {
    Tsjzdwh w(state());
    w.show();
    select(w, {QStringLiteral("[来源方式]"), QStringLiteral("购置")});
    w.BitBtn1Click();
    w.reject();
    EXPECT_TRUE(w.isVisible());
    w.BitBtn5Click();
    w.BitBtn6Click();
    EXPECT_FALSE(w.isVisible());
}

TEST_P(Maintenance, ColourFollowsTheThemeEachTimeItOpens) {
    Tsjzdwh w(state());
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(225, 206, 255));
    state().theme = fx::Theme::Blue;
    w.reload();
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(193, 218, 238));
    state().theme = fx::Theme::Colourful;
    w.reload();
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(225, 206, 255));
}

TEST_P(Maintenance, OpeningReadsItemsAddedSinceAndReportsChanges) {
    Tsjzdwh first(state());
    run(QStringLiteral("INSERT INTO lyfs (ly) VALUES ('捐赠')"));
    ModalScript dialogs;
    dialogs.then<Tsjzdwh>([](Tsjzdwh& w) {
        EXPECT_EQ(childTexts(w.node({QStringLiteral("[来源方式]")})),
                  (QStringList{QStringLiteral("购置"), QStringLiteral("捐赠")}));
        w.BitBtn6Click();
        return w.result();
    });
    dialogs.then<Tsjzdwh>([](Tsjzdwh& w) {
        w.selectNode(w.node({QStringLiteral("[来源方式]"), QStringLiteral("捐赠")}));
        w.BitBtn3Click();
        w.BitBtn4Click();
        w.BitBtn6Click();
        return w.result();
    });
    EXPECT_FALSE(fx::dictionary::openMaintenance(nullptr, state()));
    EXPECT_TRUE(fx::dictionary::openMaintenance(nullptr, state()));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM lyfs WHERE ly='捐赠'")), 0);
}

}  // namespace
