// The stocktake's windows on a fresh installation: scans typed into the scanning window as a
// scanner types them, the counts following another workstation, and the misplaced assets moved
// from the results window by a batch transfer with its history rows.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "appstate.h"
#include "clock.h"
#include "connection.h"
#include "scan.h"
#include "scripts.h"
#include "stocktake.h"
#include "stocktakefixture.h"
#include "stocktakeresultsdlg.h"
#include "stocktakescandlg.h"
#include "testinstallation.h"

namespace fx::stocktake::test {
namespace {

class StocktakeWindows : public ::testing::Test {
protected:
    void SetUp() override {
        Clock::set(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
        app = install.signedIn();
        fillRegister(*app->current);
    }
    void TearDown() override { Clock::set(QDateTime()); }
    // Types a code into the scan field and presses Enter, as a USB scanner does.
    static void type(StocktakeScanDlg& w, const QString& code) {
        w.ScanEdit->setText(code);  // keyClicks would refuse the Chinese of a place label
        QTest::keyClick(w.ScanEdit, Qt::Key_Return);
    }
    QString current(const QString& sql) { return app->current->queryValue(sql).toString(); }

    fx::test::TestInstallation install;
    std::unique_ptr<AppState> app;
};

TEST_F(StocktakeWindows, EachScanIsJudgedShownAndCounted) {
    const Stocktake s = create(*app->current, QStringLiteral("财务处盘点"),
                               {ScopeKind::Department, QStringLiteral("财务处"), {}}, app->userName,
                               Clock::today());
    StocktakeScanDlg w(*app, s.id);
    EXPECT_EQ(w.CountsLabel->text(), QStringLiteral("应盘 3 / 已盘 0 / 位置不符 0 / 账外 0"));

    type(w, QStringLiteral("位置:财务处"));
    EXPECT_EQ(w.PlaceBox->currentText(), QStringLiteral("财务处"));
    w.ScanEdit->setText(QString());
    QTest::keyClicks(w.ScanEdit, QStringLiteral("JSJ-1"));
    QTest::keyClick(w.ScanEdit, Qt::Key_Return);
    EXPECT_TRUE(w.ResultLabel->text().startsWith(QStringLiteral("已盘点  JSJ-1")));
    EXPECT_EQ(w.ResultLabel->palette().color(QPalette::Window),
              StocktakeScanDlg::colourOf(ScanResult::Found));
    EXPECT_TRUE(w.ScanEdit->text().isEmpty());

    type(w, QStringLiteral("位置:教务处"));
    type(w, QStringLiteral("JSJ-2"));
    EXPECT_TRUE(w.ResultLabel->text().contains(QStringLiteral("位置不符")));
    EXPECT_TRUE(
        w.ResultLabel->text().contains(QStringLiteral("账面位置：财务处，盘点位置：教务处")));
    type(w, QStringLiteral("JSJ-2"));
    EXPECT_TRUE(w.ResultLabel->text().startsWith(QStringLiteral("重复扫描")));
    type(w, QStringLiteral("JSJ-3"));
    EXPECT_TRUE(w.ResultLabel->text().startsWith(QStringLiteral("不在盘点范围")));
    type(w, QStringLiteral("ABC-9"));
    EXPECT_TRUE(w.ResultLabel->text().startsWith(QStringLiteral("账外资产")));
    ASSERT_TRUE(w.SurplusNote->isEnabled());
    w.SurplusNote->setText(QStringLiteral("黑色椅子"));
    w.SurplusButtonClick();
    EXPECT_EQ(current(QStringLiteral("select bz from pdsm where code='ABC-9'")),
              QStringLiteral("黑色椅子"));
    EXPECT_EQ(w.CountsLabel->text(), QStringLiteral("应盘 3 / 已盘 2 / 位置不符 1 / 账外 1"));
    EXPECT_EQ(w.ScansList->count(), 5);
    // An unknown place label changes nothing.
    type(w, QStringLiteral("位置:月球"));
    EXPECT_EQ(w.PlaceBox->currentText(), QStringLiteral("教务处"));

    w.UndoButtonClick();
    EXPECT_EQ(w.CountsLabel->text(), QStringLiteral("应盘 3 / 已盘 2 / 位置不符 1 / 账外 0"));
    EXPECT_EQ(w.ScansList->count(), 4);
    // The register is as it was.
    EXPECT_EQ(current(QStringLiteral("select wz from sbjl where ID1=2")), QStringLiteral("财务处"));
}

TEST_F(StocktakeWindows, CountsFollowAnotherWorkstation) {
    const Stocktake s =
        create(*app->current, QStringLiteral("全面"), {}, app->userName, Clock::today());
    StocktakeScanDlg w(*app, s.id);
    auto other = db::Connection::open(app->currentDatabasePath(), app->currentPassword);
    recordScan(*other, s.id, QStringLiteral("SBQ-1"), QString(), QStringLiteral("二组"),
               Clock::now());
    w.RefreshButton->click();
    EXPECT_EQ(w.CountsLabel->text(), QStringLiteral("应盘 5 / 已盘 1 / 位置不符 0 / 账外 0"));
    type(w, QStringLiteral("SBQ-1"));
    EXPECT_TRUE(w.ResultLabel->text().startsWith(QStringLiteral("重复扫描")));
}

TEST_F(StocktakeWindows, AnEndedStocktakeTakesNoScans) {
    const Stocktake s =
        create(*app->current, QStringLiteral("已结束"), {}, app->userName, Clock::today());
    end(*app->current, s.id, Clock::today());
    StocktakeScanDlg w(*app, s.id);
    EXPECT_FALSE(w.ScanEdit->isEnabled());
    EXPECT_FALSE(w.LoadButton->isEnabled());
}

TEST_F(StocktakeWindows, MisplacedAssetsAreMovedByABatchTransferWithHistoryRows) {
    const Stocktake s =
        create(*app->current, QStringLiteral("全面"), {}, app->userName, Clock::today());
    // JSJ-3 belongs to 教务处 and is found at 财务处; BGZ-1 is held by 张三 of 财务处 and found
    // at 教务处.
    recordScan(*app->current, s.id, QStringLiteral("JSJ-3"), QStringLiteral("财务处"),
               app->userName, Clock::now());
    recordScan(*app->current, s.id, QStringLiteral("BGZ-1"), QStringLiteral("教务处"),
               app->userName, Clock::now());
    recordScan(*app->current, s.id, QStringLiteral("JSJ-1"), QStringLiteral("财务处"),
               app->userName, Clock::now());
    StocktakeResultsDlg d(*app, s.id);
    QTableWidget* misplaced = d.Grids[StocktakeResultsDlg::Misplaced];
    ASSERT_EQ(misplaced->rowCount(), 2);
    EXPECT_EQ(d.Grids[StocktakeResultsDlg::Missing]->rowCount(), 2);
    EXPECT_EQ(d.Grids[StocktakeResultsDlg::Found]->rowCount(), 1);
    EXPECT_TRUE(d.SummaryLabel->text().contains(QStringLiteral("应盘 5 / 已盘 3 / 位置不符 2")));
    misplaced->selectAll();

    fx::test::PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("将选中的2件资产调拨到"), QMessageBox::Ok)
        .expect(QStringLiteral("提示"), QStringLiteral("调拨单"), QMessageBox::No)
        .expect(QStringLiteral("提示"), QStringLiteral("已调拨1件资产。\n1件按使用者存放"));
    d.MoveButtonClick();

    EXPECT_EQ(current(QStringLiteral("select wz from sbjl where ID1=3")), QStringLiteral("财务处"));
    EXPECT_EQ(current(QStringLiteral("select bgr from sbjl where ID1=3")), QStringLiteral("李四"));
    EXPECT_EQ(current(QStringLiteral("select pzrq from sbjl where ID1=3")),
              QStringLiteral("2026-12-09"));
    EXPECT_EQ(current(QStringLiteral("select wz from sbjl where ID1=4")), QStringLiteral("张三"));
    auto history = db::Connection::open(app->historyDatabasePath(), QStringLiteral("mtbrqxhwpz"));
    EXPECT_EQ(history->queryValue(QStringLiteral("select count(*) from his")).toInt(), 1);
    EXPECT_EQ(
        history->queryValue(QStringLiteral("select swz||'>'||owz||'/'||czy from his where id=3"))
            .toString(),
        QStringLiteral("教务处>财务处/") + app->userName);
}

TEST_F(StocktakeWindows, FollowUpRemarkOnMissingAssets) {
    const Stocktake s =
        create(*app->current, QStringLiteral("全面"), {}, app->userName, Clock::today());
    StocktakeResultsDlg d(*app, s.id);
    QTableWidget* missing = d.Grids[StocktakeResultsDlg::Missing];
    ASSERT_EQ(missing->rowCount(), 5);
    missing->selectRow(0);
    d.FollowUpEdit->setText(QStringLiteral("借给外单位，待查"));
    d.FollowUpButtonClick();
    EXPECT_EQ(current(QStringLiteral("select gz from pdmx where bh='BGZ-1'")),
              QStringLiteral("借给外单位，待查"));
    d.Grids[StocktakeResultsDlg::Missing]->selectRow(1);
    d.CardButtonClick();
    EXPECT_EQ(d.pickedSerial(), 1);
}

}  // namespace
}  // namespace fx::stocktake::test
