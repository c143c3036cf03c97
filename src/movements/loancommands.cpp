#include "loancommands.h"

#include <QCheckBox>

#include "appstate.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "loanstore.h"
#include "modal.h"
#include "prompt.h"
#include "querycommands.h"
#include "rowset.h"
#include "schema.h"
#include "slipoutput.h"
#include "sliptexts.h"
#include "tjcjldlg.h"

namespace fx::movements {

namespace {

bool assetExists(db::Connection& current, int serial) {
    db::RowSet rows(current,
                    QStringLiteral("select ID1 from sbjl where ID1=") + QString::number(serial));
    rows.open();
    return !rows.eof();
}

report::LoanSlipData slipData(AppState& app, const CardAsset& asset, const Loan& loan) {
    report::LoanSlipData d;
    d.organisation = schema::organisationName(*app.current);
    d.serial = asset.serial;
    d.number = asset.number;
    d.name = asset.name;
    d.model = asset.model;
    d.configuration = asset.configuration;
    d.lender = loan.lender;
    d.borrower = loan.borrower;
    d.approver = loan.approver;
    d.place = loan.place;
    d.plannedReturn = loan.plannedReturn;
    d.today = Clock::today();
    return d;
}

}  // namespace

bool lendOrReturn(QWidget* parent, AppState& app, const CardAsset& asset) {
    try {
        if (!assetExists(*app.current, asset.serial)) {
            ui::inform(parent, QStringLiteral("该记录已被其他用户删除,不能再对它进行修改。"));
            return false;
        }
        Tjcjldlg dialog(app, asset.serial, parent);
        if (ui::runModal(dialog) != QDialog::Accepted) return false;
        if (dialog.printSlip())
            report::produceSlip(report::loanSlip(slipData(app, asset, dialog.enteredLoan())),
                                dialog.previewFirst(), parent);
        return true;
    } catch (const db::DbError& e) {
        ui::warn(parent, e.message());
        return false;
    }
}

int showAllLoans(QWidget* parent, AppState& app, query::QueryState& state) {
    query::ListRequest r;
    r.kind = query::ResultKind::LendingList;
    r.queryText = allLoansQuery();
    r.caption = QStringLiteral("出借固定资产列表");
    r.reportTitle = schema::organisationName(*app.current) + QStringLiteral("固定资产出借表");
    return query::showList(parent, app, state, r);
}

int showDueLoans(QWidget* parent, AppState& app, query::QueryState& state) {
    query::ListRequest r;
    r.kind = query::ResultKind::LendingList;
    r.queryText = dueLoansQuery(Clock::today());
    r.caption = QStringLiteral("出借到期未归还列表");
    r.reportTitle = schema::organisationName(*app.current) + QStringLiteral("出借资产到期表");
    return query::showList(parent, app, state, r);
}

void showLoanHistory(QWidget* parent, AppState& app, query::QueryState& state, int serial) {
    query::ListRequest r;
    r.kind = query::ResultKind::LendingHistory;
    r.queryText = loanHistoryQuery(serial);
    r.caption = QStringLiteral("第%1号固定资产借出归还记录表").arg(serial);
    r.reportTitle = r.caption;
    query::showList(parent, app, state, r);
}

}  // namespace fx::movements
