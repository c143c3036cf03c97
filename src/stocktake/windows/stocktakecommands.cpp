#include "stocktakecommands.h"

#include <vector>

#include "appstate.h"
#include "choosestocktakedlg.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "modal.h"
#include "newstocktakedlg.h"
#include "prompt.h"
#include "rowset.h"
#include "stocktakeresultsdlg.h"
#include "stocktakescandlg.h"

namespace fx::stocktake {

namespace {

// The serial numbers of the rows of the last query.
std::vector<int> queryRows(AppState& app, const QString& queryText) {
    db::RowSet r(*app.current, queryText);
    r.open();
    std::vector<int> out;
    out.reserve(std::size_t(r.count()));
    if (r.fieldIndex(QStringLiteral("ID1")) < 0) return out;
    for (; !r.eof(); r.next()) out.push_back(r.integer(QStringLiteral("ID1")));
    return out;
}

// A stocktake chosen by the user; 0 when there is none or the user cancelled.
int choose(QWidget* parent, AppState& app, const QString& caption, bool openOnly) {
    std::vector<Stocktake> choices;
    for (Stocktake& s : list(*app.current))
        if (!openOnly || s.isOpen()) choices.push_back(std::move(s));
    if (choices.empty()) {
        ui::inform(parent, openOnly ? QStringLiteral("没有进行中的盘点，请先新建盘点。")
                                    : QStringLiteral("还没有盘点，请先新建盘点。"));
        return 0;
    }
    ChooseStocktakeDlg d(caption, std::move(choices), parent);
    if (ui::runModal(d) != QDialog::Accepted) return 0;
    return d.chosenId();
}

void openScanning(QWidget* parent, AppState& app, int id) {
    StocktakeScanDlg d(app, id, parent);
    ui::runModal(d);
}

}  // namespace

void newStocktake(QWidget* parent, AppState& app, const QString& lastQueryText) {
    try {
        NewStocktakeDlg d(app, queryRows(app, lastQueryText), parent);
        if (ui::runModal(d) != QDialog::Accepted) return;
        openScanning(parent, app, d.created().id);
    } catch (const db::DbError& e) {
        ui::stop(parent, e.message());
    }
}

void scanStocktake(QWidget* parent, AppState& app) {
    try {
        if (const int id = choose(parent, app, QStringLiteral("盘点扫描"), true))
            openScanning(parent, app, id);
    } catch (const db::DbError& e) {
        ui::stop(parent, e.message());
    }
}

int showStocktakeResults(QWidget* parent, AppState& app, query::QueryState& state) {
    try {
        const int id = choose(parent, app, QStringLiteral("盘点结果"), false);
        if (id == 0) return 0;
        StocktakeResultsDlg d(app, state, id, parent);
        ui::runModal(d);
        return d.pickedSerial();
    } catch (const db::DbError& e) {
        ui::stop(parent, e.message());
    }
    return 0;
}

void endStocktake(QWidget* parent, AppState& app) {
    try {
        const int id = choose(parent, app, QStringLiteral("结束盘点"), true);
        if (id == 0) return;
        const Stocktake s = byId(*app.current, id);
        if (!ui::confirm(parent,
                         QStringLiteral("结束盘点“%1”？结束后不能再扫描，盘点结果仍可查看和打印。")
                             .arg(s.name)))
            return;
        end(*app.current, id, Clock::today());
        ui::inform(parent, QStringLiteral("盘点“%1”已结束。").arg(s.name));
    } catch (const db::DbError& e) {
        ui::stop(parent, e.message());
    }
}

}  // namespace fx::stocktake
