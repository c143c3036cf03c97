#include "querycommands.h"

#include "appstate.h"
#include "depreciation.h"
#include "modal.h"
#include "resultkind.h"
#include "tcxjgdlg1.h"
#include "theme.h"
#include "tljcxdlg.h"
#include "tzhcxdlg.h"

namespace fx::query {

namespace {

const QString kSerialOrder = QStringLiteral(" order by ID1 asc");

// Shows the results window of the state's kind and returns what the main window shows next.
int showResults(QWidget* parent, AppState& app, QueryState& state, const QString& caption,
                const QColor& colour, const ListRequest* request = nullptr) {
    TcxjgDlg1 window(app, state, parent);
    if (!caption.isEmpty()) window.setWindowTitle(caption);
    if (request && request->command)
        window.setListCommand(request->commandCaption, request->command);
    if (colour.isValid() && app.theme == Theme::Colourful) {
        QPalette pal = window.palette();
        pal.setColor(QPalette::Window, colour);
        window.setPalette(pal);
        window.setAutoFillBackground(true);
    } else {
        applyDialogTheme(&window, app.theme);
    }
    ui::runModal(window);
    return traitsOf(state.kind).pickable ? state.pickedSerial : 0;
}

}  // namespace

int runComprehensiveQuery(QWidget* parent, AppState& app, QueryState& state) {
    state.queryText = reports::kAssetQuery;
    int result = QDialog::Rejected;
    {
        TzhcxDlg dialog(app, state, parent);
        result = ui::runModal(dialog);
    }
    if (result == TzhcxDlg::kLogical) {
        TljcxDlg logical(app, parent);
        result = ui::runModal(logical);
        state.queryText += logical.conditionText();
    }
    if (result != QDialog::Accepted) return 0;
    state.kind = ResultKind::AssetQuery;
    state.orderText = kSerialOrder;
    return showResults(parent, app, state, QString(), QColor());
}

int showAllAssets(QWidget* parent, AppState& app, QueryState& state) {
    state.queryText = reports::kAssetQuery;
    state.kind = ResultKind::AssetQuery;
    state.orderText = kSerialOrder;
    return showResults(parent, app, state, QString(), QColor());
}

int redoLastQuery(QWidget* parent, AppState& app, QueryState& state) {
    state.kind = ResultKind::AssetQuery;
    return showResults(parent, app, state, TcxjgDlg1::redoCaption(), QColor());
}

int showList(QWidget* parent, AppState& app, QueryState& state, const ListRequest& request) {
    const QString saved = state.queryText;
    state.kind = request.kind;
    state.queryText = request.queryText;
    state.reportTitle = request.reportTitle;
    const int picked = showResults(parent, app, state, request.caption, request.colour, &request);
    state.queryText = saved;
    return picked;
}

}  // namespace fx::query
