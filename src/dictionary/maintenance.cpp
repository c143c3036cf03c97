#include "maintenance.h"

#include <memory>

#include "dberror.h"
#include "modal.h"
#include "prompt.h"
#include "tsjzdwh.h"

namespace fx::dictionary {

bool openMaintenance(QWidget* parent, AppState& state) {
    std::unique_ptr<Tsjzdwh> window;
    try {
        window = std::make_unique<Tsjzdwh>(state, parent);
    } catch (const db::DbError& e) {
        ui::warn(parent, e.message());
        return false;
    }
    ui::runModal(*window);
    return window->changed();
}

}  // namespace fx::dictionary
