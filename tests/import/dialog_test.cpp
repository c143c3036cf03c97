#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QWheelEvent>

#include "connection.h"
#include "rowset.h"
#include "schema.h"
#include "scripts.h"
#include "sourcefile.h"
#include "tdrdlg.h"
#include "testfiles.h"
#include "testinstallation.h"

namespace fx::import {
namespace {

class ImportWindow : public ::testing::Test {
protected:
    void SetUp() override {
        state_ = install_.signedIn();
        file_ = install_.root() + QStringLiteral("/清单.xlsx");
        test::writeXlsx(
            file_, {{QStringLiteral("说明"), {{QStringLiteral("见下一张表")}}},
                    {QStringLiteral("资产"),
                     {{QStringLiteral("某单位资产")},
                      {QStringLiteral("编号"), QStringLiteral("资产类别"),
                       QStringLiteral("资产名称"), QStringLiteral("地方"), QStringLiteral("原值"),
                       QStringLiteral("购置日期"), QStringLiteral("年限")},
                      {QString(), QStringLiteral("电脑"), QStringLiteral("台式机"),
                       QStringLiteral("财务科"), 4999.5, QDate(2020, 1, 15), QStringLiteral("5年")},
                      {QStringLiteral("DN-1"), QStringLiteral("电脑"), QStringLiteral("台式机"),
                       QStringLiteral("财务科"), QStringLiteral("很贵"), QDate(2020, 1, 15),
                       QStringLiteral("5年")}}}});
    }
    qint64 count(const QString& sql) {
        db::RowSet r(*state_->current, sql);
        r.open();
        return r.value(0).toLongLong();
    }
    fx::test::TestInstallation install_;
    std::unique_ptr<AppState> state_;
    QString file_;
};

TEST_F(ImportWindow, ChecksRemapsAndImportsWithChangedPrefixes) {
    TdrDlg w(*state_);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("导入固定资产"));
    ASSERT_TRUE(w.openFile(file_));
    EXPECT_EQ(w.ComboBox1->count(), 2);
    ASSERT_TRUE(w.chooseSheet(QStringLiteral("资产")));
    EXPECT_EQ(w.SpinEdit1->value(), 2);        // the title row above is passed over
    EXPECT_EQ(w.columnField(3), Field::None);  // "地方" is no known caption
    auto* box = w.StringGrid1->findChild<QComboBox*>(QStringLiteral("FieldBox3"));
    ASSERT_NE(box, nullptr);
    box->setCurrentIndex(box->findData(int(Field::Location)));
    emit box->activated(box->currentIndex());
    EXPECT_EQ(w.columnField(3), Field::Location);

    w.check();
    EXPECT_TRUE(w.Memo1->toPlainText().contains(QStringLiteral("第4行【原值】“很贵”不是金额。")));
    EXPECT_EQ(count(QStringLiteral("select count(*) from sbjl")), 0);
    // The new category's prefix is changed in the list before importing.
    QTableWidget* items = w.StringGrid3;
    ASSERT_GT(items->rowCount(), 0);
    EXPECT_EQ(items->item(0, 1)->text(), QStringLiteral("电脑"));
    EXPECT_EQ(items->item(0, 3)->text(), QStringLiteral("DN"));
    items->item(0, 3)->setText(QStringLiteral("JSJ"));

    fx::test::PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("有1行不能导入"), QMessageBox::Ok);
    prompts.expect(QStringLiteral("提示"),
                   QStringLiteral("已导入1个固定资产，序号从第1号至第1号。"));
    ASSERT_TRUE(w.importRows());
    EXPECT_EQ(count(QStringLiteral("select count(*) from sbjl where id='JSJ-' and num=1 and "
                                   "wz='财务科' and gmjg=4999.5")),
              1);
    EXPECT_EQ(
        count(QStringLiteral("select count(*) from sortproc where sort='电脑' and title='JSJ'")),
        1);

    // The refused row is saved with its reason.
    const QString refused = install_.root() + QStringLiteral("/未导入.xlsx");
    ASSERT_TRUE(w.saveRefusedRows(refused));
    const SheetTable back = readSheet(refused);
    ASSERT_EQ(back.rows.size(), 2u);
    EXPECT_EQ(back.rows[0].cells.back(), QStringLiteral("未导入原因"));
    EXPECT_EQ(back.rows[1].cells.back(), QStringLiteral("【原值】“很贵”不是金额。"));

    // The mapping is remembered for this user and the same headers.
    TdrDlg again(*state_);
    ASSERT_TRUE(again.openFile(file_));
    ASSERT_TRUE(again.chooseSheet(QStringLiteral("资产")));
    EXPECT_EQ(again.columnField(3), Field::Location);
}

TEST_F(ImportWindow, TheWheelOverAnUnfocusedMappingBoxLeavesItsChoice) {
    TdrDlg w(*state_);
    w.show();
    ASSERT_TRUE(w.openFile(file_));
    ASSERT_TRUE(w.chooseSheet(QStringLiteral("资产")));
    const Field before = w.columnField(1);
    auto* box = w.StringGrid1->findChild<QComboBox*>(QStringLiteral("FieldBox1"));
    ASSERT_NE(box, nullptr);
    const int index = box->currentIndex();
    for (int delta : {-120, 120}) {
        QWheelEvent wheel(QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(box, &wheel);
    }
    EXPECT_EQ(w.columnField(1), before);
    EXPECT_EQ(box->currentIndex(), index);
    EXPECT_NE(box->focusPolicy() & Qt::WheelFocus, Qt::WheelFocus);
}

TEST_F(ImportWindow, TheImportIsRecordedInTheChangeHistory) {
    TdrDlg w(*state_);
    ASSERT_TRUE(w.openFile(file_));
    ASSERT_TRUE(w.chooseSheet(QStringLiteral("资产")));
    w.setColumnField(3, Field::Location);
    w.check();
    fx::test::PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("有1行不能导入"), QMessageBox::Ok);
    prompts.expect(QStringLiteral("提示"), QStringLiteral("已导入1个固定资产"));
    ASSERT_TRUE(w.importRows());
    db::RowSet rows(*state_->history, QStringLiteral("select * from czjl"));
    rows.open();
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.text(QStringLiteral("cz")), QStringLiteral("导入"));
    EXPECT_EQ(rows.text(QStringLiteral("czy")), state_->userName);
    EXPECT_EQ(rows.text(QStringLiteral("zcbh")), QStringLiteral("DN-1"));
    EXPECT_EQ(rows.integer(QStringLiteral("id")),
              count(QStringLiteral("select ID1 from sbjl where id='DN-' and num=1")));
    EXPECT_EQ(rows.text(QStringLiteral("bgnr")), QStringLiteral("从文件导入：清单.xlsx"));
}

TEST_F(ImportWindow, AHistoryThatCannotBeCommittedIsToldAfterTheImportIsStored) {
    TdrDlg w(*state_);
    ASSERT_TRUE(w.openFile(file_));
    ASSERT_TRUE(w.chooseSheet(QStringLiteral("资产")));
    w.setColumnField(3, Field::Location);
    w.check();
    // Another workstation reads the history while the import commits, and this one does not
    // wait for it: the register's rows are stored, the history rows are not.
    state_->history->executeNative(QStringLiteral("PRAGMA busy_timeout=0"));
    auto reader = db::Connection::open(state_->historyDatabasePath(),
                                       QString::fromLatin1(schema::kHistoryPassword));
    fx::test::PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("有1行不能导入"), QMessageBox::Ok);
    QObject::connect(w.ProgressBar1, &QProgressBar::valueChanged, &w, [&reader] {
        if (reader->inTransaction()) return;
        reader->executeNative(QStringLiteral("BEGIN"));
        reader->executeNative(QStringLiteral("select count(*) from czjl"));
    });
    prompts.expect(QStringLiteral("提示"), QStringLiteral("操作已经保存，但操作记录未能写入"));
    prompts.expect(QStringLiteral("提示"), QStringLiteral("已导入1个固定资产"));
    EXPECT_TRUE(w.importRows());
    reader->executeNative(QStringLiteral("COMMIT"));
    EXPECT_EQ(count(QStringLiteral("select count(*) from sbjl")), 1);
    EXPECT_EQ(state_->history->queryValue(QStringLiteral("select count(*) from czjl")).toInt(), 0);
}

TEST_F(ImportWindow, ACancelledImportStoresNothing) {
    TdrDlg w(*state_);
    ASSERT_TRUE(w.openFile(file_));
    ASSERT_TRUE(w.chooseSheet(QStringLiteral("资产")));
    w.setColumnField(3, Field::Location);
    w.check();
    fx::test::PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("有1行不能导入"), QMessageBox::Ok);
    // "取消" clicked while the rows are being stored: the progress shown lets the click through.
    QObject::connect(w.ProgressBar1, &QProgressBar::valueChanged, &w, [&w] { w.cancelImport(); });
    const bool stored = w.importRows();
    EXPECT_FALSE(stored);
    EXPECT_EQ(count(QStringLiteral("select count(*) from sbjl")), 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from sortproc")), 0);
    EXPECT_TRUE(w.Label1->text().contains(QStringLiteral("取消")));
}

TEST_F(ImportWindow, AnUnreadableFileIsNamedAndTheTemplateReadsBack) {
    TdrDlg w(*state_);
    const QString bad = install_.root() + QStringLiteral("/坏.xlsx");
    test::writeAll(bad, "not a workbook");
    fx::test::PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("已损坏"));
    EXPECT_FALSE(w.openFile(bad));
    EXPECT_FALSE(w.Button2->isEnabled());

    const QString templ = install_.root() + QStringLiteral("/模板.xlsx");
    QString error;
    ASSERT_TRUE(TdrDlg::saveTemplate(templ, &error));
    const SheetTable t = readSheet(templ);
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0].cells.at(1), QStringLiteral("资产类别"));
    // The template's example rows pass the check of an empty register.
    ASSERT_TRUE(w.openFile(templ));
    w.check();
    ASSERT_TRUE(w.plan().has_value());
    EXPECT_TRUE(w.plan()->allAccepted()) << w.Memo1->toPlainText().toStdString();
    EXPECT_EQ(w.plan()->assets.size(), 2u);
}

}  // namespace
}  // namespace fx::import
