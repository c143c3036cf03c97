#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "columnlayout.h"
#include "querystate.h"
#include "resultmodel.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;

namespace fx {
class AppState;
namespace db {
class Connection;
}
namespace ui {
class ClickLabel;
}
}  // namespace fx

namespace fx::query {

class ResultHeader;

// The query results window, "查询结果": the one window that lists records. Its opener fills the
// shared query state (kind, query text, order text, report title), creates the window, may set
// its caption and colour, and shows it modally; afterwards it reads the picked serial number.
//
// Creating the window opens it: the statement runs, the rows show with the user's column
// layout for the kind, and the record count is stored. Showing it (FormShow, run by the first
// show event) moves a "重新查询" window to the remembered row. Closing it, however that
// happens, writes the column layout back to the user's file.
class TcxjgDlg1 : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "query.html")

public:
    // The caption that marks a redo of the last asset query.
    static QString redoCaption() { return QStringLiteral("重新查询"); }

    TcxjgDlg1(AppState& app, QueryState& state, QWidget* parent = nullptr);
    ~TcxjgDlg1() override;

    // ---- controls --------------------------------------------------------------------------
    QTableView* DBGrid1;
    QPushButton* BitBtn1;    // "退出", also Escape
    QPushButton* BitBtn2;    // "打印…"
    QPushButton* BitBtn3;    // "导出"
    QLabel* Label2;          // "序号：" figure
    QLabel* Label3;          // "原值：" figure
    QLabel* Label5;          // "折旧：" figure
    QLabel* Label6;          // "净值：" figure
    QPushButton* BitBtn4;    // "批量调拨"
    QPushButton* BitBtn5;    // the list's own command (setListCommand), hidden without one
    QLabel* Label8;          // selection hint and count, see selectionHintLabel()
    ui::ClickLabel* Label4;  // "恢复默认排列"
    QLabel* Label1;          // "共" + count + "条"
    QLabel* Label7;          // usage hint
    QMenu* PopupMenu1;
    QAction* N1;  // "选择全部"
    QAction* N3;  // "选择全部按位置存放的资产"
    QAction* N4;  // "选择全部按使用者存放的资产"

    static QString selectionHint();
    // The label under the grid that tells how to select for a batch transfer, and how many are.
    QLabel* selectionHintLabel() const { return Label8; }

    // ---- behaviour ---------------------------------------------------------------------------
    // After opening, when first shown: a "重新查询" window with rows moves to the remembered row.
    void FormShow();
    // Double-click or Enter in the grid: picks the first selected row and closes (kinds 0, 1, 4).
    void DBGrid1DblClick();
    // "退出": moves to the first selected row (kinds 0, 1), remembers it (kind 0), closes.
    void BitBtn1Click();
    // A click on the title of the column at display index column: re-sorts (kinds 0, 1, 2, 4).
    void DBGrid1TitleClick(int column);
    // A column dragged from display index from to to: the arrow follows its column.
    void DBGrid1ColumnMoved(int from, int to);
    // A cell click or the release of an arrow or page key: the value figures and the selection
    // count of an asset query.
    void DBGrid1CellClick();
    // "恢复默认排列".
    void Label4Click();
    // The pop-up selection commands.
    void N1Click();
    void N3Click();
    void N4Click();
    // "导出": writes the rows to an .xlsx workbook the user places, then opens it.
    void BitBtn3Click();
    // "打印…" and "批量调拨" (handled by the installed handlers, resulthooks.h).
    void BitBtn2Click();
    void BitBtn4Click();
    // A command of the list's own, offered under "导出" (for example "调拨到盘点位置" of a
    // stocktake's misplaced assets); it reads the window (selectedRows(), table()) and may
    // reloadRows(). Without one, BitBtn5 stays hidden.
    using ListCommand = std::function<void(TcxjgDlg1& window)>;
    void setListCommand(const QString& caption, ListCommand command);
    void BitBtn5Click();

    // ---- what openers, handlers and tests read ------------------------------------------------
    ResultKind kind() const { return state_.kind; }
    const QString& queryText() const { return state_.queryText; }
    const QString& reportTitle() const { return state_.reportTitle; }
    const ResultModel& model() const { return *model_; }
    const ResultTable& table() const { return model_->table(); }
    // The grid's columns in display order, with the titles as shown and the widths as dragged.
    ColumnList columnList() const;
    // The title of the column at a display index.
    QString titleAt(int column) const;
    // Selected rows (0-based), in the grid's order.
    std::vector<int> selectedRows() const;
    int firstSelectedRow() const;
    int selectedCount() const;
    // The row the grid is on, -1 when it has none.
    int currentRow() const;
    // True when the pop-up selection commands are attached to the grid.
    bool popupAttached() const { return popupAttached_; }
    // Selects exactly these rows (as clicks with Ctrl would) and refreshes like a click.
    void selectRows(const std::vector<int>& rows);
    // Runs the window's statement again, so that rows a command has changed (a batch transfer)
    // show their new values, and selects the same assets (by `ID1`) again. Throws db::DbError;
    // the rows shown are then unchanged.
    void reloadRows();

protected:
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void layoutControls();
    void open();
    // The kind's connection; throws db::DbError when it is not open.
    db::Connection* requireConnection() const;
    // Shows a column list: columns, widths, visibility; the header in list order.
    void applyColumns(const ColumnList& columns);
    bool loadLayout(const QString& path, QString* error);
    void moveTo(int row);
    void blankFigures();
    void showSelectionCount(int count);
    void selectWhere(int worp);
    void afterSelectionCommand();
    void closeWindow();

    AppState& app_;
    QueryState& state_;
    ListCommand listCommand_;
    ResultModel* model_;
    ResultHeader* header_;
    bool popupAttached_ = false;
    bool shown_ = false;
    bool closed_ = false;
};

}  // namespace fx::query
