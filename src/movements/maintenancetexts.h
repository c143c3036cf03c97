#pragma once

#include <QColor>
#include <QDate>
#include <QString>

#include "theme.h"

class QWidget;

namespace fx::movements {

// The statement that lists the maintenance records of one asset (without ORDER BY; the results
// window adds its kind's order).
QString maintenanceListQuery(int serial);
// The report title and window caption of that list: "第" + serial + "号固定资产维修记录表".
QString maintenanceListTitle(int serial);

// What the maintenance query dialog was filled with. Texts are already trimmed; an empty text
// sets no condition.
struct MaintenanceFilter {
    QString category;  // zclb
    QString name;      // sbmc
    QString model;     // sbxh
    QString place;     // wz: the location, or the user of an asset held by a person
    QDate sentFrom, sentTo;
    QDate repairedFrom, repairedTo;
};

// The maintenance query: records joined to their assets, with the asset number bh written with
// exactly four digits, substring conditions for the filled boxes, both date ranges (a record
// without one of the dates is never found) and the scrapped assets left out.
QString maintenanceQueryText(const MaintenanceFilter& filter);

// The window caption of the query results and the report title's ending.
inline const QString kMaintenanceQueryCaption = QStringLiteral("维修记录查寻结果");
inline const QString kMaintenanceReportEnding = QStringLiteral("维修情况表");

// The maintenance windows' own colour (red 206, green 184, blue 164), shown under the colourful
// theme; the other themes give their dialog colour.
QColor maintenanceColour();
void applyMaintenanceColour(QWidget* window, Theme theme);

}  // namespace fx::movements
