// server-init: the register's two databases made on a database server.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "connection.h"
#include "dberror.h"
#include "engine.h"
#include "installation.h"
#include "rowset.h"
#include "schema.h"
#include "testserver.h"
#include "testsupport.h"

namespace fx::admin::test {
namespace {

QString fieldText(db::Connection& c, const QString& jetSql) {
    db::RowSet rows(c, jetSql);
    rows.open();
    return rows.eof() ? QString() : rows.value(0).toString();
}

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

// The office's files moved to the server and back: every row, serials kept, counters going on.
TEST_F(ServerInitTest, ImportThenExportKeepsEveryRow) {
    QTemporaryDir dir;
    const QString app = dir.filePath(QStringLiteral("app"));
    ASSERT_EQ(runAdmin({QStringLiteral("init"), app, QStringLiteral("--demo")}).code, 0);
    auto file = openCurrent(app);
    const qint64 assets = scalar(*file, QStringLiteral("select count(*) from sbjl"));
    const qint64 highest = scalar(*file, QStringLiteral("select max(ID1) from sbjl"));
    const qint64 loans = scalar(*openHistory(app), QStringLiteral("select count(*) from jyjlb"));
    ASSERT_GT(assets, 0);

    const CommandResult in = runAdmin({QStringLiteral("server-import"), conninfo_, dataDirOf(app)});
    ASSERT_EQ(in.code, 0) << in.err.toStdString();
    auto c = current();
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sbjl")), assets);
    EXPECT_EQ(
        scalar(*c, QStringLiteral("select ID1 from sbjl where ID1=") + QString::number(highest)),
        highest);
    EXPECT_EQ(scalar(*history(), QStringLiteral("select count(*) from jyjlb")), loans);
    c->execute(QStringLiteral("insert into sbjl (id,num) values ('ZZ-',1)"));
    EXPECT_EQ(c->lastInsertId(), highest + 1);
    // A second import would double the register: refused, the server's rows stay.
    EXPECT_EQ(runAdmin({QStringLiteral("server-import"), conninfo_, dataDirOf(app)}).code, 1);
    EXPECT_EQ(scalar(*current(), QStringLiteral("select count(*) from sbjl")), assets + 1);

    const QString back = dir.filePath(QStringLiteral("app/back"));
    ASSERT_TRUE(QDir().mkpath(back));
    const CommandResult out = runAdmin({QStringLiteral("server-export"), conninfo_, back});
    ASSERT_EQ(out.code, 0) << out.err.toStdString();
    auto exported = db::Connection::open(QDir(back).filePath(QStringLiteral("gdzc.qsk")),
                                         schema::currentPasswordFromKeyFile(keyFileOf(app)));
    EXPECT_EQ(scalar(*exported, QStringLiteral("select count(*) from sbjl")), assets + 1);
    EXPECT_EQ(scalar(*exported, QStringLiteral("select max(ID1) from sbjl")), highest + 1);
    EXPECT_EQ(fieldText(*exported, QStringLiteral("select sbmc from sbjl where ID1=1")),
              fieldText(*file, QStringLiteral("select sbmc from sbjl where ID1=1")));
    // Export refuses a folder that holds a database, and leaves it as it was.
    const QByteArray before = fileDigest(QDir(back).filePath(QStringLiteral("gdzc.qsk")));
    EXPECT_EQ(runAdmin({QStringLiteral("server-export"), conninfo_, back}).code, 1);
    EXPECT_EQ(fileDigest(QDir(back).filePath(QStringLiteral("gdzc.qsk"))), before);
}

TEST_F(ServerInitTest, FailedImportLeavesNothingOnTheServer) {
    QTemporaryDir dir;
    // No database in the folder: refused before anything is made.
    EXPECT_EQ(runAdmin({QStringLiteral("server-import"), conninfo_, dir.path()}).code, 1);
    EXPECT_THROW(current(), db::DbError);
    EXPECT_EQ(runAdmin({QStringLiteral("server-import"), conninfo_}).code, 2);
}

}  // namespace
}  // namespace fx::admin::test
