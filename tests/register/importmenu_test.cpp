#include <QAction>
#include <QMenu>

#include "editfixture.h"
#include "scripts.h"
#include "tdrdlg.h"
#include "testfiles.h"

namespace fx::test {
namespace {

using ImportMenuTest = EditTest;

TEST_F(ImportMenuTest, OfferedToAUserWithTheAddRightOnly) {
    Rights rights = allRights();
    rights.ins = false;
    start(QStringLiteral("张三"), rights);
    EXPECT_EQ(form->ImportAssets1->text(), QStringLiteral("导入资产…"));
    EXPECT_TRUE(form->FileMenu->actions().contains(form->ImportAssets1));
    EXPECT_FALSE(form->ImportAssets1->isEnabled());
}

TEST_F(ImportMenuTest, NotWhileACardIsEdited) {
    start();
    EXPECT_TRUE(form->ImportAssets1->isEnabled());
    const int serial = addAsset(QStringLiteral("DN-"), 1);
    show(serial);
    form->Modify1->trigger();
    EXPECT_FALSE(form->FileMenu->isEnabled());
    form->Cancel1->trigger();
    EXPECT_TRUE(form->FileMenu->isEnabled());
    EXPECT_TRUE(form->ImportAssets1->isEnabled());
}

TEST_F(ImportMenuTest, ImportedAssetsAreShownWithTheirDictionaryItems) {
    start();
    const QString file = inst.root() + QStringLiteral("/清单.xlsx");
    import::test::writeXlsx(
        file,
        {{ QStringLiteral("S"),
           { {QStringLiteral("类别"), QStringLiteral("名称"), QStringLiteral("位置"),
              QStringLiteral("年限"), QStringLiteral("购置日期")},
             { QStringLiteral("家具"),
               QStringLiteral("书柜"),
               QStringLiteral("档案室"),
               QStringLiteral("10年"),
               QDate(2021, 3, 4) } } }});
    ModalScript modals;
    modals.then<import::TdrDlg>([&](import::TdrDlg& d) {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("已导入1个固定资产"));
        EXPECT_TRUE(d.openFile(file));
        EXPECT_TRUE(d.importRows());
        return int(QDialog::Accepted);
    });
    form->ImportAssets1->trigger();
    EXPECT_TRUE(modals.done());
    EXPECT_EQ(assetCount(QStringLiteral("sbmc='书柜' and id='JJ-' and num=1")), 1);
    // The card shows the imported asset, and the new category is in its list.
    EXPECT_EQ(form->DBComboBox2->currentText(), QStringLiteral("书柜"));
    EXPECT_GE(form->DBComboBox1->findText(QStringLiteral("家具")), 0);
}

}  // namespace
}  // namespace fx::test
