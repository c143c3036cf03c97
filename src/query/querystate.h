#pragma once

#include <QString>

namespace fx::query {

// The kinds of list the results window shows. The kind decides the connection, the ORDER BY
// added at opening, the layout files, picking and sorting (resultkind.h).
enum class ResultKind {
    AssetQuery = 0,        // "查寻", "重做上次查寻", "显示打印全部 "
    LendingList = 1,       // assets lent out; overdue loans
    MaintenanceList = 2,   // maintenance records of the current asset
    TransferHistory = 3,   // transfer records of the current asset (history database)
    MaintenanceQuery = 4,  // the maintenance record query
    LendingHistory = 5,    // lending and return records of the current asset (history database)
    ChangeHistory = 6,  // the change history (操作记录) of an asset or a query (history database)
    // The four lists of a stocktake's results (liststatements.h of the stocktake).
    StocktakeFound = 7,      // 已盘点: found where the register says
    StocktakeMissing = 8,    // 盘亏: in scope, never found
    StocktakeMisplaced = 9,  // 位置不符: found at another place
    StocktakeSurplus = 10,   // 盘盈: codes the register does not hold
};

// The asset query text before any query ran: it lists nothing.
inline const QString kNoQueryYet = QStringLiteral("select * from sbjl where ID1=-1");

// The sort state of the results windows. Program-wide and shared by every results window, so
// that a title left with an arrow can be given its own title back.
struct SortState {
    int sortedColumn = 0;               // display index of the column carrying the arrow
    QString savedTitle;                 // that column's title without the arrow
    bool ascendingNext = true;          // the direction the next click on it applies
    bool ignoreNextTitleClick = false;  // set by a column drag: the click ending it sorts nothing
};

// What every opener of the results window and the window itself share for the whole run. The
// openers write the inputs before creating the window and read the outputs after it closed.
struct QueryState {
    ResultKind kind = ResultKind::AssetQuery;
    // The SELECT without ORDER BY. For the asset query it is the asset query text with the
    // conditions of the query dialogs; openers of other kinds save and restore it around their
    // window, so that it always holds the last asset query.
    QString queryText = kNoQueryYet;
    // The ORDER BY of the asset query, with a leading blank; a title click replaces it, so that
    // "重做上次查寻" keeps the user's sort.
    QString orderText;
    // The title of the list report of kinds 1 to 5.
    QString reportTitle;
    // ID1 of the asset picked last in any results window (kind 1: the loan's id); 0 before the
    // first pick, never cleared.
    int pickedSerial = 0;
    // 1-based position of the row picked or left with "退出" in the last asset query window.
    int rememberedRow = 0;
    // Number of rows of the last result shown.
    int recordCount = 0;
    SortState sort;
};

}  // namespace fx::query
