#include "maintenancetexts.h"

#include <QPalette>
#include <QWidget>

#include "quote.h"

namespace fx::movements {

namespace {

const QString kQueryStart = QStringLiteral(
    "select ID1,(sbjl.id+RIGHT('000'+TRIM(STR(sbjl.num)),4)) AS bh,zclb,sbmc,sbxh,sbpz,wz,sxrq,"
    "wxrq,ghpj,wxfy from sbjl,wxjlb where sbjl.ID1=wxjlb.id");

// " and field like '%text%'" for a filled box. The text is escaped: the boxes drop a typed
// apostrophe, but a pasted one must not break the statement.
QString likeCondition(const char* field, const QString& text) {
    if (text.isEmpty()) return QString();
    return QStringLiteral(" and ") + QString::fromLatin1(field) + QStringLiteral(" like '%") +
           db::escaped(text) + QStringLiteral("%'");
}

QString dateRange(const char* field, const QDate& from, const QDate& to) {
    const QString f = QString::fromLatin1(field);
    return QStringLiteral(" and ") + f + QStringLiteral(">=") + db::jetDate(from) +
           QStringLiteral(" and ") + f + QStringLiteral("<=") + db::jetDate(to);
}

}  // namespace

QString maintenanceListQuery(int serial) {
    return QStringLiteral("select * from wxjlb where id=") + QString::number(serial);
}

QString maintenanceListTitle(int serial) {
    return QStringLiteral("第%1号固定资产维修记录表").arg(serial);
}

QString maintenanceQueryText(const MaintenanceFilter& filter) {
    QString sql = kQueryStart;
    sql += likeCondition("zclb", filter.category);
    sql += likeCondition("sbmc", filter.name);
    sql += likeCondition("sbxh", filter.model);
    sql += likeCondition("wz", filter.place);
    sql += dateRange("sxrq", filter.sentFrom, filter.sentTo);
    sql += dateRange("wxrq", filter.repairedFrom, filter.repairedTo);
    sql += QStringLiteral(" and not ybf");
    return sql;
}

QColor maintenanceColour() {
    return QColor(206, 184, 164);
}

void applyMaintenanceColour(QWidget* window, Theme theme) {
    if (theme != Theme::Colourful) {
        applyDialogTheme(window, theme);
        return;
    }
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, maintenanceColour());
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}

}  // namespace fx::movements
