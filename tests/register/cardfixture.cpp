#include "cardfixture.h"

#include "connection.h"
#include "engine.h"
#include "rowset.h"
#include "schema.h"

namespace fx::test {

CardTest::CardTest(Engine engine) : RegisterTest(engine) {}
CardTest::~CardTest() = default;

void CardTest::SetUp() {
    RegisterTest::SetUp();
    completeFirstUse();
    conn().executeNative(QStringLiteral(
        "insert into sortproc (sort,title,cz) values ('电子设备','DZ',5),('办公家具','JJ',5);"
        "insert into sortb (name,sort,bht,wzorgr) values ('电脑','电子设备','DN',1),"
        " ('打印机','电子设备','DY',0),('桌子','办公家具','ZZ',1);"
        "insert into ytb (sort,yt) values ('电子设备','办公'),('电子设备','教学');"
        "insert into xhpz (sbmc,sbxh,sbpz) values ('电脑','X1','i5/8G'),('电脑','X2','');"
        "insert into wzb (wz,isbm) values ('财务科',1),('机房',0);"
        "insert into person (pname,bm) values ('李四','财务科');"
        "insert into syq (qx,yue) values ('五年',60),('十年',120);"
        "insert into lyfs (ly) values ('购买'),('调入');"));
}

void CardTest::TearDown() {
    if (form) shutDownDirectly(*form);
    form.reset();
    state.reset();
    conn_.reset();
    RegisterTest::TearDown();
}

void CardTest::start(const QString& user, const Rights& rights) {
    state = signIn(user, rights);
    form = startedForm(*state);
}

db::Connection& CardTest::conn() {
    if (!conn_) conn_ = inst.openCurrentDatabase();
    return *conn_;
}

int CardTest::addAsset(const QString& prefix, int number, const QString& extra) {
    conn().executeNative(
        QStringLiteral("insert into sbjl (id,num,zclb,sbmc,sbxh,sbpz,yt,worp,wz,bgr,ly,bxq,gmrq,"
                       "pzrq,gmjg,other) values ('%1',%2,'电子设备','电脑','X1','i5/8G','办公',1,"
                       "'财务科','李四','购买','五年','2020-05-06','2020-05-06',4999.5,'备用')")
            .arg(prefix)
            .arg(number));
    const int serial = int(conn().lastInsertId());
    if (!extra.isEmpty())
        conn().executeNative(QStringLiteral("update sbjl set ") + extra +
                             QStringLiteral(" where ID1=") + QString::number(serial));
    return serial;
}

void CardTest::setPrefix(const QString& prefix, int max) {
    conn().executeNative(QStringLiteral("delete from idupper where idup='%1';"
                                        "insert into idupper (idup,max) values ('%1',%2)")
                             .arg(prefix)
                             .arg(max));
}

void CardTest::refuse(const QString& name, const QString& event, const QString& table,
                      const QString& message, int onlySerial) {
    if (!inst.onServer()) {
        const QString when =
            onlySerial ? QStringLiteral("when old.ID1=%1 ").arg(onlySerial) : QString();
        conn().executeNative(QStringLiteral("create trigger %1 before %2 on %3 %4"
                                            "begin select raise(abort, '%5'); end")
                                 .arg(name, event, table, when, message));
        return;
    }
    db::detail::Engine& server = conn().engine();
    server.run(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                              "'BEGIN RAISE EXCEPTION ''%2''; END'")
                   .arg(name, message));
    const QString when =
        onlySerial ? QStringLiteral("WHEN (OLD.id1 = %1) ").arg(onlySerial) : QString();
    server.run(
        QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW %4EXECUTE FUNCTION %1()")
            .arg(name, event, table, when));
}

void CardTest::allow(const QString& name, const QString& table) {
    if (!inst.onServer()) {
        conn().executeNative(QStringLiteral("drop trigger ") + name);
        return;
    }
    conn().engine().run(QStringLiteral("DROP TRIGGER %1 ON %2").arg(name, table));
}

std::optional<int> CardTest::prefixMax(const QString& prefix) {
    db::RowSet rows(conn(), QStringLiteral("select * from idupper where idup='%1'").arg(prefix));
    rows.open();
    if (rows.eof()) return std::nullopt;
    return rows.integer(QStringLiteral("max"));
}

int CardTest::assetCount(const QString& condition) {
    return conn()
        .queryValue(QStringLiteral("select count(*) from sbjl where ") + condition)
        .toInt();
}

QString CardTest::field(int serial, const QString& column) {
    db::RowSet rows(conn(), QStringLiteral("select * from sbjl where ID1=%1").arg(serial));
    rows.open();
    return rows.eof() ? QString() : rows.text(column);
}

QString CardTest::numberOf(int serial) {
    return field(serial, QStringLiteral("id")) + field(serial, QStringLiteral("num"));
}

QList<int> CardTest::numbersUnder(const QString& prefix) {
    db::RowSet rows(conn(),
                    QStringLiteral("select num from sbjl where id='%1' order by num").arg(prefix));
    rows.open();
    QList<int> result;
    for (rows.first(); !rows.eof(); rows.next()) result << rows.integer(QStringLiteral("num"));
    return result;
}

}  // namespace fx::test
