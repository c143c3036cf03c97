#include "maintenancecommands.h"

#include "appstate.h"
#include "dberror.h"
#include "maintenancetexts.h"
#include "modal.h"
#include "prompt.h"
#include "querycommands.h"
#include "schema.h"
#include "taddwxjldlg.h"
#include "twxcxdlg.h"

namespace fx::movements {

void listMaintenanceRecords(QWidget* parent, AppState& app, query::QueryState& state, int serial) {
    query::ListRequest request;
    request.kind = query::ResultKind::MaintenanceList;
    request.queryText = maintenanceListQuery(serial);
    request.reportTitle = maintenanceListTitle(serial);
    request.caption = request.reportTitle;
    request.colour = maintenanceColour();
    query::showList(parent, app, state, request);
}

bool addMaintenanceRecord(QWidget* parent, AppState& app, int serial, bool cardMarked,
                          const std::function<void()>& markAndSave) {
    int result = QDialog::Rejected;
    try {
        TaddwxjlDlg dialog(app, serial, parent);
        result = ui::runModal(dialog);
    } catch (const db::DbError& e) {
        ui::stop(parent, e.message());
        return false;
    }
    if (result != QDialog::Accepted) return false;
    if (cardMarked) {
        ui::inform(parent, QStringLiteral("维修记录填加完毕！"), QStringLiteral("提示"));
        return true;
    }
    ui::inform(parent, QStringLiteral("维修记录填加完毕！该记录将自动改为已维修状态,并保存！"),
               QStringLiteral("提示"));
    markAndSave();
    return true;
}

int runMaintenanceQuery(QWidget* parent, AppState& app, query::QueryState& state) {
    query::ListRequest request;
    try {
        request.reportTitle = schema::organisationName(*app.current) + kMaintenanceReportEnding;
    } catch (const db::DbError& e) {
        ui::stop(parent, e.message());
        return 0;
    }
    {
        TwxcxDlg dialog(app, parent);
        if (ui::runModal(dialog) != QDialog::Accepted) return 0;
        request.queryText = dialog.queryText();
    }
    request.kind = query::ResultKind::MaintenanceQuery;
    request.caption = kMaintenanceQueryCaption;
    request.colour = maintenanceColour();
    return query::showList(parent, app, state, request);
}

}  // namespace fx::movements
