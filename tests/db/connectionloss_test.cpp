#include <gtest/gtest.h>

#include "connection.h"
#include "dberror.h"
#include "engine.h"
#include "rowset.h"
#include "testdb.h"

// A server connection that the server ends in the middle of the work (a restart, an
// administrator): what was begun is rolled back there and said, the next command connects
// again, and nothing runs on outside the transaction it belonged to.

namespace fx::db {
namespace {

using test::TestDb;

qint64 backendPid(Connection& c) {
    std::unique_ptr<detail::Cursor> st =
        c.engine().prepare(QStringLiteral("SELECT pg_backend_pid()"));
    EXPECT_TRUE(st->step());
    return st->integer(0);
}

class ConnectionLoss : public ::testing::Test {
protected:
    void SetUp() override {
        if (fx::test::serverConninfo().isEmpty()) GTEST_SKIP() << "FX_TEST_PG is not set";
        t = std::make_unique<TestDb>(fx::test::Engine::Server);
        other = t->openAnother();
    }
    // Ends the session of the test's connection from the other one, waiting until it is gone.
    void endSession() {
        const qint64 pid = backendPid(t->db());
        other->engine().run(QStringLiteral("SELECT pg_terminate_backend(%1, 5000)").arg(pid));
    }
    QString custodian(int num) {
        return other->queryValue(QStringLiteral("SELECT wz FROM sbjl WHERE num=%1").arg(num))
            .toString();
    }
    static bool isLossMessage(const DbError& e) {
        return e.message().contains(QStringLiteral("与数据库服务器的连接已断开"));
    }

    std::unique_ptr<TestDb> t;
    std::unique_ptr<Connection> other;
};

TEST_F(ConnectionLoss, BetweenCommandsTheNextCommandConnectsAgain) {
    endSession();
    EXPECT_EQ(t->db().execute(QStringLiteral("update sbjl set wz='王五' where num=12")), 1);
    EXPECT_EQ(custodian(12), QStringLiteral("王五"));
    // The new session is set up as the first was: the program's schema, its functions.
    RowSet rows(t->db(), QStringLiteral("select * from sbjl where wz='王五' order by sbmc"));
    rows.open();
    ASSERT_FALSE(rows.eof());
    EXPECT_EQ(rows.integer(QStringLiteral("num")), 12);
}

TEST_F(ConnectionLoss, InsideATransactionTheWholeCommandIsUndoneAndSaid) {
    {
        Transaction tr(t->db());
        t->db().execute(QStringLiteral("update sbjl set wz='王五' where num=12"));
        endSession();
        try {
            t->db().execute(QStringLiteral("update sbjl set wz='王五' where num=13"));
            FAIL() << "a statement ran on a lost transaction";
        } catch (const DbError& e) {
            EXPECT_TRUE(isLossMessage(e)) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QStringLiteral("没有保存")));
        }
        // A caller that goes on after the error gets no half transaction: every statement is
        // refused until the transaction is rolled back, the commit too.
        EXPECT_TRUE(t->db().inTransaction());
        EXPECT_THROW(t->db().execute(QStringLiteral("update sbjl set wz='赵六' where num=1")),
                     DbError);
        EXPECT_THROW(tr.commit(), DbError);
    }
    EXPECT_FALSE(t->db().inTransaction());
    EXPECT_EQ(custodian(12), QStringLiteral("张三"));
    EXPECT_EQ(custodian(13), QStringLiteral("李四"));
    EXPECT_EQ(custodian(1), QStringLiteral("财务处"));
    // The next command works on a new session.
    Transaction next(t->db());
    t->db().execute(QStringLiteral("update sbjl set wz='王五' where num=13"));
    next.commit();
    EXPECT_EQ(custodian(13), QStringLiteral("王五"));
}

TEST_F(ConnectionLoss, AtTheCommitNothingIsSavedAndTheCommitSaysSo) {
    t->db().begin();
    t->db().execute(QStringLiteral("update sbjl set wz='王五' where num=12"));
    endSession();
    try {
        t->db().commit();
        FAIL() << "a lost transaction was committed";
    } catch (const DbError& e) {
        EXPECT_TRUE(isLossMessage(e)) << e.message().toStdString();
    }
    EXPECT_NO_THROW(t->db().rollback());
    EXPECT_FALSE(t->db().inTransaction());
    EXPECT_EQ(custodian(12), QStringLiteral("张三"));
    EXPECT_NO_THROW(t->db().begin());
    t->db().rollback();
}

TEST_F(ConnectionLoss, ANestedBlockUndoneLeavesTheOuterTransactionLost) {
    Transaction outer(t->db());
    t->db().execute(QStringLiteral("update sbjl set wz='王五' where num=12"));
    {
        Transaction inner(t->db());
        endSession();
        EXPECT_THROW(t->db().execute(QStringLiteral("update sbjl set wz='王五' where num=13")),
                     DbError);
    }
    EXPECT_TRUE(t->db().inTransaction());
    EXPECT_THROW(outer.commit(), DbError);
    outer.rollback();
    EXPECT_FALSE(t->db().inTransaction());
    EXPECT_EQ(custodian(12), QStringLiteral("张三"));
    EXPECT_EQ(t->db().execute(QStringLiteral("update sbjl set wz='王五' where num=1")), 1);
}

TEST_F(ConnectionLoss, ARowSetPostOnALostTransactionIsRefused) {
    RowSet rows(t->db(), QStringLiteral("select * from sbjl where num=12"));
    rows.open();
    Transaction tr(t->db());
    endSession();
    rows.edit();
    rows.setValue(QStringLiteral("wz"), QStringLiteral("王五"));
    EXPECT_THROW(rows.post(), DbError);
    rows.cancel();
    tr.rollback();
    EXPECT_EQ(custodian(12), QStringLiteral("张三"));
}

}  // namespace
}  // namespace fx::db
