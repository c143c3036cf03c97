#include "maintenancefixture.h"

#include <QDir>
#include <QFile>
#include <QSpinBox>

#include "connection.h"
#include "rowset.h"

namespace fx::test {

namespace {

QString dateValue(const QDate& d) {
    return d.isValid() ? QLatin1Char('\'') + d.toString(Qt::ISODate) + QLatin1Char('\'')
                       : QStringLiteral("null");
}

}  // namespace

void MaintenanceTest::SetUp() {
    CardTest::SetUp();
    const QDir share(QStringLiteral(FX_SHARE_DIR));
    for (const QString& file : share.entryList({QStringLiteral("std*")}, QDir::Files))
        QFile::copy(share.filePath(file), inst.appPath() + QLatin1Char('/') + file);
}

void MaintenanceTest::addRecord(int serial, const QDate& sent, const QDate& repaired,
                                const QString& parts, double cost) {
    conn().executeNative(
        QStringLiteral("insert into wxjlb (id,sxrq,wxrq,sxdd,ghpj,gzyy,wxfy,wxzk,"
                       "sxr) values (%1,%2,%3,'维修站','%4','老化',%5,'修好','王五')")
            .arg(serial)
            .arg(dateValue(sent), dateValue(repaired), parts)
            .arg(cost));
}

int MaintenanceTest::recordCount(int serial) {
    return conn()
        .queryValue(QStringLiteral("select count(*) from wxjlb where id=") +
                    QString::number(serial))
        .toInt();
}

QString MaintenanceTest::recordField(int serial, const QString& column) {
    db::RowSet rows(conn(), QStringLiteral("select * from wxjlb where id=%1").arg(serial));
    rows.open();
    return rows.eof() ? QString() : rows.text(column);
}

void MaintenanceTest::show(int serial) {
    form->SpinEdit1->setValue(serial);
    form->showSerial(serial);
}

}  // namespace fx::test
