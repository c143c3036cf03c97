#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "dberror.h"
#include "mainform.h"
#include "resulthooks.h"
#include "rowset.h"
#include "transfercommands.h"
#include "typeaheadbox.h"

// Transfers reached from the main window: "调拨" for the shown asset, the card's "调拨记录"
// button, and "批量调拨" of the asset query's results window, which the window hands back here.

namespace fx {

void TMainForm::bindTransferCommands() {
    bindCommand(Transfer1, [this] { Transfer1Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    query::setBatchTransferHandler(
        [this](query::TcxjgDlg1& window) { movements::batchTransfer(window, state_); });
}

void TMainForm::Transfer1Click() {
    if (!card_ || card_->eof() || mode_ != EditMode::Browse) return;
    movements::CardAsset asset;
    try {
        asset.serial = card_->integer(QStringLiteral("ID1"));
        asset.place = card_->text(QStringLiteral("wz"));
        asset.custodian = card_->text(QStringLiteral("bgr"));
        asset.name = card_->text(QStringLiteral("sbmc"));
        asset.model = card_->text(QStringLiteral("sbxh"));
    } catch (const db::DbError& e) {
        showDbError(e.message());
        return;
    }
    asset.number = ComboBox1->currentText();
    asset.byLocation = storedAtLocation_;
    asset.placeCaption = Label7->text();
    for (int i = 0; i < DBComboBox8->count(); ++i) asset.custodians << DBComboBox8->itemText(i);
    // The card shows the new place, custodian and date; read again also after a failure, which
    // may have come after the register was saved.
    movements::transferCardAsset(this, state_, asset);
    showSerialQuietly(asset.serial);
}

void TMainForm::BitBtn3Click() {
    if (shownSerial_ == 0) return;
    movements::listTransferHistory(this, state_, queryState_, shownSerial_);
}

}  // namespace fx
