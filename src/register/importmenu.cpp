#include <QAction>

#include "mainform.h"
#include "modal.h"
#include "tdrdlg.h"

// "导入资产…" (文件操作): the import window. Imported assets bring dictionary items with them, so
// the card reads the dictionary again afterwards and shows the last asset imported.

namespace fx {

void TMainForm::bindImportCommand() {
    bindCommand(ImportAssets1, [this] { ImportClick(); });
}

void TMainForm::ImportClick() {
    if (!card_ || !state_.rights.ins) return;
    import::TdrDlg dialog(state_, this);
    ui::runModal(dialog);
    if (!dialog.result() || dialog.result()->added == 0) return;
    currentSerial_ = int(dialog.result()->lastSerial);
    rereadDictionary();
}

}  // namespace fx
