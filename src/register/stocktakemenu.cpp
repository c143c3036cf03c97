#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "mainform.h"
#include "stocktakecommands.h"

// The stocktake reached from the main window: a new stocktake, the scanning window, the results
// and the end of a stocktake. Offered to a user with the dictionary right and to the
// administrator, and not while a card is being edited.

namespace fx {

void TMainForm::buildStocktakeMenu() {
    StocktakeMenu = menuBar()->addMenu(QStringLiteral("资产盘点(&P)"));
    StocktakeMenu->setObjectName(QStringLiteral("StocktakeMenu"));
    NewStocktake1 = addCommand(StocktakeMenu, "NewStocktake1", QStringLiteral("新建盘点…"));
    ScanStocktake1 = addCommand(StocktakeMenu, "ScanStocktake1", QStringLiteral("盘点扫描…"));
    StocktakeMenu->addSeparator();
    StocktakeResults1 = addCommand(StocktakeMenu, "StocktakeResults1", QStringLiteral("盘点结果…"));
    EndStocktake1 = addCommand(StocktakeMenu, "EndStocktake1", QStringLiteral("结束盘点…"));
}

void TMainForm::bindStocktakeCommands() {
    bindCommand(NewStocktake1,
                [this] { stocktake::newStocktake(this, state_, queryState_.queryText); });
    bindCommand(ScanStocktake1, [this] { stocktake::scanStocktake(this, state_); });
    bindCommand(StocktakeResults1, [this] {
        showPickedAsset(stocktake::showStocktakeResults(this, state_, queryState_));
    });
    bindCommand(EndStocktake1, [this] { stocktake::endStocktake(this, state_); });
}

void TMainForm::applyStocktakeState(bool browsing) {
    const bool allowed = browsing && (state_.rights.view || state_.isAdministrator());
    StocktakeMenu->setEnabled(allowed);
    for (QAction* a : {NewStocktake1, ScanStocktake1, StocktakeResults1, EndStocktake1})
        setCommandEnabled(a, allowed);
}

}  // namespace fx
