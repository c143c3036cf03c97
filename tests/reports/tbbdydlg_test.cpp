#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include "appstate.h"
#include "connection.h"
#include "datasource.h"
#include "displaylist.h"
#include "formatfile.h"
#include "layout.h"
#include "modal.h"
#include "scripts.h"
#include "tbbdydlg.h"
#include "testinstallation.h"

namespace fx::reports {
namespace {

// The texts an item printed, page after page.
QStringList textsOf(const report::Document& doc, const QString& item) {
    QStringList texts;
    for (const report::Page& page : doc.pages)
        for (const report::Primitive& p : page.primitives)
            if (p.kind == report::Primitive::Kind::Text && p.item == item) texts << p.text;
    return texts;
}

// Two computers of one category and department, 13 months into a 60-month life.
report::MemoryDataSource valuedRows() {
    report::MemoryDataSource data(
        {QStringLiteral("ID1"), QStringLiteral("zclb"), QStringLiteral("bmmc"),
         QStringLiteral("sbmc"), QStringLiteral("gmjg"), QStringLiteral("ynum"),
         QStringLiteral("yue"), QStringLiteral("cz"), QStringLiteral("ybf")});
    for (int i = 1; i <= 2; ++i)
        data.addRow({i, QStringLiteral("电子设备"), QStringLiteral("财务科"),
                     QStringLiteral("电脑"), 1000.0, 13, 60, 5, false});
    return data;
}

report::Document laidOut(const report::Report& form, const report::DataSource& data) {
    return report::layoutReport(form, data,
                                report::RunOptions{QDateTime(QDate(2024, 5, 20), QTime(9, 0))});
}

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

TEST_F(TbbdyDlgTest, TheLabelPageHidesTheTitleAndItsCaption) {
    QLabel* caption = nullptr;
    for (QLabel* l : dialog->findChildren<QLabel*>())
        if (l->text() == QStringLiteral("报表标题:")) caption = l;
    ASSERT_NE(caption, nullptr);
    dialog->PageControl1->setCurrentIndex(TbbdyDlg::LabelPage);
    EXPECT_EQ(dialog->Edit1->text(), QStringLiteral("固定资产标签"));
    EXPECT_TRUE(dialog->Edit1->isHidden());
    EXPECT_TRUE(caption->isHidden());
    for (int page : {TbbdyDlg::StandardPage, TbbdyDlg::CustomPage, TbbdyDlg::SummaryPage}) {
        dialog->PageControl1->setCurrentIndex(page);
        EXPECT_FALSE(dialog->Edit1->isHidden()) << page;
        EXPECT_FALSE(caption->isHidden()) << page;
    }
}

TEST_F(TbbdyDlgTest, AUserWhoHidesDepreciationGetsValueColumnsEmptyButTheSummaryValued) {
    state->settings.zjxs = 1;
    TbbdyDlg d(*state, rows, QString());
    d.show();
    EXPECT_TRUE(d.RadioButton3->isHidden());
    EXPECT_FALSE(box(12)->isHidden());  // the fixture's dialog, for a user who sees values
    EXPECT_TRUE(d.columnBox(QStringLiteral("累计折旧"))->isHidden());
    EXPECT_TRUE(d.columnBox(QStringLiteral("净值"))->isHidden());
    EXPECT_EQ(d.columnBox(QStringLiteral("净值")),
              d.findChild<QCheckBox*>(QStringLiteral("CheckBox13")));
    EXPECT_FALSE(d.showValuesBox()->isHidden());

    // A format stored by a user who sees values, with both value columns.
    ReportFormat stored;
    stored.title = QStringLiteral("价值表");
    stored.columns = {*columnChoice(QStringLiteral("序号")),
                      *columnChoice(QStringLiteral("累计折旧")),
                      *columnChoice(QStringLiteral("净值"))};
    const QString path = dir.filePath(QStringLiteral("values.rpt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(formatFileBytes(stored));
    file.close();
    ui::setFileHandler([&](const ui::FileRequest&) { return path; });
    d.loadFormatClick();
    ASSERT_EQ(d.captions(), (QStringList{QStringLiteral("序号"), QStringLiteral("累计折旧"),
                                         QStringLiteral("净值")}));
    const report::MemoryDataSource data = valuedRows();
    const report::Document list = laidOut(d.reportForPage(), data);
    // The headers print; their cells and the value totals stay empty.
    EXPECT_EQ(textsOf(list, QStringLiteral("QRLabel2")), QStringList{QStringLiteral("累计折旧")});
    EXPECT_EQ(textsOf(list, QStringLiteral("QRLabel3")), QStringList{QStringLiteral("净值")});
    EXPECT_EQ(textsOf(list, QStringLiteral("QRDBText1")),
              (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    for (const char* hidden :
         {"QRDBText2", "QRDBText3", "QRExpr3", "QRExpr5", "QRExpr4", "QRExpr6"})
        EXPECT_TRUE(textsOf(list, QLatin1String(hidden)).isEmpty()) << hidden;
    EXPECT_EQ(textsOf(list, QStringLiteral("QRExpr2")),
              QStringList{QStringLiteral("2000.00元(RMB)")});

    // The summary table prints the values when asked to.
    d.PageControl1->setCurrentIndex(TbbdyDlg::SummaryPage);
    d.showValuesBox()->setChecked(true);
    const report::Document summary = laidOut(d.reportForPage(), data);
    EXPECT_EQ(textsOf(summary, QStringLiteral("QRLabel1")), QStringList{QStringLiteral("原值")});
    EXPECT_EQ(textsOf(summary, QStringLiteral("QRLabel2")), QStringList{QStringLiteral("净值")});
    EXPECT_EQ(textsOf(summary, QStringLiteral("QRExpr8")), QStringList{QStringLiteral("2000.00")});
    EXPECT_EQ(textsOf(summary, QStringLiteral("QRExpr5")).size(), 1);
    EXPECT_NE(textsOf(summary, QStringLiteral("QRExpr5")).value(0),
              QStringLiteral("2000.00"));  // the net value, less than the original
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
