#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "registerfixture.h"

namespace fx::db {
class Connection;
}

namespace fx::test {

// A register with a small dictionary, and a started window on it:
//  categories 电子设备 (prefix DZ) and 办公家具 (prefix JJ);
//  names 电脑 (电子设备, DN, at a location), 打印机 (电子设备, DY, held by a person),
//  桌子 (办公家具, ZZ, at a location); uses 办公 and 教学 of 电子设备; models X1 and X2 of 电脑;
//  places 财务科 (a department) and 机房; the person 李四; service lives 五年 and 十年;
//  sources 购买 and 调入.
class CardTest : public RegisterTest {
protected:
    explicit CardTest(Engine engine = Engine::File);
    ~CardTest() override;
    void SetUp() override;
    void TearDown() override;

    // Signs in and starts the window; form and state stay for the test.
    void start(const QString& user = kAdmin, const Rights& rights = allRights());

    // A connection of the test's own on the current database (kept for the test).
    db::Connection& conn();
    // Inserts an asset (a 电脑 of 电子设备 at 财务科, bought 2020-05-06 for 4999.5) and returns
    // its serial number. `extra` is a list of further column assignments in the engine's
    // dialect, e.g. "ybf=1".
    int addAsset(const QString& prefix, int number, const QString& extra = QString());
    // Registers a prefix with its highest number.
    void setPrefix(const QString& prefix, int max);
    // Makes the database refuse every insert or update ("insert", "update") of a table (of the
    // row with that serial only, when given) with the message, through a trigger called name
    // in the engine's own dialect; allow() drops it.
    void refuse(const QString& name, const QString& event, const QString& table,
                const QString& message, int onlySerial = 0);
    void allow(const QString& name, const QString& table);
    // The highest number registered for a prefix, nothing without a row.
    std::optional<int> prefixMax(const QString& prefix);
    // Rows of sbjl that satisfy a condition ("1=1" for all), read as Jet SQL on the server.
    int assetCount(const QString& condition = QStringLiteral("1=1"));
    // One field of the asset with that serial, as text.
    QString field(int serial, const QString& column);
    // The asset number of the asset with that serial ("JSJ-12").
    QString numberOf(int serial);
    // The numbers of the assets under a prefix, in order.
    QList<int> numbersUnder(const QString& prefix);

    std::unique_ptr<AppState> state;
    std::unique_ptr<TMainForm> form;

private:
    std::unique_ptr<db::Connection> conn_;
};

}  // namespace fx::test
