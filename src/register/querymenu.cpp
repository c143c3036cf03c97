#include <QSpinBox>

#include "mainform.h"
#include "querycommands.h"

// The query menu: each command runs its query windows and then shows the asset picked in the
// results, as the serial box would.

namespace fx {

void TMainForm::bindQueryCommands() {
    bindCommand(
        N8, [this] { showPickedAsset(query::runComprehensiveQuery(this, state_, queryState_)); });
    bindCommand(N9, [this] { showPickedAsset(query::showAllAssets(this, state_, queryState_)); });
    bindCommand(N10, [this] { showPickedAsset(query::redoLastQuery(this, state_, queryState_)); });
}

void TMainForm::showPickedAsset(int serial) {
    if (serial == 0) return;
    SpinEdit1->setValue(serial);
    showSerialQuietly(serial);
}

}  // namespace fx
