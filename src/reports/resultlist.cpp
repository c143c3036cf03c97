#include "resultlist.h"

#include <QDialog>

#include "clock.h"
#include "layout.h"
#include "modal.h"
#include "reportpreview.h"
#include "tpaperdlg.h"
#include "typeaheadbox.h"

namespace fx::reports {

namespace {

std::array<SummaryLine, 2> summaryOf(int kind) {
    switch (kind) {
        case 1:
            return {SummaryLine{QStringLiteral("共有固定资产："), QStringLiteral("COUNT()+'件'")},
                    SummaryLine{}};
        case 2:
        case 4:
            return {SummaryLine{QStringLiteral("总共维修："), QStringLiteral("COUNT()+'次'")},
                    SummaryLine{QStringLiteral("总计维修费用："),
                                QStringLiteral("FORMATNUMERIC('0.00',SUM(wxfy))+'元(RMB)'")}};
        case 3:
            return {SummaryLine{QStringLiteral("总共调拨："), QStringLiteral("COUNT()+'次'")},
                    SummaryLine{}};
        case 7:  // a stocktake's found and misplaced assets
        case 9:
            return {SummaryLine{QStringLiteral("共有固定资产："), QStringLiteral("COUNT()+'件'")},
                    SummaryLine{}};
        case 8:  // a stocktake's missing assets, with their value
            return {SummaryLine{QStringLiteral("盘亏资产："), QStringLiteral("COUNT()+'件'")},
                    SummaryLine{QStringLiteral("原值合计："),
                                QStringLiteral("FORMATNUMERIC('0.00',SUM(yz))+'元  净值合计：'+"
                                               "FORMATNUMERIC('0.00',SUM(jz))+'元'")}};
        case 10:
            return {SummaryLine{QStringLiteral("账外资产："), QStringLiteral("COUNT()+'件'")},
                    SummaryLine{}};
        default:
            return {SummaryLine{}, SummaryLine{}};
    }
}

}  // namespace

int printedColumnCount(int kind) {
    switch (kind) {
        case 3:
            return 6;
        case 4:
            return 10;
        case 5:
        case 7:
        case 8:
        case 9:
            return 9;
        case 10:
            return 5;
        default:
            return 8;  // kinds 1 and 2
    }
}

report::Report resultListReport(int kind, const QList<ListColumn>& gridColumns,
                                const QString& title, report::Paper paper,
                                report::Orientation orientation) {
    ListReportOptions o;
    o.source = ListReportOptions::Source::Custom;
    o.columns = gridColumns.mid(0, printedColumnCount(kind));
    o.paper = paper;
    o.orientation = orientation;
    o.title = title;
    o.listSummary = summaryOf(kind);
    return listReport(o);
}

void printResultList(QWidget* parent, int kind, const QList<ListColumn>& gridColumns,
                     const report::DataSource& rows, const QString& title) {
    report::TpaperDlg paperDialog(parent);
    if (kind == 2 || kind == 4 || kind == 5 || kind >= 7)
        paperDialog.proposeOrientation(report::Orientation::Landscape);
    if (ui::runModal(paperDialog) != QDialog::Accepted) return;
    const report::Report form =
        resultListReport(kind, gridColumns, title, paperDialog.paper(), paperDialog.orientation());
    report::previewReport(form, rows, report::RunOptions{Clock::now()}, parent);
}

}  // namespace fx::reports
