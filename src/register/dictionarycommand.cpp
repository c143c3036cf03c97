#include <QAction>

#include "dberror.h"
#include "mainform.h"
#include "maintenance.h"
#include "rowset.h"

// "数据字典维护" (F6, tool bar "字典"): the maintenance window, and afterwards the card reads the
// dictionary again, since a rename there reaches the assets and the lists on screen.

namespace fx {

void TMainForm::bindDictionaryCommand() {
    bindCommand(N16, [this] { DictionaryClick(); });
}

void TMainForm::DictionaryClick() {
    if (!card_) return;  // not started: no dictionary to maintain
    dictionary::openMaintenance(this, state_);
    rereadDictionary();
}

void TMainForm::rereadDictionary() {
    try {
        for (db::RowSet* rows : {syq_.get(), sortproc_.get(), wzb_.get(), person_.get(),
                                 username_.get(), sortb_.get()})
            rows->reopen();
        fillCardLists();
        // The card on screen again, with the lists of its category and name; the lists' reloads
        // must not change what the record holds.
        showSerial(currentSerial_, true);
        ReloadNameAndUseLists();
        ReloadModelAndLocationLists();
        fillCardFromRow();
    } catch (const db::DbError& e) {
        showDbError(e.message());
    }
}

}  // namespace fx
