// The change history table reaches history databases of the earlier layout by migration.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "changelogtable.h"
#include "connection.h"
#include "migration.h"
#include "rowset.h"
#include "schema.h"

namespace {

using fx::db::Connection;
namespace schema = fx::schema;

const QString kHistoryPassword = QString::fromLatin1(schema::kHistoryPassword);

TEST(ChangeLogMigration, AHistoryDatabaseOfTheEarlierLayoutGetsTheTableAndKeepsItsRows) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dbjl.his"));
    {
        // The file as the first layout made it, with a transfer on record.
        auto c = Connection::create(path, kHistoryPassword);
        schema::createHistorySchema(*c);
        c->execute(QStringLiteral("insert into his (id, swz, owz) values (3, '甲', '乙')"));
        ASSERT_FALSE(c->hasTable(QStringLiteral("czjl")));
        ASSERT_EQ(schema::storedVersion(*c), schema::kLayoutVersion);
    }
    auto c = Connection::open(path, kHistoryPassword);
    EXPECT_TRUE(schema::needsMigration(*c, schema::DatabaseKind::History));
    schema::migrate(*c, schema::DatabaseKind::History);
    EXPECT_TRUE(c->hasTable(QStringLiteral("czjl")));
    EXPECT_EQ(schema::storedVersion(*c), schema::kChangeLogVersion);
    EXPECT_EQ(schema::layoutVersion(schema::DatabaseKind::History), schema::kChangeLogVersion);
    EXPECT_EQ(c->queryValue(QStringLiteral("select count(*) from his where owz='乙'")).toInt(), 1);
    EXPECT_EQ(c->queryValue(QStringLiteral("select count(*) from sqlite_master where "
                                           "type='index' and tbl_name='czjl'"))
                  .toInt(),
              2);
    // Migrating again changes nothing.
    EXPECT_FALSE(schema::needsMigration(*c, schema::DatabaseKind::History));
    schema::migrate(*c, schema::DatabaseKind::History);
    EXPECT_EQ(schema::storedVersion(*c), schema::kChangeLogVersion);
}

TEST(ChangeLogMigration, ANewInstallationHasTheTableAndTheCurrentDatabaseDoesNot) {
    QTemporaryDir dir;
    schema::createDatabases(dir.path(), QStringLiteral("CurrentPw30"));
    auto history = Connection::open(dir.filePath(QStringLiteral("dbjl.his")), kHistoryPassword);
    EXPECT_TRUE(history->hasTable(QStringLiteral("czjl")));
    EXPECT_EQ(schema::storedVersion(*history), schema::kChangeLogVersion);
    auto current =
        Connection::open(dir.filePath(QStringLiteral("gdzc.qsk")), QStringLiteral("CurrentPw30"));
    EXPECT_FALSE(current->hasTable(QStringLiteral("czjl")));
}

}  // namespace
