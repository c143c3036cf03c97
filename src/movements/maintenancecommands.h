#pragma once

#include <functional>

#include "querystate.h"

class QWidget;

namespace fx {
class AppState;
}

namespace fx::movements {

// "维修记录" on the card while browsing: the asset's maintenance records in the results window,
// oldest sending first. Nothing is picked from the list.
void listMaintenanceRecords(QWidget* parent, AppState& app, query::QueryState& state, int serial);

// "填加维修记录" on the card while the asset is modified: the add dialog for the asset. After a
// saved record, an asset already marked as maintained is only told so; otherwise the user is
// told that the asset becomes marked and saved, and markAndSave runs (it sets the card's mark
// and runs the card's save). Returns true when a record was written.
bool addMaintenanceRecord(QWidget* parent, AppState& app, int serial, bool cardMarked,
                          const std::function<void()>& markAndSave);

// "维修记录查寻": the query dialog, then the matching records of assets not scrapped. Returns
// the serial number the main window is to show afterwards (the picked serial number of the
// shared state), 0 when the dialog was cancelled or nothing was ever picked.
int runMaintenanceQuery(QWidget* parent, AppState& app, query::QueryState& state);

}  // namespace fx::movements
