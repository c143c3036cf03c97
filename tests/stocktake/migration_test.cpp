#include <QStringList>
#include <QTemporaryDir>

#include "connection.h"
#include "migration.h"
#include "rowset.h"
#include "schema.h"
#include "stocktake.h"
#include "stocktakefixture.h"
#include "stocktaketables.h"

namespace fx::stocktake::test {
namespace {

// Every row of a table, in rowid order, as text.
QStringList dump(db::Connection& c, const QString& table) {
    db::RowSet r(c, QStringLiteral("select * from ") + table);
    r.open();
    QStringList rows;
    for (; !r.eof(); r.next()) {
        QStringList fields;
        for (int i = 0; i < r.fieldNames().size(); ++i) fields << r.value(i).toString();
        rows << fields.join(QLatin1Char('|'));
    }
    return rows;
}

TEST(StocktakeMigration, AddsTheTablesToADatabaseOfTheFirstLayoutKeepingEveryRow) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gdzc.qsk"));
    QHash<QString, QStringList> before;
    const QStringList tables = {QStringLiteral("sbjl"),     QStringLiteral("wzb"),
                                QStringLiteral("person"),   QStringLiteral("syq"),
                                QStringLiteral("sortproc"), QStringLiteral("users"),
                                QStringLiteral("username")};
    {
        auto c = db::Connection::create(path, QStringLiteral("pw"));
        schema::createCurrentSchema(*c);
        fillRegister(*c);
        EXPECT_EQ(schema::storedVersion(*c), schema::kLayoutVersion);
        EXPECT_FALSE(c->hasTable(QStringLiteral("pdrw")));
        for (const QString& t : tables) before.insert(t, dump(*c, t));
    }
    auto c = db::Connection::open(path, QStringLiteral("pw"));
    ASSERT_TRUE(schema::needsMigration(*c, schema::DatabaseKind::Current));
    schema::migrate(*c, schema::DatabaseKind::Current);

    EXPECT_GE(schema::storedVersion(*c), schema::kStocktakeVersion);
    EXPECT_FALSE(schema::needsMigration(*c, schema::DatabaseKind::Current));
    for (const char* t : {"pdrw", "pdmx", "pdsm"}) EXPECT_TRUE(c->hasTable(QString::fromLatin1(t)));
    for (const QString& t : tables) {
        if (t == QStringLiteral("username")) continue;  // its version rose
        EXPECT_EQ(dump(*c, t), before.value(t)) << t.toStdString();
    }
    EXPECT_EQ(c->queryValue(QStringLiteral("select count(*) from username")).toInt(), 1);
    // The new tables work on the migrated file, and a second migration changes nothing.
    const Stocktake s =
        create(*c, QStringLiteral("首次"), {}, QStringLiteral("u"), QDate(2026, 1, 2));
    EXPECT_EQ(s.expected, 5);
    schema::migrate(*c, schema::DatabaseKind::Current);
    EXPECT_EQ(list(*c).size(), 1u);
}

}  // namespace
}  // namespace fx::stocktake::test
