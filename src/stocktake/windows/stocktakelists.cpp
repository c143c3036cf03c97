#include "stocktakelists.h"

#include <QMessageBox>

#include "appstate.h"
#include "clock.h"
#include "dberror.h"
#include "followupdlg.h"
#include "misplacedtransfer.h"
#include "modal.h"
#include "prompt.h"
#include "querycommands.h"
#include "results.h"
#include "resulttable.h"
#include "tcxjgdlg1.h"

namespace fx::stocktake {

namespace {

const QColor kStocktakeColour(222, 226, 244);

QString listTitle(ResultList list) {
    switch (list) {
        case ResultList::Found:
            return QStringLiteral("已盘点资产");
        case ResultList::Missing:
            return QStringLiteral("盘亏资产");
        case ResultList::Misplaced:
            return QStringLiteral("位置不符资产");
        case ResultList::Surplus:
            break;
    }
    return QStringLiteral("盘盈（账外）资产");
}

// The text of a field of a row of the window; empty when the list has no such field.
QString cell(const query::ResultTable& t, int row, const char* field) {
    const int f = t.fieldIndex(QString::fromLatin1(field));
    return f >= 0 ? t.text(row, f) : QString();
}

void readAgain(query::TcxjgDlg1& window) {
    try {
        window.reloadRows();
    } catch (const db::DbError& e) {
        ui::stop(&window, e.message());
    }
}

}  // namespace

query::ResultKind resultKindOf(ResultList list) {
    switch (list) {
        case ResultList::Found:
            return query::ResultKind::StocktakeFound;
        case ResultList::Missing:
            return query::ResultKind::StocktakeMissing;
        case ResultList::Misplaced:
            return query::ResultKind::StocktakeMisplaced;
        case ResultList::Surplus:
            break;
    }
    return query::ResultKind::StocktakeSurplus;
}

int showStocktakeList(QWidget* parent, AppState& app, query::QueryState& state, const Stocktake& s,
                      ResultList list) {
    query::ListRequest request;
    request.kind = resultKindOf(list);
    request.queryText = listStatement(list, s.id, Clock::today());
    request.reportTitle = QStringLiteral("盘点“%1”%2清单").arg(s.name, listTitle(list));
    request.caption = QStringLiteral("盘点结果：%1 - %2").arg(s.name, listTitle(list));
    request.colour = kStocktakeColour;
    if (list == ResultList::Misplaced && app.rights.db) {
        request.commandCaption = QStringLiteral("调拨到盘点位置");
        request.command = [&app](query::TcxjgDlg1& w) { moveSelectedToFoundPlaces(app, w); };
    } else if (list == ResultList::Missing) {
        request.commandCaption = QStringLiteral("跟进备注…");
        request.command = [&app, id = s.id](query::TcxjgDlg1& w) { noteFollowUp(app, id, w); };
    }
    // The shared picked serial is never cleared; it is set aside to tell whether this list
    // picked an asset, and kept when it did not.
    const int before = state.pickedSerial;
    state.pickedSerial = 0;
    const int picked = query::showList(parent, app, state, request);
    if (picked == 0) state.pickedSerial = before;
    return picked;
}

void moveSelectedToFoundPlaces(AppState& app, query::TcxjgDlg1& window) {
    const query::ResultTable& t = window.table();
    std::vector<AssetLine> assets;
    for (int row : window.selectedRows()) {
        AssetLine a;
        a.serial = cell(t, row, "sid").toInt();
        a.number = cell(t, row, "bh");
        a.foundPlace = cell(t, row, "pdwz");
        if (a.serial > 0 && !a.foundPlace.isEmpty()) assets.push_back(a);
    }
    if (assets.empty()) {
        ui::warn(&window, QStringLiteral("请选择要调拨的资产。"));
        return;
    }
    if (!ui::confirm(
            &window,
            QStringLiteral("将选中的%1件资产调拨到盘点时发现它们的位置？").arg(assets.size())))
        return;
    const bool slip =
        ui::prompt(&window, {QStringLiteral("提示"), QStringLiteral("是否预览并打印调拨单？"),
                             ui::Icon::Question, QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::Yes}) == QMessageBox::Yes;
    const MoveOutcome o = moveToFoundPlaces(app, assets, slip, &window);
    QString text = QStringLiteral("已调拨%1件资产。").arg(o.moved);
    if (o.heldByPeople > 0)
        text += QStringLiteral("\n%1件按使用者存放的资产未调拨，请在卡片上调拨给新的使用者。")
                    .arg(o.heldByPeople);
    if (!o.error.isEmpty()) {
        ui::stop(&window, o.error + QStringLiteral("\n调拨已停止。") + text);
    } else {
        ui::inform(&window, text);
    }
    readAgain(window);
}

void noteFollowUp(AppState& app, int stocktakeId, query::TcxjgDlg1& window) {
    const query::ResultTable& t = window.table();
    const std::vector<int> rows = window.selectedRows();
    std::vector<int> serials;
    for (int row : rows)
        if (const int sid = cell(t, row, "sid").toInt(); sid > 0) serials.push_back(sid);
    if (serials.empty()) {
        ui::warn(&window, QStringLiteral("请选择盘亏资产。"));
        return;
    }
    // One asset's remark is offered for editing; several get a new one.
    QString remark;
    if (serials.size() == 1) {
        remark = cell(t, rows.front(), "gz");
        remark.remove(QStringLiteral("（已从账上删除）"));
    }
    FollowUpDlg d(int(serials.size()), remark, &window);
    if (ui::runModal(d) != QDialog::Accepted) return;
    try {
        setFollowUp(*app.current, stocktakeId, serials, d.remark());
    } catch (const db::DbError& e) {
        ui::stop(&window, e.message());
        return;
    }
    readAgain(window);
}

}  // namespace fx::stocktake
