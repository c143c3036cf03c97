#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "loancommands.h"
#include "mainform.h"

// The loan button on the card and the lending menu: the dialog and the lists live in the
// movements folder; the window hands them the shown asset and shows what they picked or changed.

namespace fx {

void TMainForm::bindLoanCommands() {
    connect(BitBtn1, &QPushButton::clicked, this, [this] { LoanButtonClick(); });
    bindCommand(N13,
                [this] { showPickedAsset(movements::showAllLoans(this, state_, queryState_)); });
    bindCommand(N14,
                [this] { showPickedAsset(movements::showDueLoans(this, state_, queryState_)); });
    bindCommand(N15,
                [this] { movements::showLoanHistory(this, state_, queryState_, shownSerial_); });
}

void TMainForm::LoanButtonClick() {
    if (shownSerial_ == 0 || editMode() != EditMode::Browse) return;
    movements::CardAsset asset;
    asset.serial = shownSerial_;
    asset.number = ComboBox1->currentText();
    asset.name = DBComboBox2->currentText();
    asset.model = DBComboBox5->currentText();
    asset.configuration = DBEdit3->text();
    // Shown again whatever happened: another user may have lent, returned or deleted it.
    movements::lendOrReturn(this, state_, asset);
    showSerialQuietly(shownSerial_);
}

}  // namespace fx
