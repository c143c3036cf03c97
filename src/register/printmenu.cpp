#include <QAction>
#include <QComboBox>

#include "datasource.h"
#include "mainform.h"
#include "modal.h"
#include "resulthooks.h"
#include "resultlist.h"
#include "resultsource.h"
#include "rowset.h"
#include "tbbdydlg.h"
#include "tcxjgdlg1.h"

// Printing reached from the main window: "打印…" of the results window (the report printing
// dialog for an asset query, the paper dialog and the list report for the other lists) and
// "打印当前资产标签" for the asset on the card.

namespace fx {

namespace {

// The results grid's shown columns in display order, as report columns.
QList<reports::ListColumn> gridColumns(const query::TcxjgDlg1& window) {
    QList<reports::ListColumn> columns;
    for (const query::LayoutColumn& c : window.columnList())
        if (c.visible) columns.append({c.title, c.field, c.width});
    return columns;
}

}  // namespace

void TMainForm::bindPrintCommands() {
    query::setPrintHandler([this](query::TcxjgDlg1& window) {
        const query::ResultSource rows(window.table());
        if (window.kind() != query::ResultKind::AssetQuery) {
            reports::printResultList(&window, int(window.kind()), gridColumns(window), rows,
                                     window.reportTitle());
            return;
        }
        reports::TbbdyDlg dialog(state_, rows, window.queryText(), &window);
        QHash<QString, int> widths;
        for (const reports::ListColumn& c : gridColumns(window)) widths.insert(c.field, c.width);
        dialog.setGridWidths(widths);
        ui::runModal(dialog);
    });
    bindCommand(N5, [this] { printCardLabel(); });
}

void TMainForm::printCardLabel() {
    if (!card_ || !card_->isOpen() || card_->isEmpty()) return;
    // The card's record as the label's only row.
    report::MemoryDataSource row(card_->fieldNames());
    QVariantList values;
    for (int i = 0; i < int(card_->fieldNames().size()); ++i) values << card_->value(i);
    row.addRow(values);
    reports::TbbdyDlg dialog(state_, row, QString(), this);
    dialog.setLabelOnly(ComboBox1->currentText());
    ui::runModal(dialog);
}

}  // namespace fx
