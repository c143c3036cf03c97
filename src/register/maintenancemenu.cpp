#include <QAction>
#include <QPushButton>

#include "dberror.h"
#include "mainform.h"
#include "maintenancecommands.h"
#include "rowset.h"

// The maintenance records reached from the main window: the card's button, which lists the
// shown asset's records while browsing and adds one while the asset is modified, and the
// maintenance query of the query menu.

namespace fx {

void TMainForm::bindMaintenanceCommands() {
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    bindCommand(N12, [this] {
        showPickedAsset(movements::runMaintenanceQuery(this, state_, queryState_));
    });
}

void TMainForm::BitBtn2Click() {
    if (mode_ == EditMode::Browse) {
        movements::listMaintenanceRecords(this, state_, queryState_, currentSerial_);
        return;
    }
    if (mode_ != EditMode::Modify) return;
    const int serial = card_->integer(QStringLiteral("ID1"));
    movements::addMaintenanceRecord(this, state_, serial, card_->yesNo(QStringLiteral("wx")),
                                    [this] {
                                        try {
                                            card_->setValue(QStringLiteral("wx"), true);
                                        } catch (const db::DbError& e) {
                                            showDbError(e.message());
                                            return;
                                        }
                                        Save1Click();
                                    });
}

}  // namespace fx
