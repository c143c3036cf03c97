// The program's state opening its two databases: the files of a data folder or the two schemas
// of a database server, the same way for every window that uses them.
#include <gtest/gtest.h>

#include "appstate.h"
#include "connection.h"
#include "dberror.h"
#include "testinstallation.h"

namespace {

FX_BOTH_ENGINES(AppStateEngines);

TEST_P(AppStateEngines, OpensBothDatabasesWhereTheInstallationKeepsThem) {
    fx::test::TestInstallation install(GetParam());
    auto state = install.signedIn();
    ASSERT_TRUE(state->current);
    ASSERT_TRUE(state->history);
    EXPECT_EQ(state->onServer(), onServer());
    EXPECT_EQ(state->current->isServer(), onServer());
    EXPECT_EQ(state->history->isServer(), onServer());
    // Each database holds its reserved row: the layout's version in username.
    for (auto* c : {state->current.get(), state->history.get()})
        EXPECT_EQ(c->queryValue(QStringLiteral("SELECT COUNT(*) FROM username")).toInt(), 1);
}

TEST(AppStateServer, ASchemaThatIsMissingIsRefusedAndLeavesNoConnection) {
    if (fx::test::serverConninfo().isEmpty()) GTEST_SKIP() << "no test server";
    fx::test::TestInstallation install(fx::test::Engine::Server);
    auto state = install.bare();
    state->server->currentSchema = QStringLiteral("no_such_schema");
    EXPECT_THROW(state->openCurrent(), fx::db::DbError);
    EXPECT_FALSE(state->current);
}

TEST(ServerLocation, ThePasswordIsQuotedIntoTheConnectionString) {
    fx::ServerLocation l;
    l.conninfo = QStringLiteral("host=h dbname=d user=u");
    EXPECT_EQ(l.connectionString(), l.conninfo);
    l.password = QStringLiteral("a b'c\\d");
    EXPECT_EQ(l.connectionString(),
              QStringLiteral("host=h dbname=d user=u password='a b\\'c\\\\d'"));
}

}  // namespace
