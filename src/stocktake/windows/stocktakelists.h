#pragma once

#include "liststatements.h"
#include "querystate.h"
#include "stocktake.h"

class QWidget;

namespace fx {
class AppState;
namespace query {
class TcxjgDlg1;
}
}  // namespace fx

namespace fx::stocktake {

// The results window's kind of each list.
query::ResultKind resultKindOf(ResultList list);

// Shows one list of a stocktake's results in the results window, which sorts, exports and prints
// it. The misplaced list offers "调拨到盘点位置" to a user with the transfer right, the missing
// list "跟进备注…"; a double-click on an asset of the register picks it. Returns the serial of
// the asset picked to be shown on the card, 0 when none was (the shared picked serial is then
// left as it was).
int showStocktakeList(QWidget* parent, AppState& app, query::QueryState& state, const Stocktake& s,
                      ResultList list);

// "调拨到盘点位置": after a confirmation, the selected misplaced assets are moved to where they
// were found by a batch transfer (misplacedtransfer.h), and the list is read again.
void moveSelectedToFoundPlaces(AppState& app, query::TcxjgDlg1& window);

// "跟进备注…": the remark of the follow-up dialog kept on the selected missing assets (the
// register is not changed), and the list read again.
void noteFollowUp(AppState& app, int stocktakeId, query::TcxjgDlg1& window);

}  // namespace fx::stocktake
