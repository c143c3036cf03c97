#pragma once

#include <QString>

#include "querystate.h"

class QWidget;

namespace fx {
class AppState;
}

namespace fx::movements {

// The asset as the main window's card shows it: what the borrowing slip prints.
struct CardAsset {
    int serial = 0;  // ID1
    QString number;
    QString name;
    QString model;
    QString configuration;
};

// The loan button: lends the card's asset or takes it back through "借出记录", and prints the
// borrowing slip when asked to. Returns true when the asset was lent or returned, so that the
// window shows the record again (its loan button then reads "已借出" or "未借出"). An asset
// deleted by another user is reported and nothing else happens.
bool lendOrReturn(QWidget* parent, AppState& app, const CardAsset& asset);

// "显示全部借出资产" and "显示到期借出资产": the open loans, or those due today or earlier, in
// the results window. Each returns the serial number of the asset picked there, 0 for none.
int showAllLoans(QWidget* parent, AppState& app, query::QueryState& state);
int showDueLoans(QWidget* parent, AppState& app, query::QueryState& state);
// "当前资产借出归还记录": the lending and return history of the asset with this serial number.
void showLoanHistory(QWidget* parent, AppState& app, query::QueryState& state, int serial);

}  // namespace fx::movements
