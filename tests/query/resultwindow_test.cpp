#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "appstate.h"
#include "clicklabel.h"
#include "columnlayout.h"
#include "connection.h"
#include "depreciation.h"
#include "querycommands.h"
#include "queryfixture.h"
#include "resulthooks.h"
#include "resultkind.h"
#include "scripts.h"
#include "tcxjgdlg1.h"

namespace fx::test {
namespace {

using query::ColumnList;
using query::ResultKind;
using query::TcxjgDlg1;

// Display index of 购买价格 (gmjg) and 名称 (sbmc) in the installed asset layout.
constexpr int kPriceColumn = 10;
constexpr int kNameColumn = 2;
constexpr int kNumberColumn = 1;

class ResultWindowTest : public QueryTest {
protected:
    void SetUp() override {
        QueryTest::SetUp();
        // The transfer dialog lives with the movements; a recording stand-in shows the button.
        query::setBatchTransferHandler([this](TcxjgDlg1& w) { transferred = w.selectedRows(); });
    }
    void TearDown() override {
        query::setBatchTransferHandler({});
        query::setPrintHandler({});
        QueryTest::TearDown();
    }

    // The window of "显示打印全部 " as its command opens it.
    std::unique_ptr<TcxjgDlg1> openAll(QWidget* parent = nullptr) {
        state.kind = ResultKind::AssetQuery;
        state.queryText = reports::kAssetQuery;
        state.orderText = QStringLiteral(" order by ID1 asc");
        return std::make_unique<TcxjgDlg1>(*app, state, parent);
    }

    std::unique_ptr<TcxjgDlg1> openKind(ResultKind kind, const QString& sql) {
        state.kind = kind;
        state.queryText = sql;
        return std::make_unique<TcxjgDlg1>(*app, state);
    }

    static QStringList column(const TcxjgDlg1& w, int display) {
        QStringList out;
        const int logical = w.findChild<QTableView*>(QStringLiteral("DBGrid1"))
                                ->horizontalHeader()
                                ->logicalIndex(display);
        for (int r = 0; r < w.model().rowCount(); ++r) out << w.model().cellText(r, logical);
        return out;
    }

    static QString label(const TcxjgDlg1& w, const char* name) {
        return w.findChild<QLabel*>(QString::fromLatin1(name))->text();
    }

    QString userFile(ResultKind kind = ResultKind::AssetQuery) const {
        return query::userLayoutPath(kind, app->dataDir, app->userName);
    }

    std::vector<int> transferred;
};

// ---- opening -----------------------------------------------------------------------------------

TEST_F(ResultWindowTest, OpensWithRowsLayoutAndCount) {
    addStandardAssets();
    auto w = openAll();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("查询结果"));
    EXPECT_EQ(w->model().rowCount(), 12);
    EXPECT_EQ(state.recordCount, 12);
    EXPECT_EQ(label(*w, "Label1"), QStringLiteral("共12条"));
    EXPECT_EQ(w->titleAt(0), QStringLiteral("序号"));
    EXPECT_EQ(w->titleAt(kPriceColumn), QStringLiteral("购买价格"));
    EXPECT_EQ(state.sort.savedTitle, QStringLiteral("序号"));
    EXPECT_EQ(column(*w, kNumberColumn).mid(8),
              (QStringList{QStringLiteral("JSJ-9"), QStringLiteral("JSJ-10"),
                           QStringLiteral("JJ-1"), QStringLiteral("JJ-2")}));
    EXPECT_EQ(column(*w, kPriceColumn).first(), QStringLiteral("1000.00"));
    // Controls and their initial states.
    EXPECT_EQ(w->BitBtn1->text(), QStringLiteral("退出"));
    EXPECT_EQ(w->BitBtn2->text(), QStringLiteral("打印…"));
    EXPECT_EQ(w->BitBtn3->text(), QStringLiteral("导出"));
    EXPECT_EQ(w->Label4->text(), QStringLiteral("恢复默认排列"));
    EXPECT_TRUE(w->Label4->font().underline());
    EXPECT_TRUE(w->Label1->font().bold());
    EXPECT_FALSE(w->Label7->isHidden());
    EXPECT_TRUE(w->Label2->text().isEmpty());
    const auto* grid = w->DBGrid1;
    EXPECT_EQ(grid->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(grid->horizontalHeader()->sectionsMovable());
}

TEST_F(ResultWindowTest, TransferControlsOnlyForAssetQueriesAndTheTransferRight) {
    addStandardAssets();
    {
        auto w = openAll();
        EXPECT_FALSE(w->BitBtn4->isHidden());
        EXPECT_FALSE(w->BitBtn4->isEnabled());
        EXPECT_FALSE(w->Label8->isHidden());
        EXPECT_EQ(w->Label8->text(), TcxjgDlg1::selectionHint());
        EXPECT_TRUE(w->popupAttached());
        QStringList items;
        for (QAction* a : w->PopupMenu1->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        EXPECT_EQ(items, (QStringList{QStringLiteral("选择全部"), QStringLiteral("-"),
                                      QStringLiteral("选择全部按位置存放的资产"),
                                      QStringLiteral("选择全部按使用者存放的资产")}));
    }
    app->rights.db = false;
    {
        auto w = openAll();
        EXPECT_TRUE(w->BitBtn4->isHidden());
        EXPECT_TRUE(w->Label8->isHidden());
        EXPECT_FALSE(w->popupAttached());
    }
    app->rights.db = true;
    auto lending = openKind(ResultKind::LendingList, QStringLiteral("select * from jcb"));
    EXPECT_TRUE(lending->BitBtn4->isHidden());
    EXPECT_FALSE(lending->popupAttached());
}

TEST_F(ResultWindowTest, TakesTheMainWindowsPlaceAndLaysOutToItsSize) {
    QWidget main;
    main.setGeometry(100, 80, 800, 600);
    auto w = openAll(&main);
    EXPECT_EQ(w->geometry(), main.geometry());
    EXPECT_EQ(w->DBGrid1->geometry(), QRect(0, 16, 800 - 122, 600 - 45));
    EXPECT_EQ(w->BitBtn1->x(), 800 - 99);
    EXPECT_EQ(w->BitBtn2->x(), 800 - 99);
    EXPECT_EQ(w->BitBtn3->x(), 800 - 99);
    EXPECT_EQ(w->BitBtn4->x(), 800 - 106);
    for (QLabel* l : {w->Label2, w->Label3, w->Label5, w->Label6}) EXPECT_EQ(l->x(), 800 - 112);
    EXPECT_EQ(w->Label4->x(), 800 - 103);
    EXPECT_EQ(w->Label1->x(), 800 - 94);
    EXPECT_EQ(w->Label7->x(), 800 - 115);
    EXPECT_EQ(w->Label8->x(), 800 - 115);
    w->show();
    w->resize(900, 500);
    QApplication::processEvents();
    EXPECT_EQ(w->DBGrid1->geometry(), QRect(0, 16, 900 - 122, 500 - 45));
    EXPECT_EQ(w->BitBtn1->x(), 900 - 99);
    w->reject();
}

TEST_F(ResultWindowTest, EmptyResult) {
    addStandardAssets();
    state.pickedSerial = 7;
    state.kind = ResultKind::AssetQuery;  // the text before any query: lists nothing
    TcxjgDlg1 w(*app, state);
    EXPECT_EQ(w.model().rowCount(), 0);
    EXPECT_EQ(state.recordCount, 0);
    EXPECT_EQ(label(w, "Label1"), QStringLiteral("共0条"));
    w.DBGrid1DblClick();
    EXPECT_EQ(w.result(), 0);
    EXPECT_EQ(state.pickedSerial, 7);
    w.N1Click();
    EXPECT_EQ(w.selectedCount(), 0);
    EXPECT_FALSE(w.BitBtn4->isEnabled());
    w.DBGrid1TitleClick(kPriceColumn);
    EXPECT_EQ(w.titleAt(kPriceColumn), QStringLiteral("购买价格 ↑"));
    EXPECT_EQ(w.currentRow(), -1);
}

TEST_F(ResultWindowTest, RefusedStatementOpensEmptyAndKeepsTheUsersLayout) {
    addStandardAssets();
    const ColumnList mine = {
        {QStringLiteral("bh"), QStringLiteral("编号"), 70, query::LayoutColumn::Align::Left, true},
        {QStringLiteral("sbmc"), QStringLiteral("名称"), 90, query::LayoutColumn::Align::Left,
         true}};
    QString error;
    ASSERT_TRUE(query::writeLayoutFile(userFile(), mine, &error));
    state.recordCount = 7;
    state.kind = ResultKind::AssetQuery;
    state.queryText = reports::kAssetQuery + QStringLiteral(" and nosuchcol=1");
    state.orderText.clear();
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("nosuchcol"));
    TcxjgDlg1 w(*app, state);
    EXPECT_EQ(w.model().rowCount(), 0);
    EXPECT_EQ(label(w, "Label1"), QStringLiteral("共几条"));
    EXPECT_EQ(state.recordCount, 7);
    EXPECT_EQ(w.columnList(), mine);
    w.BitBtn1Click();
    ColumnList saved;
    ASSERT_TRUE(query::readLayoutFile(userFile(), &saved, &error));
    EXPECT_EQ(saved, mine);
}

TEST_F(ResultWindowTest, UsersLayoutElseTheDefaultElseTheBuiltInList) {
    addStandardAssets();
    // A damaged user file falls back to the installed default without a message.
    QFile damaged(userFile());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a layout");
    damaged.close();
    {
        auto w = openAll();
        EXPECT_EQ(w->titleAt(kPriceColumn), QStringLiteral("购买价格"));
        w->BitBtn1Click();
    }
    // Without either file the file error shows; the built-in columns stay, the count is not
    // taken.
    QFile::remove(userFile());
    QFile::remove(query::defaultLayoutPath(ResultKind::AssetQuery, app->startDir));
    state.recordCount = 3;
    PromptScript prompts;
    prompts.expect(QStringLiteral("提示"), QStringLiteral("stdcxjg"));
    auto w = openAll();
    EXPECT_EQ(w->columnList().size(), query::builtInColumns().size());
    EXPECT_EQ(w->titleAt(0), QStringLiteral("序号"));
    EXPECT_EQ(w->titleAt(1), QStringLiteral("名称"));
    EXPECT_EQ(label(*w, "Label1"), QStringLiteral("共几条"));
    EXPECT_EQ(state.recordCount, 3);
    EXPECT_EQ(w->model().rowCount(), 12);
}

// ---- picking and leaving -----------------------------------------------------------------------

TEST_F(ResultWindowTest, PickAndExitWithoutSelection) {
    addStandardAssets();
    state.pickedSerial = 7;
    state.rememberedRow = 5;
    auto w = openAll();
    w->DBGrid1->selectionModel()->clearSelection();
    w->DBGrid1DblClick();
    EXPECT_EQ(w->result(), 0);  // still open
    EXPECT_EQ(state.pickedSerial, 7);
    w->BitBtn1Click();
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_EQ(state.pickedSerial, 7);
    EXPECT_EQ(state.rememberedRow, 1);
}

TEST_F(ResultWindowTest, PickTakesTheFirstSelectedRow) {
    const std::vector<int> ids = addStandardAssets();
    auto w = openAll();
    w->selectRows({5, 2});
    w->DBGrid1DblClick();
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_EQ(state.pickedSerial, ids[2]);
    EXPECT_EQ(state.rememberedRow, 3);
    EXPECT_EQ(w->currentRow(), 2);
}

TEST_F(ResultWindowTest, ExitRemembersTheFirstSelectedRow) {
    addStandardAssets();
    state.pickedSerial = 4;
    auto w = openAll();
    w->selectRows({7, 4});
    w->BitBtn1Click();
    EXPECT_EQ(state.rememberedRow, 5);
    EXPECT_EQ(w->currentRow(), 4);
    EXPECT_EQ(state.pickedSerial, 4);
    // A redo window left without a selection keeps the remembered row.
    auto redo = openAll();
    redo->setWindowTitle(TcxjgDlg1::redoCaption());
    redo->DBGrid1->selectionModel()->clearSelection();
    redo->BitBtn1Click();
    EXPECT_EQ(state.rememberedRow, 5);
}

TEST_F(ResultWindowTest, EnterPicksAndEscapeLeaves) {
    const std::vector<int> ids = addStandardAssets();
    {
        auto w = openAll();
        w->selectRows({6});
        QTest::keyClick(w->DBGrid1, Qt::Key_Return);
        EXPECT_EQ(w->result(), QDialog::Accepted);
        EXPECT_EQ(state.pickedSerial, ids[6]);
    }
    auto w = openAll();
    w->DBGrid1->selectionModel()->clearSelection();
    QTest::keyClick(w.get(), Qt::Key_Escape);
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_EQ(state.rememberedRow, 1);
}

TEST_F(ResultWindowTest, OtherKindsPickTheirOwnNumberOrNothing) {
    addStandardAssets();
    app->current->execute(QStringLiteral(
        "insert into jcb (id,jcr,jyr,jcrq) values (5,'王建国','朱红',#06/01/2024#)"));
    app->current->execute(QStringLiteral(
        "insert into wxjlb (id,sxrq,sxdd,wxfy) values (3,#05/01/2024#,'维修站',80.5)"));
    app->history->execute(
        QStringLiteral("insert into his (id,swz,owz,date,czy) values "
                       "(3,'办公室','档案室',#06/02/2024#,'仓管员')"));
    state.pickedSerial = 0;
    state.rememberedRow = 9;
    {
        auto w = openKind(ResultKind::LendingList, QStringLiteral("select * from jcb"));
        EXPECT_EQ(w->titleAt(0), QStringLiteral("序号"));
        w->selectRows({0});
        w->DBGrid1DblClick();
        EXPECT_EQ(state.pickedSerial, 5);
        EXPECT_EQ(state.rememberedRow, 9);
    }
    {
        auto w =
            openKind(ResultKind::MaintenanceList, QStringLiteral("select * from wxjlb where id=3"));
        EXPECT_EQ(w->titleAt(0), QStringLiteral("送修日期"));
        EXPECT_EQ(column(*w, 5).first(), QStringLiteral("80.50"));
        w->selectRows({0});
        w->DBGrid1DblClick();
        EXPECT_EQ(w->result(), 0);
        EXPECT_EQ(state.pickedSerial, 5);
    }
    {
        auto w =
            openKind(ResultKind::TransferHistory, QStringLiteral("select * from his where id=3"));
        EXPECT_EQ(w->model().rowCount(), 1);
        EXPECT_EQ(w->titleAt(0), QStringLiteral("调拨日期"));
        EXPECT_TRUE(w->Label7->isHidden());
        w->DBGrid1TitleClick(1);
        EXPECT_EQ(w->titleAt(1), QStringLiteral("原位置(使用者)"));
        w->selectRows({0});
        w->DBGrid1DblClick();
        EXPECT_EQ(w->result(), 0);
    }
}

// ---- figures and selection ---------------------------------------------------------------------

TEST_F(ResultWindowTest, FiguresOfTheFirstSelectedRow) {
    const std::vector<int> ids = addStandardAssets();
    auto w = openAll();
    w->selectRows({5, 2});
    // Row 2 is JSJ-3: 1200.00 over 60 months at 5 %, 13 months in use.
    EXPECT_EQ(label(*w, "Label2"), QStringLiteral("序号：") + QString::number(ids[2]));
    EXPECT_EQ(label(*w, "Label3"), QStringLiteral("原值：1200.00元"));
    EXPECT_EQ(label(*w, "Label5"), QStringLiteral("折旧：247.00元"));
    EXPECT_EQ(label(*w, "Label6"), QStringLiteral("净值：953.00元"));
    EXPECT_EQ(label(*w, "Label8"), QStringLiteral("   已选择2条"));
    EXPECT_EQ(w->Label8->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(w->BitBtn4->isEnabled());
    w->BitBtn4Click();
    EXPECT_EQ(transferred, (std::vector<int>{2, 5}));
    // Back to one row: the hint and a disabled button.
    w->selectRows({3});
    EXPECT_EQ(label(*w, "Label3"), QStringLiteral("原值：100.00元"));
    EXPECT_EQ(label(*w, "Label5"), QStringLiteral("折旧：95.00元"));  // JSJ-4 is scrapped
    EXPECT_EQ(label(*w, "Label8"), TcxjgDlg1::selectionHint());
    EXPECT_EQ(w->Label8->palette().color(QPalette::WindowText), QColor(Qt::gray));
    EXPECT_FALSE(w->BitBtn4->isEnabled());
}

TEST_F(ResultWindowTest, ArrowKeyReleaseRefreshesTheFigures) {
    const std::vector<int> ids = addStandardAssets();
    auto w = openAll();
    w->selectRows({0});
    w->DBGrid1->setCurrentIndex(w->model().index(0, 0));
    QTest::keyClick(w->DBGrid1, Qt::Key_Down);
    EXPECT_EQ(w->currentRow(), 1);
    EXPECT_EQ(label(*w, "Label2"), QStringLiteral("序号：") + QString::number(ids[1]));
    EXPECT_EQ(label(*w, "Label3"), QStringLiteral("原值：300.00元"));
}

TEST_F(ResultWindowTest, FiguresHiddenForTheUser) {
    addStandardAssets();
    app->settings.zjxs = 1;
    auto w = openAll();
    w->selectRows({1, 2});
    for (const char* l : {"Label2", "Label3", "Label5", "Label6"}) {
        EXPECT_TRUE(label(*w, l).isEmpty()) << l;
    }
    EXPECT_EQ(label(*w, "Label8"), TcxjgDlg1::selectionHint());
    EXPECT_FALSE(w->BitBtn4->isEnabled());
    // Only the pop-up commands enable the transfer then.
    w->N1Click();
    EXPECT_TRUE(w->BitBtn4->isEnabled());
    EXPECT_EQ(label(*w, "Label8"), QStringLiteral("   已选择12条"));
    EXPECT_TRUE(label(*w, "Label3").isEmpty());
}

TEST_F(ResultWindowTest, SelectionCommands) {
    addStandardAssets();
    auto w = openAll();
    w->N3Click();  // kept at a location
    EXPECT_EQ(w->selectedCount(), 8);
    EXPECT_EQ(w->selectedRows(), (std::vector<int>{0, 2, 3, 6, 7, 8, 9, 10}));
    EXPECT_EQ(label(*w, "Label8"), QStringLiteral("   已选择8条"));
    EXPECT_TRUE(w->BitBtn4->isEnabled());
    w->N4Click();  // held by a person
    EXPECT_EQ(w->selectedRows(), (std::vector<int>{1, 4, 5, 11}));
    w->N1Click();
    EXPECT_EQ(w->selectedCount(), 12);
    // Fewer than two: the button goes off and the label stays as it was.
    app->current->execute(QStringLiteral("update sbjl set worp=true"));
    app->current->execute(QStringLiteral("update sbjl set worp=false where num=2 and id='JJ-'"));
    auto single = openAll();
    single->N4Click();
    EXPECT_EQ(single->selectedCount(), 1);
    EXPECT_FALSE(single->BitBtn4->isEnabled());
    EXPECT_EQ(label(*single, "Label8"), TcxjgDlg1::selectionHint());
}

// ---- sorting
// -------------------------------------------------------------------------------------

TEST_F(ResultWindowTest, TitleClickedTwiceThenAnother) {
    addStandardAssets();
    auto w = openAll();
    w->DBGrid1TitleClick(kPriceColumn);
    EXPECT_EQ(w->titleAt(kPriceColumn), QStringLiteral("购买价格 ↑"));
    EXPECT_EQ(state.orderText, QStringLiteral(" order by gmjg asc"));
    EXPECT_EQ(column(*w, kPriceColumn).first(), QStringLiteral("100.00"));
    EXPECT_EQ(column(*w, kPriceColumn).last(), QStringLiteral("1200.00"));
    EXPECT_EQ(w->selectedRows(), std::vector<int>{0});
    EXPECT_EQ(w->currentRow(), 0);
    EXPECT_EQ(label(*w, "Label3"), QStringLiteral("原值：100.00元"));

    w->DBGrid1TitleClick(kPriceColumn);
    EXPECT_EQ(w->titleAt(kPriceColumn), QStringLiteral("购买价格 ↓"));
    EXPECT_EQ(state.orderText, QStringLiteral(" order by gmjg desc"));
    EXPECT_EQ(column(*w, kPriceColumn).first(), QStringLiteral("1200.00"));

    w->DBGrid1TitleClick(kNameColumn);
    EXPECT_EQ(w->titleAt(kPriceColumn), QStringLiteral("购买价格"));
    EXPECT_EQ(w->titleAt(kNameColumn), QStringLiteral("名称 ↑"));
    EXPECT_EQ(state.orderText, QStringLiteral(" order by sbmc asc"));
    EXPECT_EQ(state.sort.sortedColumn, kNameColumn);
    EXPECT_EQ(state.sort.savedTitle, QStringLiteral("名称"));
    EXPECT_FALSE(state.sort.ascendingNext);
    EXPECT_EQ(state.recordCount, 12);
}

TEST_F(ResultWindowTest, AssetNumbersSortByPrefixThenNumber) {
    addStandardAssets();
    auto w = openAll();
    w->DBGrid1TitleClick(kNumberColumn);
    EXPECT_EQ(state.orderText, QStringLiteral(" order by sbjl.id asc,sbjl.num asc"));
    EXPECT_EQ(
        column(*w, kNumberColumn),
        (QStringList{QStringLiteral("JJ-1"), QStringLiteral("JJ-2"), QStringLiteral("JSJ-1"),
                     QStringLiteral("JSJ-2"), QStringLiteral("JSJ-3"), QStringLiteral("JSJ-4"),
                     QStringLiteral("JSJ-5"), QStringLiteral("JSJ-6"), QStringLiteral("JSJ-7"),
                     QStringLiteral("JSJ-8"), QStringLiteral("JSJ-9"), QStringLiteral("JSJ-10")}));
    w->DBGrid1TitleClick(kNumberColumn);
    EXPECT_EQ(column(*w, kNumberColumn).first(), QStringLiteral("JSJ-10"));
    EXPECT_EQ(column(*w, kNumberColumn).last(), QStringLiteral("JJ-1"));
}

TEST_F(ResultWindowTest, OtherKindsSortWithoutTouchingTheOrderText) {
    addStandardAssets();
    int asset = 0;
    for (const char* date : {"06/03/2024", "06/01/2024", "06/02/2024"}) {
        app->current->execute(QStringLiteral("insert into jcb (id,jyr,jcrq) values (%1,'x',#%2#)")
                                  .arg(++asset)
                                  .arg(QString::fromLatin1(date)));
    }
    state.orderText = QStringLiteral(" order by gmjg desc");
    auto w = openKind(ResultKind::LendingList, QStringLiteral("select * from jcb"));
    const int dateColumn = 4;
    EXPECT_EQ(column(*w, dateColumn),
              (QStringList{QStringLiteral("2024-06-01"), QStringLiteral("2024-06-02"),
                           QStringLiteral("2024-06-03")}));
    w->DBGrid1TitleClick(dateColumn);
    w->DBGrid1TitleClick(dateColumn);
    EXPECT_EQ(column(*w, dateColumn).first(), QStringLiteral("2024-06-03"));
    EXPECT_EQ(state.orderText, QStringLiteral(" order by gmjg desc"));
}

TEST_F(ResultWindowTest, RefusedSortLeavesTheWindowAsItWas) {
    addStandardAssets();
    ColumnList columns = query::builtInColumns();
    columns.push_back({QStringLiteral("ynum"), QStringLiteral("使用月数"), 60,
                       query::LayoutColumn::Align::Right, true});
    columns.push_back({QStringLiteral("lost"), QStringLiteral("旧字段"), 60,
                       query::LayoutColumn::Align::Left, true});
    QString error;
    ASSERT_TRUE(query::writeLayoutFile(userFile(), columns, &error));
    auto w = openAll();
    const int months = 10, lost = 11, price = 8;
    w->DBGrid1TitleClick(price);
    w->DBGrid1TitleClick(price);
    const QStringList before = column(*w, price);
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("lost"));
        w->DBGrid1TitleClick(lost);
    }
    EXPECT_EQ(column(*w, price), before);
    EXPECT_EQ(w->titleAt(price), QStringLiteral("购买价格 ↓"));
    EXPECT_EQ(w->titleAt(lost), QStringLiteral("旧字段"));
    EXPECT_EQ(state.orderText, QStringLiteral(" order by gmjg desc"));
    EXPECT_EQ(state.sort.sortedColumn, price);
    EXPECT_TRUE(state.sort.ascendingNext);
    // The computed months in use sort like any column; the window goes on working.
    w->DBGrid1TitleClick(months);
    EXPECT_EQ(w->titleAt(months), QStringLiteral("使用月数 ↑"));
    EXPECT_EQ(w->titleAt(price), QStringLiteral("购买价格"));
}

TEST_F(ResultWindowTest, DraggedColumnKeepsTheArrow) {
    addStandardAssets();
    auto w = openAll();
    QHeaderView* header = w->DBGrid1->horizontalHeader();
    w->DBGrid1TitleClick(kPriceColumn);
    header->moveSection(kPriceColumn, 2);  // from 10 to 2
    EXPECT_EQ(state.sort.sortedColumn, 2);
    EXPECT_EQ(w->titleAt(2), QStringLiteral("购买价格 ↑"));
    EXPECT_TRUE(state.sort.ignoreNextTitleClick);
    // The click that ends the drag sorts nothing.
    w->DBGrid1TitleClick(2);
    EXPECT_FALSE(state.sort.ignoreNextTitleClick);
    EXPECT_EQ(w->titleAt(2), QStringLiteral("购买价格 ↑"));
    EXPECT_EQ(state.orderText, QStringLiteral(" order by gmjg asc"));
    // Columns moved across the sorted one shift it; one moved onto its place pushes it aside.
    header->moveSection(0, 5);
    EXPECT_EQ(state.sort.sortedColumn, 1);
    header->moveSection(6, 1);
    EXPECT_EQ(state.sort.sortedColumn, 2);
    header->moveSection(2, 4);
    EXPECT_EQ(state.sort.sortedColumn, 4);
    header->moveSection(7, 9);  // both after it
    EXPECT_EQ(state.sort.sortedColumn, 4);
    header->moveSection(4, 3);  // onto the one before it
    EXPECT_EQ(state.sort.sortedColumn, 3);
    EXPECT_EQ(w->titleAt(3), QStringLiteral("购买价格 ↑"));
    w->DBGrid1TitleClick(3);  // swallowed
    w->DBGrid1TitleClick(3);
    EXPECT_EQ(w->titleAt(3), QStringLiteral("购买价格 ↓"));
}

TEST_F(ResultWindowTest, MouseDragOnTheTitlesNeitherSortsNorBlocksTheNextClick) {
    addStandardAssets();
    auto w = openAll();
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    QHeaderView* header = w->DBGrid1->horizontalHeader();
    auto centre = [header](int visual) {
        const int logical = header->logicalIndex(visual);
        return QPoint(header->sectionViewportPosition(logical) + header->sectionSize(logical) / 2,
                      header->height() / 2);
    };
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre(kNameColumn));
    EXPECT_EQ(w->titleAt(kNameColumn), QStringLiteral("名称 ↑"));
    const QPoint from = centre(kNameColumn);
    const QPoint to = centre(5);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, from);
    for (int step = 1; step <= 10; ++step) {
        QTest::mouseMove(header->viewport(), from + (to - from) * step / 10);
    }
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, to);
    const int moved = header->visualIndex(kNameColumn);
    ASSERT_GT(moved, kNameColumn);
    EXPECT_EQ(state.sort.sortedColumn, moved);
    EXPECT_EQ(w->titleAt(moved), QStringLiteral("名称 ↑"));
    EXPECT_EQ(state.orderText, QStringLiteral(" order by sbmc asc"));
    EXPECT_FALSE(state.sort.ignoreNextTitleClick);
    // The next real click sorts again.
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre(state.sort.sortedColumn));
    EXPECT_EQ(state.orderText, QStringLiteral(" order by sbmc desc"));
    w->BitBtn1Click();
}

TEST_F(ResultWindowTest, RedoAfterADescendingPriceSortReopensSortedOnTheRememberedRow) {
    const std::vector<int> ids = addStandardAssets();
    ModalScript modals;
    modals.then<TcxjgDlg1>([&](TcxjgDlg1& w) {
        w.DBGrid1TitleClick(kPriceColumn);
        w.DBGrid1TitleClick(kPriceColumn);
        w.selectRows({3});
        w.BitBtn1Click();
        return w.result();
    });
    modals.then<TcxjgDlg1>([&](TcxjgDlg1& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("重新查询"));
        w.FormShow();
        EXPECT_EQ(column(w, kPriceColumn).first(), QStringLiteral("1200.00"));
        EXPECT_EQ(w.currentRow(), 3);
        EXPECT_EQ(w.selectedRows(), std::vector<int>{3});
        // Prices descending: 1200, 1100, 1000, 900 -> JSJ-7.
        EXPECT_EQ(label(w, "Label2"), QStringLiteral("序号：") + QString::number(ids[6]));
        w.BitBtn1Click();
        return w.result();
    });
    state.pickedSerial = 0;
    EXPECT_EQ(query::showAllAssets(nullptr, *app, state), 0);
    EXPECT_EQ(state.rememberedRow, 4);
    EXPECT_EQ(state.orderText, QStringLiteral(" order by gmjg desc"));
    EXPECT_EQ(query::redoLastQuery(nullptr, *app, state), 0);
    EXPECT_EQ(state.rememberedRow, 4);
}

TEST_F(ResultWindowTest, RedoBeforeAnyQueryListsNothing) {
    addStandardAssets();
    ModalScript modals;
    modals.then<TcxjgDlg1>([&](TcxjgDlg1& w) {
        w.FormShow();
        EXPECT_EQ(w.model().rowCount(), 0);
        w.BitBtn1Click();
        return w.result();
    });
    EXPECT_EQ(query::redoLastQuery(nullptr, *app, state), 0);
}

TEST_F(ResultWindowTest, EarlierPickShowsAgainAfterAnExit) {
    const std::vector<int> ids = addStandardAssets();
    ModalScript modals;
    modals.then<TcxjgDlg1>([&](TcxjgDlg1& w) {
        w.selectRows({4});
        w.DBGrid1DblClick();
        return w.result();
    });
    modals.then<TcxjgDlg1>([&](TcxjgDlg1& w) {
        w.BitBtn1Click();
        return w.result();
    });
    EXPECT_EQ(query::showAllAssets(nullptr, *app, state), ids[4]);
    query::ListRequest loans{ResultKind::LendingList,
                             QStringLiteral("select * from jcb"),
                             QStringLiteral("出借资产"),
                             QStringLiteral("出借固定资产列表"),
                             QColor(),
                             QString(),
                             {}};
    EXPECT_EQ(query::showList(nullptr, *app, state, loans), ids[4]);
    // The list kept the last asset query.
    EXPECT_EQ(state.queryText, reports::kAssetQuery);
    EXPECT_EQ(state.reportTitle, QStringLiteral("出借资产"));
}

// ---- layout files
// --------------------------------------------------------------------------------

TEST_F(ResultWindowTest, LayoutSavedPerUserAndKindAndRestoredByDefault) {
    addStandardAssets();
    ColumnList arranged;
    {
        auto w = openAll();
        QHeaderView* header = w->DBGrid1->horizontalHeader();
        header->resizeSection(header->logicalIndex(kNameColumn), 150);
        header->moveSection(kPriceColumn, 1);
        header->hideSection(header->logicalIndex(4));
        w->DBGrid1TitleClick(1);  // swallowed: it ends the drag
        w->DBGrid1TitleClick(1);
        EXPECT_EQ(w->titleAt(1), QStringLiteral("购买价格 ↑"));
        arranged = w->columnList();
        w->BitBtn1Click();
    }
    ASSERT_TRUE(QFile::exists(app->dataDir + QStringLiteral("仓管员cx.cjg")));
    EXPECT_EQ(arranged[1].field, QStringLiteral("gmjg"));
    arranged[1].title = QStringLiteral("购买价格");  // titles are kept without arrows
    EXPECT_EQ(arranged[3].field, QStringLiteral("sbmc"));
    EXPECT_EQ(arranged[3].width, 150);
    EXPECT_FALSE(arranged[4].visible);
    {
        auto w = openAll();
        EXPECT_EQ(w->columnList(), arranged);
        w->BitBtn1Click();
    }
    // Another user, and another kind, have arrangements of their own.
    const QString me = app->userName;
    app->userName = QStringLiteral("会计");
    {
        auto w = openAll();
        EXPECT_EQ(w->titleAt(1), QStringLiteral("编号"));
        w->BitBtn1Click();
    }
    EXPECT_TRUE(QFile::exists(app->dataDir + QStringLiteral("会计cx.cjg")));
    app->userName = me;
    {
        auto w = openKind(ResultKind::LendingList, QStringLiteral("select * from jcb"));
        EXPECT_EQ(w->titleAt(1), QStringLiteral("借用人"));
        w->BitBtn1Click();
    }
    EXPECT_TRUE(QFile::exists(app->dataDir + QStringLiteral("仓管员jc.cjg")));
    // "恢复默认排列" brings the installed arrangement back, and closing keeps it.
    auto w = openAll();
    EXPECT_EQ(w->columnList(), arranged);
    w->DBGrid1TitleClick(3);
    w->Label4Click();
    ColumnList defaults;
    QString error;
    ASSERT_TRUE(query::readLayoutFile(
        query::defaultLayoutPath(ResultKind::AssetQuery, app->startDir), &defaults, &error));
    EXPECT_EQ(w->columnList(), defaults);
    EXPECT_EQ(state.sort.sortedColumn, 0);
    EXPECT_EQ(state.sort.savedTitle, QStringLiteral("序号"));
    w->BitBtn1Click();
    ColumnList saved;
    ASSERT_TRUE(query::readLayoutFile(userFile(), &saved, &error));
    EXPECT_EQ(saved, defaults);
}

TEST_F(ResultWindowTest, RestoringAMissingDefaultChangesNothing) {
    addStandardAssets();
    auto w = openAll();
    w->DBGrid1TitleClick(kPriceColumn);
    const ColumnList before = w->columnList();
    QFile::remove(query::defaultLayoutPath(ResultKind::AssetQuery, app->startDir));
    {
        PromptScript prompts;
        prompts.expect(QStringLiteral("提示"), QStringLiteral("不存在"));
        w->Label4Click();
    }
    EXPECT_EQ(w->columnList(), before);
    EXPECT_EQ(state.sort.sortedColumn, kPriceColumn);
    w->BitBtn1Click();
    ColumnList saved;
    QString error;
    ASSERT_TRUE(query::readLayoutFile(userFile(), &saved, &error));
    EXPECT_EQ(saved[kPriceColumn].title, QStringLiteral("购买价格"));
    EXPECT_EQ(saved[0].title, QStringLiteral("序号"));
}

TEST_F(ResultWindowTest, ClosingResetsTheSortStateToTheFirstColumn) {
    addStandardAssets();
    auto w = openAll();
    w->DBGrid1TitleClick(kPriceColumn);
    w->reject();  // the close box
    EXPECT_EQ(state.sort.sortedColumn, 0);
    EXPECT_EQ(state.sort.savedTitle, QStringLiteral("序号"));
    EXPECT_EQ(w->titleAt(kPriceColumn), QStringLiteral("购买价格"));
    EXPECT_TRUE(QFile::exists(userFile()));
}

TEST_F(ResultWindowTest, PrintGoesToTheInstalledHandler) {
    addStandardAssets();
    {
        auto w = openAll();
        EXPECT_FALSE(w->BitBtn2->isEnabled());
    }
    QString printedQuery;
    int printedColumns = 0;
    query::setPrintHandler([&](TcxjgDlg1& w) {
        printedQuery = w.queryText();
        printedColumns = int(w.columnList().size());
    });
    auto w = openAll();
    EXPECT_TRUE(w->BitBtn2->isEnabled());
    w->BitBtn2Click();
    EXPECT_EQ(printedQuery, reports::kAssetQuery);
    EXPECT_EQ(printedColumns, 16);
}

}  // namespace
}  // namespace fx::test
