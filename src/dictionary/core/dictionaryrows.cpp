#include "dictionaryrows.h"

#include "connection.h"
#include "quote.h"

namespace fx::dictionary {

namespace {

QString q(const QString& value) {
    return db::quoted(value);
}

QString yesNo(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

void insertCategory(db::Connection& c, const QString& category, const QString& prefix, int rate) {
    c.execute(QStringLiteral("insert into sortproc (sort,title,cz) values (") + q(category) +
              QStringLiteral(",") + q(prefix) + QStringLiteral(",") + QString::number(rate) +
              QStringLiteral(")"));
}

void insertName(db::Connection& c, const QString& name, const QString& category,
                const QString& prefix, bool atPlace) {
    c.execute(QStringLiteral("insert into sortb (name,bht,sort,wzorgr) values (") + q(name) +
              QStringLiteral(",") + q(prefix) + QStringLiteral(",") + q(category) +
              QStringLiteral(",") + yesNo(atPlace) + QStringLiteral(")"));
}

void insertUse(db::Connection& c, const QString& use, const QString& category) {
    c.execute(QStringLiteral("insert into ytb (sort,yt) values (") + q(category) +
              QStringLiteral(",") + q(use) + QStringLiteral(")"));
}

void insertModel(db::Connection& c, const QString& model, const QString& name,
                 const QString& configuration) {
    c.execute(QStringLiteral("insert into xhpz (sbmc,sbxh,sbpz) values (") + q(name) +
              QStringLiteral(",") + q(model) + QStringLiteral(",") + q(configuration) +
              QStringLiteral(")"));
}

void insertLocation(db::Connection& c, const QString& place, bool isDepartment) {
    c.execute(QStringLiteral("insert into wzb (wz,isbm) values (") + q(place) +
              QStringLiteral(",") + yesNo(isDepartment) + QStringLiteral(")"));
}

void insertPerson(db::Connection& c, const QString& person, const QString& department) {
    c.execute(QStringLiteral("insert into person (pname,bm) values (") + q(person) +
              QStringLiteral(",") + q(department) + QStringLiteral(")"));
}

void insertLife(db::Connection& c, const QString& life, int months) {
    c.execute(QStringLiteral("insert into syq (qx,yue) values (") + q(life) + QStringLiteral(",") +
              QString::number(months) + QStringLiteral(")"));
}

void insertSource(db::Connection& c, const QString& source) {
    c.execute(QStringLiteral("insert into lyfs (ly) values (") + q(source) + QStringLiteral(")"));
}

}  // namespace fx::dictionary
