#include "usercommands.h"

#include <memory>

#include "dberror.h"
#include "modal.h"
#include "prompt.h"
#include "tmmmdlg.h"
#include "tyhgldlg.h"

namespace fx::users {

QColor ownColour() {
    return QColor(255, 214, 232);
}

void openUserManagement(QWidget* parent, AppState& state) {
    std::unique_ptr<TyhglDlg> dialog;
    try {
        dialog = std::make_unique<TyhglDlg>(state, parent);
    } catch (const db::DbError& e) {
        ui::warn(parent, e.message());
        return;
    }
    ui::runModal(*dialog);
}

void openPasswordChange(QWidget* parent, AppState& state) {
    Tmmmdlg dialog(state, parent);
    ui::runModal(dialog);
}

}  // namespace fx::users
