#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>

#include "editfixture.h"
#include "prefixedit.h"
#include "scripts.h"
#include "tsjzdwh.h"

namespace fx::test {
namespace {

using dictionary::Tsjzdwh;

QStringList entries(const QComboBox* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i) result << list->itemText(i);
    return result;
}

using DictionaryCommandTest = EditTest;

// Opens "数据字典维护" as open does and runs one edit in the window: the node at path, "修改",
// change, "保存", "退出".
void maintain(const std::function<void()>& open, const QStringList& path,
              const std::function<void(Tsjzdwh&)>& change) {
    ModalScript dialogs;
    dialogs.then<Tsjzdwh>([&](Tsjzdwh& w) {
        QTreeWidgetItem* node = w.node(path);
        EXPECT_NE(node, nullptr) << path.join(QLatin1Char('/')).toStdString();
        if (!node) return int(QDialog::Rejected);
        w.selectNode(node);
        w.BitBtn1Click();
        change(w);
        w.BitBtn4Click();
        EXPECT_EQ(w.mode(), Tsjzdwh::Mode::None);
        w.BitBtn6Click();
        return w.result();
    });
    open();
    EXPECT_TRUE(dialogs.done());
}

TEST_F(DictionaryCommandTest, MenuKeyAndToolButtonOpenTheMaintenanceWindow) {
    start();
    ASSERT_TRUE(form->isBound(form->N16));
    EXPECT_TRUE(form->N16->isEnabled());
    EXPECT_TRUE(form->ToolButton13->isEnabled());
    ModalScript dialogs;
    int opened = 0;
    for (int i = 0; i < 2; ++i) {
        dialogs.then<Tsjzdwh>([&opened](Tsjzdwh& w) {
            ++opened;
            // Read afresh: the card's dictionary is all there.
            EXPECT_NE(w.node({QStringLiteral("[资产类别]"), QStringLiteral("电子设备"),
                              QStringLiteral("[名称]"), QStringLiteral("打印机")}),
                      nullptr);
            w.BitBtn6Click();
            return w.result();
        });
    }
    form->N16->trigger();
    form->ToolButton13->click();
    EXPECT_EQ(opened, 2);
}

TEST_F(DictionaryCommandTest, ACategoryRenamedThereReachesTheCardAndItsLists) {
    const int serial = addAsset(QStringLiteral("DN-"), 1);
    start();
    show(serial);
    maintain([this] { form->N16->trigger(); },
             {QStringLiteral("[资产类别]"), QStringLiteral("电子设备")},
             [](Tsjzdwh& w) { w.Edit1->setText(QStringLiteral("计算机")); });
    EXPECT_EQ(form->DBComboBox1->currentText(), QStringLiteral("计算机"));
    EXPECT_TRUE(entries(form->DBComboBox1).contains(QStringLiteral("计算机")));
    EXPECT_FALSE(entries(form->DBComboBox1).contains(QStringLiteral("电子设备")));
    // The lists of the category and the name on the card are read for the new name.
    EXPECT_EQ(entries(form->DBComboBox2),
              (QStringList{QStringLiteral("电脑"), QStringLiteral("打印机")}));
    EXPECT_EQ(entries(form->DBComboBox4),
              (QStringList{QStringLiteral("办公"), QStringLiteral("教学")}));
    EXPECT_EQ(form->DBComboBox2->currentText(), QStringLiteral("电脑"));
    EXPECT_EQ(form->shownSerial(), serial);
    // A new card of the category finds it.
    form->Add1->trigger();
    choose(form->DBComboBox1, QStringLiteral("计算机"));
    form->DBComboBox1Exit();
    EXPECT_EQ(entries(form->DBComboBox2),
              (QStringList{QStringLiteral("电脑"), QStringLiteral("打印机")}));
    form->Cancel1->trigger();
}

TEST_F(DictionaryCommandTest, ANameSwitchedToUsersAndBack) {
    const int serial = addAsset(QStringLiteral("DN-"), 1);
    start();
    show(serial);
    const QStringList name = {QStringLiteral("[资产类别]"), QStringLiteral("电子设备"),
                              QStringLiteral("[名称]"), QStringLiteral("电脑")};
    maintain([this] { form->N16->trigger(); }, name,
             [](Tsjzdwh& w) {
                 w.ComboBox1->setCurrentIndex(w.ComboBox1->findText(QStringLiteral("按使用者")));
             });
    EXPECT_EQ(field(serial, QStringLiteral("wz")), QStringLiteral("未分配"));
    EXPECT_EQ(field(serial, QStringLiteral("worp")), QStringLiteral("false"));
    EXPECT_EQ(form->Label7->text(), QStringLiteral("使用者："));
    EXPECT_EQ(form->DBComboBox3->currentText(), QStringLiteral("未分配"));
    EXPECT_TRUE(entries(form->DBComboBox3).contains(QStringLiteral("李四")));

    maintain([this] { form->ToolButton13->click(); }, name,
             [](Tsjzdwh& w) {
                 w.ComboBox1->setCurrentIndex(w.ComboBox1->findText(QStringLiteral("按存放地点")));
             });
    EXPECT_EQ(field(serial, QStringLiteral("wz")), QStringLiteral("未分配"));
    EXPECT_EQ(field(serial, QStringLiteral("worp")), QStringLiteral("true"));
    EXPECT_EQ(form->Label7->text(), QStringLiteral("位  置："));
    EXPECT_EQ(form->DBComboBox3->currentText(), QStringLiteral("未分配"));
    EXPECT_TRUE(entries(form->DBComboBox3).contains(QStringLiteral("机房")));
}

TEST_F(DictionaryCommandTest, ItemsAddedOnTheCardAreInTheWindow) {
    start();
    state->settings.datadic = 1;
    form->Add1->trigger();
    choose(form->DBComboBox1, QStringLiteral("电子设备"));
    form->DBComboBox1Exit();
    form->DBComboBox4->enter();
    choose(form->DBComboBox4, QStringLiteral("科研"));
    form->DBComboBox4->leave();
    form->Cancel1->trigger();
    ModalScript dialogs;
    dialogs.then<Tsjzdwh>([](Tsjzdwh& w) {
        EXPECT_NE(w.node({QStringLiteral("[资产类别]"), QStringLiteral("电子设备"),
                          QStringLiteral("[用途]"), QStringLiteral("科研")}),
                  nullptr);
        w.BitBtn6Click();
        return w.result();
    });
    form->N16->trigger();
}

}  // namespace
}  // namespace fx::test
