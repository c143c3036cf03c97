#include "transfercommands.h"

#include <QLabel>
#include <QPalette>
#include <memory>

#include "appstate.h"
#include "clock.h"
#include "dberror.h"
#include "modal.h"
#include "prompt.h"
#include "querycommands.h"
#include "resulttable.h"
#include "schema.h"
#include "slipoutput.h"
#include "sliptexts.h"
#include "tcxjgdlg1.h"
#include "tpaperdlg.h"
#include "transferstore.h"

namespace fx::movements {

namespace {

// The target dialog, configured for one storage mode. Null when the user cancelled.
std::unique_ptr<report::TpaperDlg> askTarget(QWidget* parent,
                                             const report::TransferTargetSetup& setup) {
    auto dialog = std::make_unique<report::TpaperDlg>(parent);
    dialog->configureAsTransferTarget(setup);
    if (ui::runModal(*dialog) != QDialog::Accepted) return nullptr;
    return dialog;
}

// The grid shows the moved assets' new values; a failure to read them again only leaves the old
// values on screen.
void showNewValues(query::TcxjgDlg1& window) {
    try {
        window.reloadRows();
    } catch (const db::DbError& e) {
        ui::stop(&window, e.message());
    }
}

void setHint(QLabel* label, const QString& text, const QColor& colour) {
    label->setText(text);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

}  // namespace

QString transferHistoryTitle(int serial) {
    return QStringLiteral("第") + QString::number(serial) + QStringLiteral("号固定资产调拨记录表");
}

QString mixedStorageMessage() {
    return QStringLiteral(
        "您选的资产必须全部按位置存放或全部按使用者存放才能进行批量调拨,"
        "请选择相同存放方式的资产。");
}

bool transferCardAsset(QWidget* parent, AppState& app, const CardAsset& asset) {
    report::TransferTargetSetup setup;
    setup.placeCaption = asset.placeCaption;
    setup.custodians = asset.custodians;
    setup.custodianEnabled = asset.byLocation;
    setup.theme = app.theme;
    try {
        setup.places = transferPlaces(app, asset.byLocation);
    } catch (const db::DbError& e) {
        ui::stop(parent, e.message());
        return false;
    }
    const auto dialog = askTarget(parent, setup);
    if (!dialog) return false;

    const TransferTarget target{dialog->target(), dialog->custodian(), app.userName,
                                Clock::today()};
    report::TransferSlipData slip;
    try {
        transferAsset(app, {asset.serial, asset.place, asset.custodian}, target);
        if (dialog->printSlip()) slip.organisation = schema::organisationName(*app.current);
    } catch (const db::DbError& e) {
        ui::stop(parent, e.message());
        return false;
    }
    if (dialog->printSlip()) {
        slip.serial = asset.serial;
        slip.number = asset.number.trimmed();
        slip.name = asset.name.trimmed();
        slip.model = asset.model.trimmed();
        slip.fromPlace = asset.place;
        slip.fromCustodian = asset.custodian;
        slip.toPlace = target.place;
        slip.toCustodian = target.custodian;
        slip.operatorName = app.userName;
        slip.today = target.today;
        report::produceSlip(report::transferSlip(slip), dialog->previewFirst(), parent);
    }
    return true;
}

void batchTransfer(query::TcxjgDlg1& window, AppState& app) {
    setHint(window.selectionHintLabel(), QStringLiteral("处理中，请稍后…"), Qt::red);
    const auto restoreHint = [&window] {
        setHint(window.selectionHintLabel(), query::TcxjgDlg1::selectionHint(), Qt::gray);
    };

    const query::ResultTable& t = window.table();
    const std::vector<int> rows = window.selectedRows();
    const int worp = t.fieldIndex(QStringLiteral("worp"));
    if (rows.empty() || worp < 0) {
        restoreHint();
        return;
    }
    const bool byLocation = t.yesNo(rows.front(), worp);
    for (int r : rows) {
        if (t.yesNo(r, worp) != byLocation) {
            ui::warn(&window, mixedStorageMessage(), QStringLiteral("警告"));
            restoreHint();
            return;
        }
    }

    report::TransferTargetSetup setup;
    setup.placeCaption = report::TpaperDlg::batchPlaceCaption(byLocation);
    setup.custodianEnabled = byLocation;
    setup.theme = app.theme;
    try {
        setup.places = transferPlaces(app, byLocation);
        setup.custodians = transferCustodians(app);
    } catch (const db::DbError& e) {
        ui::stop(&window, e.message());
        restoreHint();
        return;
    }
    const auto dialog = askTarget(&window, setup);
    if (!dialog) {
        restoreHint();
        return;
    }

    const TransferTarget target{dialog->target(), dialog->custodian(), app.userName,
                                Clock::today()};
    const auto field = [&t](int row, const char* name) {
        return t.text(row, t.fieldIndex(QString::fromLatin1(name)));
    };
    report::BatchTransferData slip;
    slip.selectedCount = int(rows.size());
    slip.target = target.place;
    slip.custodian = target.custodian;
    slip.operatorName = app.userName;
    slip.today = target.today;
    int done = 0;
    try {
        if (dialog->printSlip()) slip.organisation = schema::organisationName(*app.current);
        BatchTransaction batch(app);
        // A register that cannot be saved keeps none of the transfers.
        const auto commit = [&] {
            try {
                batch.commit();
            } catch (const db::DbError&) {
                if (!batch.registerCommitted()) done = 0;
                throw;
            }
        };
        try {
            for (int r : rows) {
                const int serial = field(r, "ID1").toInt();
                transferAsset(app, {serial, field(r, "wz"), field(r, "bgr")}, target);
                ++done;
                if (dialog->printSlip())
                    slip.assets.push_back({serial, field(r, "bh"), field(r, "sbmc"),
                                           field(r, "zclb"), field(r, "sbxh")});
            }
        } catch (const db::DbError&) {
            // The assets moved before the error stay moved.
            commit();
            throw;
        }
        commit();
    } catch (const db::DbError& e) {
        ui::stop(&window, e.message() + QStringLiteral("\n调拨已停止，出错之前已调拨的资产共") +
                              QString::number(done) + QStringLiteral("件。"));
        if (done > 0) showNewValues(window);
        restoreHint();
        return;
    }
    showNewValues(window);
    if (dialog->printSlip())
        report::produceSlip(report::batchTransferSlip(slip), dialog->previewFirst(), &window);
    restoreHint();
}

void listTransferHistory(QWidget* parent, AppState& app, query::QueryState& state, int serial) {
    query::ListRequest request;
    request.kind = query::ResultKind::TransferHistory;
    request.queryText = QStringLiteral("select * from his where id=") + QString::number(serial);
    request.reportTitle = transferHistoryTitle(serial);
    request.caption = request.reportTitle;
    request.colour = QColor(255, 226, 125);
    query::showList(parent, app, state, request);
}

}  // namespace fx::movements
