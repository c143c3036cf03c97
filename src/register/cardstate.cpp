#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include "cardlists.h"
#include "displayonly.h"
#include "mainform.h"

// Which commands the window offers while browsing and while a card is being edited, and how the
// card's lists take input.

namespace fx {

void TMainForm::applyBrowseState() {
    SpinEdit1->setEnabled(true);
    for (QMenu* m : {QueryMenu, LendingMenu, FileMenu, SystemMenu}) m->setEnabled(true);
    for (QToolButton* b : {ToolButton1, ToolButton2, ToolButton3, ToolButton4, ToolButton5,
                           ToolButton13, ToolButton14, ToolButton15})
        setButtonEnabled(b, true);
    setCommandEnabled(N8, true);

    // The user's rights narrow the record commands.
    const Rights& r = state_.rights;
    setCommandEnabled(N16, r.view);
    setButtonEnabled(ToolButton13, r.view);
    setCommandEnabled(Modify1, r.modi);
    setButtonEnabled(ToolButton8, r.modi);
    setCommandEnabled(Scrap1, r.del);
    setButtonEnabled(ToolButton7, r.del);
    setCommandEnabled(New1, r.ins);
    setCommandEnabled(ImportAssets1, r.ins);
    setButtonEnabled(ToolButton10, r.ins);
    setCommandEnabled(Transfer1, r.db);
    setButtonEnabled(ToolButton6, r.db);

    // Deleting assets and everything that concerns all users belongs to the administrator.
    const bool admin = state_.isAdministrator();
    for (QAction* a : {N19, N22, N1, N2, Delete1, HistoryQuery1}) setCommandEnabled(a, admin);
    setButtonEnabled(ToolButton9, admin);

    for (QAction* a : {Save1, Cancel1}) setCommandEnabled(a, false);
    for (QToolButton* b : {ToolButton11, ToolButton12}) setButtonEnabled(b, false);
    applyStocktakeState(true);
}

void TMainForm::applyEditState() {
    for (QAction* a : {Modify1, Scrap1, Delete1, Transfer1, N8, New1}) setCommandEnabled(a, false);
    for (QToolButton* b :
         {ToolButton8, ToolButton7, ToolButton9, ToolButton6, ToolButton1, ToolButton10})
        setButtonEnabled(b, false);
    BitBtn3->setEnabled(false);

    for (QAction* a : {Save1, Cancel1}) setCommandEnabled(a, true);
    for (QToolButton* b : {ToolButton11, ToolButton12}) setButtonEnabled(b, true);

    // Only the data menu stays, so that "保存" and "放弃" remain reachable from the keyboard.
    SpinEdit1->setEnabled(false);
    for (QToolButton* b : {ToolButton2, ToolButton3, ToolButton4, ToolButton5, ToolButton13,
                           ToolButton14, ToolButton15})
        setButtonEnabled(b, false);
    for (QMenu* m : {QueryMenu, LendingMenu, FileMenu, SystemMenu}) m->setEnabled(false);
    applyStocktakeState(false);
}

void TMainForm::enableRecordCommands(bool on) {
    for (QAction* a : {Modify1, Scrap1, Delete1, Transfer1}) setCommandEnabled(a, on);
    for (QToolButton* b : {ToolButton8, ToolButton7, ToolButton9, ToolButton6})
        setButtonEnabled(b, on);
}

void TMainForm::ApplyInputMode(bool browsing) {
    if (browsing) {
        for (QComboBox* c : cardLists()) setListTyping(c, true);
        setCardDisplayOnly(true);
        return;
    }
    setCardDisplayOnly(false);
    const Settings& s = state_.settings;
    const int mode = s.input;  // already raised to the system input mode at start-up
    if (mode != 0)
        for (QComboBox* c : {DBComboBox1, DBComboBox6, DBComboBox7}) setListTyping(c, false);
    if (s.mcl != 1 || mode == 2) setListTyping(DBComboBox2, false);
    if (s.wzl != 1 || mode == 2)
        for (QComboBox* c : {DBComboBox3, DBComboBox8}) setListTyping(c, false);
    if (s.ytl != 1 || mode == 2) setListTyping(DBComboBox4, false);
    if (s.xhl != 1 || mode == 2) setListTyping(DBComboBox5, false);
}

void TMainForm::setCardDisplayOnly(bool on) {
    for (QWidget* w : cardFields()) ui::setDisplayOnly(w, on);
}

bool TMainForm::cardTakesInput() const {
    for (QWidget* w : cardFields())
        if (w->isEnabled() && !ui::isDisplayOnly(w)) return true;
    return false;
}

}  // namespace fx
