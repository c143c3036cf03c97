#include "dictionaryfixture.h"

#include "connection.h"
#include "engine.h"
#include "quote.h"

namespace fx::test {

DictionaryFixture::DictionaryFixture(Engine engine) : install(engine), state_(install.signedIn()) {
    // Two categories with names, models and uses; places, people, lives and sources.
    run(QStringLiteral(
        "INSERT INTO sortproc (sort,title,cz) VALUES ('电脑','AB',5),('家具','JJ',3)"));
    run(
        QStringLiteral("INSERT INTO sortb (name,sort,bht,wzorgr) VALUES ('台式机','电脑','AB',1),"
                       "('笔记本','电脑','XY',0),('桌子','家具','JJ',1)"));
    run(
        QStringLiteral("INSERT INTO xhpz (sbmc,sbxh,sbpz) VALUES ('台式机','D1','i5 8G'),"
                       "('台式机','D2',''),('桌子','Z1','')"));
    run(QStringLiteral("INSERT INTO ytb (sort,yt) VALUES ('电脑','办公'),('家具','会议')"));
    run(QStringLiteral("INSERT INTO wzb (wz,isbm) VALUES ('财务科',1),('仓库',0)"));
    run(QStringLiteral("INSERT INTO person (pname,bm) VALUES ('张三','财务科')"));
    run(QStringLiteral("INSERT INTO syq (qx,yue) VALUES ('五年',60)"));
    run(QStringLiteral("INSERT INTO lyfs (ly) VALUES ('购置')"));
}

void DictionaryFixture::run(const QString& sql) {
    state_->current->executeNative(sql);
}

QString DictionaryFixture::text(const QString& sql) {
    const QVariant v = state_->current->queryValue(sql);
    return v.isNull() ? QString() : v.toString();
}

int DictionaryFixture::count(const QString& sql) {
    return state_->current->queryValue(sql).toInt();
}

void DictionaryFixture::refuseCategoryChanges() {
    if (!install.onServer()) {
        run(
            QStringLiteral("CREATE TRIGGER no_category BEFORE UPDATE OF zclb ON sbjl "
                           "BEGIN SELECT RAISE(ABORT, 'asset locked'); END"));
        return;
    }
    db::detail::Engine& server = state_->current->engine();
    server.run(
        QStringLiteral("CREATE FUNCTION no_category() RETURNS trigger LANGUAGE plpgsql AS "
                       "'BEGIN RAISE EXCEPTION ''asset locked''; END'"));
    server.run(
        QStringLiteral("CREATE TRIGGER no_category BEFORE UPDATE OF zclb ON sbjl "
                       "FOR EACH ROW EXECUTE FUNCTION no_category()"));
}

qint64 DictionaryFixture::addAsset(const QString& category, const QString& name,
                                   const QString& place, const QString& model, const QString& use,
                                   const QString& custodian, bool atPlace) {
    static int number = 0;
    ++number;
    run(QStringLiteral("INSERT INTO sbjl (id,num,zclb,sbmc,sbxh,yt,wz,bgr,worp,ly,bxq) VALUES "
                       "('T-',%1,%2,%3,%4,%5,%6,%7,%8,'购置','五年')")
            .arg(number)
            .arg(db::quoted(category), db::quoted(name), db::quoted(model), db::quoted(use),
                 db::quoted(place), db::quoted(custodian))
            .arg(atPlace ? 1 : 0));
    return state_->current->lastInsertId();
}

}  // namespace fx::test
