#pragma once

#include <QList>
#include <QString>

#include "listform.h"

class QWidget;

namespace fx::report {
class DataSource;
}

// Printing the results window's lists other than the asset query: loans (kind 1), repairs of
// an asset (2), transfers of an asset (3), the repair query (4), the loan history (5). The
// paper dialog chooses paper and orientation, then the list report shows the grid's first
// columns and the kind's summary in the preview.
namespace fx::reports {

// How many of the grid's columns (in display order) a kind prints.
int printedColumnCount(int kind);

// The report for a kind: the title, the grid's columns (caption = title, field, width), paper
// and orientation.
report::Report resultListReport(int kind, const QList<ListColumn>& gridColumns,
                                const QString& title, report::Paper paper,
                                report::Orientation orientation);

// "打印…" for the kinds other than the asset query: the paper dialog (landscape preset for kinds 2,
// 4, 5 and the stocktake's lists 7 to 10); when
// confirmed, the preview of the list over `rows`.
void printResultList(QWidget* parent, int kind, const QList<ListColumn>& gridColumns,
                     const report::DataSource& rows, const QString& title);

}  // namespace fx::reports
