#pragma once

class QWidget;

namespace fx {
class AppState;
}

namespace fx::dictionary {

// Opens the dictionary maintenance window modally on the state's current database; the tree is
// read afresh, so items added from the card since the last opening show. A failure to read the
// dictionary is shown in a message box. Returns true when a save changed the dictionary.
//
// Whatever it returns, the main window then re-reads syq, sortproc, wzb, person, username and
// sortb, refills its category, service-life, custodian and source lists, shows the current card
// again and runs ReloadNameAndUseLists and ReloadModelAndLocationLists: a rename may have
// reached the card on screen.
bool openMaintenance(QWidget* parent, AppState& state);

}  // namespace fx::dictionary
