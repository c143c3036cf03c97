#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include "appstate.h"
#include "connection.h"
#include "datasource.h"
#include "formatfile.h"
#include "modal.h"
#include "scripts.h"
#include "tbbdydlg.h"
#include "testinstallation.h"

namespace fx::reports {
namespace {

class TbbdyDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        state = install.signedIn();
        state->current->execute(QStringLiteral("update username set [user]='示范单位'"));
        dialog = std::make_unique<TbbdyDlg>(*state, rows, QString());
        dialog->show();  // showing clears the change guard: width edits count from now on
    }
    void TearDown() override { ui::setFileHandler({}); }

    QCheckBox* box(int number) {
        return dialog->findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(number));
    }
    QLineEdit* width(int number) {
        return dialog->findChild<QLineEdit*>(QStringLiteral("WidthEdit%1").arg(number));
    }

    test::TestInstallation install;
    std::unique_ptr<AppState> state;
    report::MemoryDataSource rows;
    std::unique_ptr<TbbdyDlg> dialog;
    QTemporaryDir dir;
};

TEST_F(TbbdyDlgTest, TitlesFollowThePageAndTheFormat) {
    EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("示范单位固定资产报表（基本）"));
    dialog->RadioButton3->setChecked(true);
    EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("示范单位固定资产报表（价值分析）"));
    dialog->PageControl1->setCurrentIndex(TbbdyDlg::CustomPage);
    EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("示范单位固定资产报表（自定义一）"));
    EXPECT_TRUE(dialog->BitBtnSave->isEnabled());
    dialog->PageControl1->setCurrentIndex(TbbdyDlg::SummaryPage);
    EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("示范单位固定资产汇总表"));
    EXPECT_FALSE(dialog->BitBtnLoad->isEnabled());
}

TEST_F(TbbdyDlgTest, ColumnsKeepTheOrderTickedAndAWidthChangeTouchesOnlyItsColumn) {
    dialog->PageControl1->setCurrentIndex(TbbdyDlg::CustomPage);
    box(2)->setChecked(true);  // 名称
    box(1)->setChecked(true);  // 序号
    box(4)->setChecked(true);  // 型号
    EXPECT_EQ(dialog->captions(), (QStringList{QStringLiteral("名称"), QStringLiteral("序号"),
                                               QStringLiteral("型号")}));
    EXPECT_EQ(dialog->fields(),
              (QStringList{QStringLiteral("sbmc"), QStringLiteral("ID1"), QStringLiteral("sbxh")}));
    width(1)->setText(QStringLiteral("60"));
    EXPECT_EQ(dialog->widths(),
              (QStringList{QStringLiteral("94"), QStringLiteral("60"), QStringLiteral("130")}));
    box(1)->setChecked(false);
    EXPECT_EQ(dialog->captions(), (QStringList{QStringLiteral("名称"), QStringLiteral("型号")}));
    EXPECT_FALSE(width(1)->isEnabled());
    const report::Report r = dialog->reportForPage();
    EXPECT_EQ(r.findItem(QStringLiteral("QRLabel2"))->text, QStringLiteral("型号"));
}

TEST_F(TbbdyDlgTest, AFormatSavedAndLoadedGivesTheSameColumns) {
    dialog->PageControl1->setCurrentIndex(TbbdyDlg::CustomPage);
    box(4)->setChecked(true);
    box(2)->setChecked(true);
    width(2)->setText(QStringLiteral("120"));
    dialog->ComboBox1->setCurrentIndex(1);  // A3
    dialog->ComboBox2->setCurrentIndex(1);  // 横向
    dialog->Edit1->setText(QStringLiteral("我的报表"));
    const QString path = dir.filePath(QStringLiteral("fmt.rpt"));
    ui::setFileHandler([&](const ui::FileRequest&) { return path; });
    dialog->saveFormatClick();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    EXPECT_TRUE(bytes.endsWith(QByteArray("130\r\n120\r\n")));
    EXPECT_EQ(bytes.mid(42, 12).toHex(), QByteArray("020000000100000001000000"));
    // Saving again over it keeps the old file as .bak.
    test::PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("该文件已经存在，覆盖掉它吗？"));
    dialog->saveFormatClick();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("fmt.bak"))));

    TbbdyDlg fresh(*state, rows, QString());
    fresh.show();
    fresh.loadFormatClick();
    EXPECT_EQ(fresh.PageControl1->currentIndex(), int(TbbdyDlg::CustomPage));
    EXPECT_EQ(fresh.Edit1->text(), QStringLiteral("我的报表"));
    EXPECT_EQ(fresh.captions(), (QStringList{QStringLiteral("型号"), QStringLiteral("名称")}));
    EXPECT_EQ(fresh.widths(), (QStringList{QStringLiteral("130"), QStringLiteral("120")}));
    EXPECT_EQ(fresh.ComboBox1->currentText(), QStringLiteral("A3"));
    EXPECT_EQ(fresh.ComboBox2->currentText(), QStringLiteral("横向"));
}

TEST_F(TbbdyDlgTest, ABrokenFormatFileIsRefusedAndNothingChanges) {
    dialog->PageControl1->setCurrentIndex(TbbdyDlg::CustomPage);
    box(2)->setChecked(true);
    const QString path = dir.filePath(QStringLiteral("bad.rpt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("short");
    file.close();
    ui::setFileHandler([&](const ui::FileRequest&) { return path; });
    test::PromptScript prompts;
    prompts.expect(QStringLiteral("警告"), QStringLiteral("报表格式文件不能使用：文件太短。"));
    dialog->loadFormatClick();
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(dialog->captions(), QStringList{QStringLiteral("名称")});
}

TEST_F(TbbdyDlgTest, FormatFourAndTheNumberAsIdentityExcludeEachOther) {
    dialog->PageControl1->setCurrentIndex(TbbdyDlg::LabelPage);
    dialog->CheckBox17->setChecked(true);
    dialog->RadioButton7->setChecked(true);
    EXPECT_FALSE(dialog->CheckBox17->isChecked());
    dialog->CheckBox17->setChecked(true);
    EXPECT_FALSE(dialog->CheckBox17->isChecked());
    dialog->RadioButton4->setChecked(true);
    dialog->CheckBox17->setChecked(true);
    EXPECT_TRUE(dialog->CheckBox17->isChecked());
}

TEST_F(TbbdyDlgTest, LabelOnlyModeKeepsTheLabelPage) {
    TbbdyDlg labels(*state, rows, QString());
    labels.setLabelOnly(QStringLiteral("BGJ-3"));
    labels.show();
    EXPECT_EQ(labels.windowTitle(), QStringLiteral("当前固定资产标签打印"));
    labels.PageControl1->setCurrentIndex(TbbdyDlg::CustomPage);
    EXPECT_EQ(labels.PageControl1->currentIndex(), int(TbbdyDlg::LabelPage));
    EXPECT_FALSE(labels.Edit1->isVisible());
    EXPECT_FALSE(labels.BitBtnSave->isEnabled());
    EXPECT_EQ(labels.Edit1->text(), QStringLiteral("固定资产标签"));
}

}  // namespace
}  // namespace fx::reports
