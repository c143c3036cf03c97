#pragma once

#include <QDate>
#include <QString>

#include "cardfixture.h"

namespace fx::test {

// The card fixture with maintenance records written straight into wxjlb.
class MaintenanceTest : public CardTest {
protected:
    explicit MaintenanceTest(Engine engine = Engine::File) : CardTest(engine) {}
    // Installs the default column layouts beside the program, as the installer does.
    void SetUp() override;

    // Writes a record of the asset; an invalid date is stored as null.
    void addRecord(int serial, const QDate& sent, const QDate& repaired,
                   const QString& parts = QString(), double cost = 0);
    // Records of an asset.
    int recordCount(int serial);
    // One field of the asset's only (or first) record, as text.
    QString recordField(int serial, const QString& column);
    // Shows the record with that serial as Enter in the serial box does.
    void show(int serial);
};

}  // namespace fx::test
