// The stocktake's windows on a fresh installation: scans typed into the scanning window as a
// scanner types them, the counts following another workstation, and the misplaced assets moved
// from the list of the results window by a batch transfer with its history rows.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "appstate.h"
#include "clock.h"
#include "connection.h"
#include "followupdlg.h"
#include "layout.h"
#include "modal.h"
#include "querystate.h"
#include "resultlist.h"
#include "resultsource.h"
#include "resulttable.h"
#include "scan.h"
#include "scripts.h"
#include "stocktake.h"
#include "stocktakefixture.h"
#include "stocktakeresultsdlg.h"
#include "stocktakescandlg.h"
#include "tcxjgdlg1.h"
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

QStringList texts(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* i : items) out << QString::fromUtf8(i);
    return out;
}

// Runs `check` on the results window a list button of the overview opens, and closes it.
void openList(StocktakeResultsDlg& d, ResultList list,
              std::function<void(query::TcxjgDlg1&)> check) {
    fx::test::ModalScript modal;
    modal.then<query::TcxjgDlg1>([&](query::TcxjgDlg1& w) {
        check(w);
        w.BitBtn1Click();
        return int(QDialog::Accepted);
    });
    d.ListButtons[std::size_t(list)]->click();
}

// The texts of a field of the window's rows, in the grid's order.
QStringList column(const query::TcxjgDlg1& w, const char* field) {
    QStringList out;
    const int f = w.table().fieldIndex(QString::fromLatin1(field));
    for (int r = 0; f >= 0 && r < w.table().rowCount(); ++r) out << w.table().text(r, f);
    return out;
}

class StocktakeResults : public StocktakeWindows {
protected:
    void SetUp() override {
        StocktakeWindows::SetUp();
        // The results window's default column layouts, as the installation has them.
        const QDir share(QStringLiteral(FX_SHARE_DIR));
        for (const QString& file : share.entryList({QStringLiteral("std*")}, QDir::Files))
            QFile::copy(share.filePath(file), app->startDir + QLatin1Char('/') + file);
        s = create(*app->current, QStringLiteral("全面"), {}, app->userName, Clock::today());
        // JSJ-3 belongs to 教务处 and is found at 财务处; BGZ-1 is held by 张三 of 财务处 and
        // found at 教务处; ZZZ-1 is not in the register.
        for (const auto& [code, place] : {std::pair{"JSJ-3", "财务处"},
                                          {"BGZ-1", "教务处"},
                                          {"JSJ-1", "财务处"},
                                          {"ZZZ-1", "301室"}})
            recordScan(*app->current, s.id, QString::fromUtf8(code), QString::fromUtf8(place),
                       app->userName, Clock::now());
    }
    Stocktake s;
    query::QueryState state;
};

TEST_F(StocktakeResults, TheOverviewCountsAndOpensEachListInTheResultsWindow) {
    StocktakeResultsDlg d(*app, state, s.id);
    EXPECT_TRUE(d.SummaryLabel->text().contains(QStringLiteral("应盘 5 / 已盘 3 / 位置不符 2")));
    EXPECT_TRUE(d.SummaryLabel->text().contains(
        QStringLiteral("盘亏资产原值：28000.00元  净值：2680.00元")));
    EXPECT_EQ(d.ListButtons[0]->text(), QStringLiteral("已盘点（1）…"));
    EXPECT_EQ(d.ListButtons[1]->text(), QStringLiteral("盘亏（2）…"));
    EXPECT_EQ(d.ListButtons[2]->text(), QStringLiteral("位置不符（2）…"));
    EXPECT_EQ(d.ListButtons[3]->text(), QStringLiteral("盘盈（1）…"));

    const struct {
        ResultList list;
        query::ResultKind kind;
        const char* field;
        QStringList rows;
        const char* firstTitle;
    } cases[] = {
        {ResultList::Found, query::ResultKind::StocktakeFound, "bh", texts({"JSJ-1"}), "序号"},
        {ResultList::Missing, query::ResultKind::StocktakeMissing, "bh", texts({"JSJ-2", "SBQ-1"}),
         "序号"},
        {ResultList::Misplaced, query::ResultKind::StocktakeMisplaced, "bh",
         texts({"BGZ-1", "JSJ-3"}), "序号"},
        {ResultList::Surplus, query::ResultKind::StocktakeSurplus, "code", texts({"ZZZ-1"}),
         "扫描编号"},
    };
    for (const auto& c : cases) {
        bool seen = false;
        openList(d, c.list, [&](query::TcxjgDlg1& w) {
            seen = true;
            EXPECT_EQ(w.kind(), c.kind);
            EXPECT_EQ(column(w, c.field), c.rows);
            EXPECT_EQ(w.titleAt(0), QString::fromUtf8(c.firstTitle));
            EXPECT_EQ(w.Label1->text(), QStringLiteral("共%1条").arg(c.rows.size()));
            EXPECT_TRUE(w.windowTitle().startsWith(QStringLiteral("盘点结果：全面 - ")));
            // Only the misplaced and missing lists have a command of their own.
            EXPECT_EQ(w.BitBtn5->isVisibleTo(&w),
                      c.list == ResultList::Misplaced || c.list == ResultList::Missing);
        });
        EXPECT_TRUE(seen) << int(c.list);
    }
    EXPECT_EQ(d.pickedSerial(), 0);
    // The asset query text is kept around the lists.
    EXPECT_EQ(state.queryText, query::kNoQueryYet);
}

TEST_F(StocktakeResults, TheWholeStocktakeIsExportedToOneWorkbook) {
    StocktakeResultsDlg d(*app, state, s.id);
    const QString file = install.root() + QStringLiteral("/全面");
    QString opened;
    ui::setOpenHandler([&](const QString& path) {
        opened = path;
        return true;
    });
    fx::test::FileScript files;
    files.answers = {file};
    fx::test::PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("盘点结果已导出到"));
    d.ExportButtonClick();
    ui::setOpenHandler({});
    EXPECT_EQ(opened, file + QStringLiteral(".xlsx"));
    EXPECT_GT(QFileInfo(opened).size(), 0);
}

TEST_F(StocktakeResults, AListTakesTheMainWindowsPlaceAndSize) {
    QWidget main;
    main.setGeometry(20, 30, 1000, 700);
    StocktakeResultsDlg d(*app, state, s.id, &main);
    openList(d, ResultList::Missing, [&](query::TcxjgDlg1& w) {
        EXPECT_EQ(w.geometry(), main.geometry());
        EXPECT_EQ(w.parentWidget(), &main);
    });
}

TEST_F(StocktakeResults, EveryColumnOfEveryListSortsByATitleClick) {
    StocktakeResultsDlg d(*app, state, s.id);
    fx::test::PromptScript prompts;  // an engine error would be an unexpected message
    for (int list = 0; list < 4; ++list) {
        openList(d, ResultList(list), [&](query::TcxjgDlg1& w) {
            const int rows = w.table().rowCount();
            for (int c = 0; c < int(w.columnList().size()); ++c) {
                w.DBGrid1TitleClick(c);
                EXPECT_TRUE(w.titleAt(c).endsWith(QStringLiteral(" ↑")) ||
                            w.titleAt(c).endsWith(QStringLiteral(" ↓")))
                    << list << " " << c;
                EXPECT_EQ(w.table().rowCount(), rows);
            }
        });
    }
    // A second click on 编号 of the misplaced list turns the order round.
    openList(d, ResultList::Misplaced, [&](query::TcxjgDlg1& w) {
        w.DBGrid1TitleClick(1);
        EXPECT_EQ(column(w, "bh"), texts({"BGZ-1", "JSJ-3"}));
        w.DBGrid1TitleClick(1);
        EXPECT_EQ(column(w, "bh"), texts({"JSJ-3", "BGZ-1"}));
    });
}

TEST_F(StocktakeResults, AListIsExportedAndPrintedWithItsTotals) {
    StocktakeResultsDlg d(*app, state, s.id);
    const QString file = install.root() + QStringLiteral("/盘亏.xlsx");
    QString opened;
    ui::setOpenHandler([&](const QString& path) {
        opened = path;
        return true;
    });
    openList(d, ResultList::Missing, [&](query::TcxjgDlg1& w) {
        fx::test::FileScript files;
        files.answers = {file};
        fx::test::PromptScript prompts;
        prompts.expect(QStringLiteral("系统信息"), QStringLiteral("查询结果已导出"));
        w.BitBtn3Click();
        // The list report of the printing button: nine columns, the count and both totals.
        QList<reports::ListColumn> columns;
        for (const query::LayoutColumn& c : w.columnList())
            if (c.visible) columns.append({c.title, c.field, c.width});
        const query::ResultSource rows(w.table());
        const report::Document doc = report::layoutReport(
            reports::resultListReport(int(w.kind()), columns, w.reportTitle(), report::Paper::A4,
                                      report::Orientation::Landscape),
            rows);
        QStringList texts;
        for (const report::Page& p : doc.pages)
            for (const report::Primitive& x : p.primitives) texts << x.text;
        EXPECT_TRUE(texts.contains(QStringLiteral("盘点“全面”盘亏资产清单")));
        EXPECT_TRUE(texts.contains(QStringLiteral("跟进备注")));
        // JSJ-2 8000.00 (net 2680.00), SBQ-1 20000.00 with no life row (net 0).
        EXPECT_TRUE(texts.contains(QStringLiteral("原值合计：")));
        EXPECT_TRUE(texts.contains(QStringLiteral("28000.00元  净值合计：2680.00元")))
            << texts.join(QLatin1Char('|')).toStdString();
    });
    ui::setOpenHandler({});
    EXPECT_EQ(opened, file);
    EXPECT_GT(QFileInfo(file).size(), 0);
}

TEST_F(StocktakeResults, MisplacedAssetsAreMovedByABatchTransferWithHistoryRows) {
    StocktakeResultsDlg d(*app, state, s.id);
    openList(d, ResultList::Misplaced, [&](query::TcxjgDlg1& w) {
        EXPECT_EQ(w.BitBtn5->text(), QStringLiteral("调拨到盘点位置"));
        w.selectRows({0, 1});
        fx::test::PromptScript prompts;
        prompts
            .expect(QStringLiteral("提示"), QStringLiteral("将选中的2件资产调拨到"),
                    QMessageBox::Ok)
            .expect(QStringLiteral("提示"), QStringLiteral("调拨单"), QMessageBox::No)
            .expect(QStringLiteral("提示"), QStringLiteral("已调拨1件资产。\n1件按使用者存放"));
        w.BitBtn5->click();
        // The list is read again: JSJ-3 is now where it was found; the selection stays.
        EXPECT_EQ(column(w, "xwz"), texts({"张三", "财务处"}));
        EXPECT_EQ(w.selectedCount(), 2);
    });
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

TEST_F(StocktakeResults, TheMoveIsNotOfferedWithoutTheTransferRight) {
    app->rights.db = false;
    StocktakeResultsDlg d(*app, state, s.id);
    openList(d, ResultList::Misplaced,
             [&](query::TcxjgDlg1& w) { EXPECT_FALSE(w.BitBtn5->isVisibleTo(&w)); });
}

TEST_F(StocktakeResults, NothingSelectedMovesNothing) {
    StocktakeResultsDlg d(*app, state, s.id);
    openList(d, ResultList::Misplaced, [&](query::TcxjgDlg1& w) {
        w.selectRows({});
        fx::test::PromptScript prompts;
        prompts.expect(QStringLiteral("警告"), QStringLiteral("请选择要调拨的资产"));
        w.BitBtn5Click();
    });
    EXPECT_EQ(current(QStringLiteral("select wz from sbjl where ID1=3")), QStringLiteral("教务处"));
}

TEST_F(StocktakeResults, FollowUpRemarkOnMissingAssetsAndAPickShownOnTheCard) {
    StocktakeResultsDlg d(*app, state, s.id);
    openList(d, ResultList::Missing, [&](query::TcxjgDlg1& w) {
        EXPECT_EQ(w.BitBtn5->text(), QStringLiteral("跟进备注…"));
        w.selectRows({0, 1});
        fx::test::ModalScript modal;
        modal.then<FollowUpDlg>([](FollowUpDlg& f) {
            EXPECT_TRUE(f.FollowUpEdit->text().isEmpty());
            f.FollowUpEdit->setText(QStringLiteral("借给外单位，待查"));
            return int(QDialog::Accepted);
        });
        w.BitBtn5->click();
        EXPECT_EQ(column(w, "gz"), texts({"借给外单位，待查", "借给外单位，待查"}));
    });
    EXPECT_EQ(current(QStringLiteral("select gz from pdmx where bh='SBQ-1'")),
              QStringLiteral("借给外单位，待查"));

    // A double-click on JSJ-2 picks it: the lists and the overview close, the card shows it.
    state.pickedSerial = 6;
    fx::test::ModalScript modal;
    modal.then<query::TcxjgDlg1>([](query::TcxjgDlg1& w) {
        w.selectRows({0});
        w.DBGrid1DblClick();
        return w.result();
    });
    d.ListButtons[std::size_t(ResultList::Missing)]->click();
    EXPECT_EQ(d.pickedSerial(), 2);
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(StocktakeResults, LeavingAListWithoutAPickKeepsTheLastPick) {
    StocktakeResultsDlg d(*app, state, s.id);
    state.pickedSerial = 6;
    openList(d, ResultList::Found, [](query::TcxjgDlg1&) {});
    EXPECT_EQ(d.pickedSerial(), 0);
    EXPECT_EQ(state.pickedSerial, 6);
}

}  // namespace
}  // namespace fx::stocktake::test
