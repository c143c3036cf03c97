#pragma once

#include <QColor>
#include <QString>
#include <functional>

#include "querystate.h"

class QWidget;

namespace fx {
class AppState;
}

namespace fx::query {

class TcxjgDlg1;

// The three commands of the main window's query menu. Each returns the serial number (ID1) the
// main window is to show afterwards, as if it had been typed into the serial box: the picked
// serial number of the shared state, or 0 when there is nothing to show. The picked serial
// number is never cleared, so leaving a list with "退出" shows the asset picked last time again.

// "查寻" (F2): the comprehensive query, or through it the logical query, then the results. A
// cancelled dialog shows nothing and returns 0; the query text then holds the asset query
// without conditions (plus an empty logical condition), which "重做上次查寻" lists.
int runComprehensiveQuery(QWidget* parent, AppState& app, QueryState& state);

// "显示打印全部 " (F5): every asset, in serial order.
int showAllAssets(QWidget* parent, AppState& app, QueryState& state);

// "重做上次查寻" (F3): the last asset query again, in the order last chosen, on the row last
// picked or left with "退出". Before any query it lists nothing.
int redoLastQuery(QWidget* parent, AppState& app, QueryState& state);

// A list of another kind (lending, maintenance, transfer). The query text of the last asset
// query is kept around the window. Returns the picked serial number for kinds 1 and 4 (kind 1:
// the loan's asset), 0 for the kinds that cannot pick.
struct ListRequest {
    ResultKind kind = ResultKind::LendingList;
    QString queryText;    // the SELECT without ORDER BY
    QString reportTitle;  // the list report's title
    QString caption;      // the window caption; empty keeps "查询结果"
    QColor colour;        // a kind colour for the colourful theme; invalid: the theme's colour
    // A command of the list's own (TcxjgDlg1::setListCommand); none when empty.
    QString commandCaption;
    std::function<void(TcxjgDlg1& window)> command;
};
int showList(QWidget* parent, AppState& app, QueryState& state, const ListRequest& request);

}  // namespace fx::query
