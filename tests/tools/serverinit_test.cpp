// server-init: the register's two databases made on a database server.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "connection.h"
#include "dberror.h"
#include "engine.h"
#include "schema.h"
#include "testserver.h"
#include "testsupport.h"

namespace fx::admin::test {
namespace {

// An empty database of its own on the test server for each test, dropped afterwards.
class ServerInitTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (fx::test::serverConninfo().isEmpty()) {
            GTEST_SKIP() << "no test server: FX_TEST_PG is not set (scripts/test.sh starts one)";
        }
        static int counter = 0;
        name_ =
            QStringLiteral("fx_init_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
        admin()->engine().run(QStringLiteral("CREATE DATABASE ") + name_);
        conninfo_ = fx::test::serverConninfo() + QStringLiteral(" dbname=") + name_;
    }
    void TearDown() override {
        if (name_.isEmpty()) return;
        admin()->engine().run(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name_));
    }

    std::unique_ptr<db::Connection> admin() const {
        return db::Connection::openServer(fx::test::serverConninfo(), QStringLiteral("public"));
    }
    std::unique_ptr<db::Connection> current() const {
        return db::Connection::openServer(conninfo_, QLatin1String(schema::kServerCurrentSchema));
    }
    std::unique_ptr<db::Connection> history() const {
        return db::Connection::openServer(conninfo_, QLatin1String(schema::kServerHistorySchema));
    }

    QString name_;
    QString conninfo_;
};

TEST_F(ServerInitTest, MakesBothDatabasesWithTheReservedRows) {
    const CommandResult r = runAdmin({QStringLiteral("server-init"), conninfo_});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    auto c = current();
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from users")), 1);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sbjl")), 0);
    // Nobody named the organisation: the first start asks for it.
    EXPECT_EQ(scalar(*c, QStringLiteral("select password from username")), 0);
    EXPECT_EQ(scalar(*history(), QStringLiteral("select count(*) from czjl")), 0);
}

TEST_F(ServerInitTest, OrganisationAndDemoRegister) {
    const CommandResult r =
        runAdmin({QStringLiteral("server-init"), conninfo_, QStringLiteral("--org"),
                  QStringLiteral("青石岭中学"), QStringLiteral("--demo")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("demo register: 300 assets")));
    auto c = current();
    EXPECT_EQ(schema::organisationName(*c), QStringLiteral("青石岭中学"));
    EXPECT_EQ(scalar(*c, QStringLiteral("select password from username")), 1);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sbjl")), 300);
    // Counters go on after the rows written.
    c->execute(QStringLiteral("insert into sbjl (id,num) values ('ZZ-',1)"));
    EXPECT_EQ(c->lastInsertId(), scalar(*c, QStringLiteral("select max(ID1) from sbjl")));
    EXPECT_GT(c->lastInsertId(), 300);
}

TEST_F(ServerInitTest, RefusedOnAServerThatHoldsTheRegisterAlready) {
    ASSERT_EQ(runAdmin({QStringLiteral("server-init"), conninfo_}).code, 0);
    current()->execute(QStringLiteral("insert into sbjl (id,num) values ('ZZ-',1)"));
    const CommandResult again =
        runAdmin({QStringLiteral("server-init"), conninfo_, QStringLiteral("--demo")});
    EXPECT_EQ(again.code, 1);
    EXPECT_FALSE(again.err.isEmpty());
    // Nothing of the register there was touched.
    EXPECT_EQ(scalar(*current(), QStringLiteral("select count(*) from sbjl")), 1);
}

TEST_F(ServerInitTest, UnreachableServerAndBadCommandLines) {
    const CommandResult unreachable =
        runAdmin({QStringLiteral("server-init"), QStringLiteral("host=/nonexistent dbname=x")});
    EXPECT_EQ(unreachable.code, 1);
    EXPECT_TRUE(unreachable.err.contains(QStringLiteral("database error")));
    EXPECT_EQ(runAdmin({QStringLiteral("server-init")}).code, 2);
    EXPECT_EQ(runAdmin({QStringLiteral("server-init"), conninfo_, QStringLiteral("--org")}).code,
              2);
    EXPECT_EQ(runAdmin({QStringLiteral("server-init"), conninfo_, QStringLiteral("--x")}).code, 2);
    // Nothing was made by the refused command lines.
    EXPECT_THROW(current(), db::DbError);
}

}  // namespace
}  // namespace fx::admin::test
