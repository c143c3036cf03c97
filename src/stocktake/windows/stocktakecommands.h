#pragma once

#include <QString>

#include "querystate.h"

class QWidget;

namespace fx {
class AppState;
}

namespace fx::stocktake {

// The commands of the main window's "资产盘点" menu. Errors are shown to the user.

// "新建盘点…": the new stocktake dialog (the rows of `lastQueryText` offered as a scope), then
// the scanning window on the stocktake made.
void newStocktake(QWidget* parent, AppState& app, const QString& lastQueryText);
// "盘点扫描…": the scanning window on an open stocktake the user chooses.
void scanStocktake(QWidget* parent, AppState& app);
// "盘点结果…": the results of a stocktake the user chooses, its lists shown in the results
// window with the shared query state. Returns the serial number of the asset the user picked
// in a list to see on the card, 0 for none.
int showStocktakeResults(QWidget* parent, AppState& app, query::QueryState& state);
// "结束盘点…": ends an open stocktake the user chooses, after a confirmation.
void endStocktake(QWidget* parent, AppState& app);

}  // namespace fx::stocktake
