#include <gtest/gtest.h>

#include <sqlite3.h>
#include "qtprint.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "connection.h"
#include "dberror.h"
#include "engine.h"
#include "sqliteengine.h"
#include "testdb.h"

namespace fx::db {
namespace {

using test::readFile;
using test::TestDb;

// ---- Opening, keys and files that are not databases ----------------------------------------

FX_BOTH_ENGINES(ConnectionSchema);
FX_BOTH_ENGINES(ConnectionExecute);
FX_BOTH_ENGINES(ConnectionTransaction);

TEST(ConnectionOpen, OpensWithTheRightPasswordAndReadsTheSchema) {
    TestDb t;
    auto c = Connection::open(t.path(), QString::fromLatin1(TestDb::kPassword));
    EXPECT_TRUE(c->hasTable(QStringLiteral("sbjl")));
    EXPECT_TRUE(c->hasTable(QStringLiteral("SBJL")));
    EXPECT_FALSE(c->hasTable(QStringLiteral("nosuch")));
    EXPECT_EQ(c->queryValue(QStringLiteral("SELECT count(*) FROM sbjl")).toInt(), 3);
    EXPECT_EQ(c->path(), t.path());
}

TEST(ConnectionOpen, FileIsEncrypted) {
    TestDb t;
    const QByteArray bytes = readFile(t.path());
    ASSERT_GT(bytes.size(), 1024);
    EXPECT_FALSE(bytes.startsWith("SQLite format 3"));
    // Text stored in the file is not readable in it.
    EXPECT_EQ(bytes.indexOf(QStringLiteral("台式电脑").toUtf8()), -1);
    EXPECT_EQ(bytes.indexOf("CREATE TABLE"), -1);
    const QString version = t.db().queryValue(QStringLiteral("PRAGMA cipher_version")).toString();
    EXPECT_FALSE(version.isEmpty());
}

TEST(ConnectionOpen, WrongPasswordIsRefusedAndTheFileIsUntouched) {
    TestDb t;
    const QByteArray before = readFile(t.path());
    const QDateTime modified = QFileInfo(t.path()).lastModified();
    try {
        Connection::open(t.path(), QStringLiteral("wrong"));
        FAIL() << "a wrong password opened the file";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QLatin1String("not a database"))) << e.what();
        EXPECT_TRUE(e.message().contains(QStringLiteral("密码不对")));
        EXPECT_EQ(e.code() & 0xff, SQLITE_NOTADB);
    }
    EXPECT_EQ(readFile(t.path()), before);
    EXPECT_EQ(QFileInfo(t.path()).lastModified(), modified);
    EXPECT_FALSE(QFileInfo::exists(t.path() + QStringLiteral("-journal")));
}

TEST(ConnectionOpen, EmptyPasswordDoesNotOpenAKeyedFile) {
    TestDb t;
    EXPECT_THROW(Connection::open(t.path(), QString()), DbError);
}

TEST(ConnectionOpen, MissingFileIsReportedAndNotCreated) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gdzc.qsk"));
    try {
        Connection::open(path, QStringLiteral("pw"));
        FAIL() << "a missing file opened";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("找不到数据库文件")));
        EXPECT_TRUE(e.message().contains(QLatin1String("unable to open database file")));
        EXPECT_EQ(e.code(), SQLITE_CANTOPEN);
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(ConnectionOpen, FileThatIsNoDatabaseIsRefusedAndUntouched) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notes.qsk"));
    QByteArray junk;
    for (int i = 0; i < 4096; ++i) junk.append(char((i * 37 + 11) & 0xff));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
    }
    EXPECT_THROW(Connection::open(path, QStringLiteral("pw")), DbError);
    EXPECT_EQ(readFile(path), junk);

    // A plain text file the same.
    const QString text = dir.filePath(QStringLiteral("readme.txt"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("just some words, not a database\n");
    }
    EXPECT_THROW(Connection::open(text, QStringLiteral("pw")), DbError);
    EXPECT_EQ(readFile(text), QByteArray("just some words, not a database\n"));
}

TEST(ConnectionOpen, DirectoryIsNotOpened) {
    QTemporaryDir dir;
    EXPECT_THROW(Connection::open(dir.path(), QStringLiteral("pw")), DbError);
}

TEST(ConnectionCreate, RefusesAnExistingFileAndLeavesIt) {
    TestDb t;
    const QByteArray before = readFile(t.path());
    EXPECT_THROW(Connection::create(t.path(), QString::fromLatin1(TestDb::kPassword)), DbError);
    EXPECT_EQ(readFile(t.path()), before);
}

TEST(ConnectionCreate, RefusesAnEmptyPassword) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.qsk"));
    EXPECT_THROW(Connection::create(path, QString()), DbError);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(ConnectionOpen, UsesARollbackJournalWrittenThrough) {
    TestDb t;
    EXPECT_EQ(t.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    EXPECT_EQ(t.scalar(QStringLiteral("PRAGMA synchronous")).toInt(), 2);  // FULL
}

// ---- Schema knowledge ----------------------------------------------------------------------

TEST(ConnectionSchema, DeclaredTypesGiveColumnKinds) {
    using K = Connection::ColumnKind;
    struct Case {
        const char* type;
        bool pk;
        K kind;
    } cases[] = {
        {"TEXT(9)", false, K::Text},    {"varchar(50)", false, K::Text},
        {"TEXT", false, K::Text},       {"", false, K::Text},
        {"LONGTEXT", false, K::Memo},   {"MEMO", false, K::Memo},
        {"INTEGER", false, K::Integer}, {"LONG", false, K::Integer},
        {"INTEGER", true, K::Counter},  {"COUNTER", false, K::Counter},
        {"DOUBLE", false, K::Number},   {"NUMBER", false, K::Number},
        {"REAL", false, K::Number},     {"YESNO", false, K::YesNo},
        {"bit", false, K::YesNo},       {"DATE", false, K::Date},
        {"DATETIME", false, K::Date},   {"TEXT(20)", true, K::Text},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Connection::kindOfDeclaredType(QString::fromLatin1(c.type), c.pk), c.kind)
            << c.type << (c.pk ? " primary key" : "");
    }
}

TEST_P(ConnectionSchema, KnowsKindsCountersAndTextColumns) {
    TestDb t(GetParam());
    Connection& c = t.db();
    using K = Connection::ColumnKind;
    EXPECT_EQ(c.columnKind(QStringLiteral("sbjl"), QStringLiteral("ID1")), K::Counter);
    EXPECT_EQ(c.columnKind(QStringLiteral("SBJL"), QStringLiteral("id1")), K::Counter);
    EXPECT_EQ(c.columnKind(QStringLiteral("sbjl"), QStringLiteral("id")), K::Text);
    EXPECT_EQ(c.columnKind(QStringLiteral("sbjl"), QStringLiteral("num")), K::Integer);
    EXPECT_EQ(c.columnKind(QStringLiteral("sbjl"), QStringLiteral("gmjg")), K::Number);
    EXPECT_EQ(c.columnKind(QStringLiteral("sbjl"), QStringLiteral("worp")), K::YesNo);
    EXPECT_EQ(c.columnKind(QStringLiteral("sbjl"), QStringLiteral("gmrq")), K::Date);
    EXPECT_EQ(c.columnKind(QStringLiteral("sbjl"), QStringLiteral("wxjl")), K::Memo);
    EXPECT_EQ(c.columnKind(QStringLiteral("his"), QStringLiteral("index")), K::Counter);
    EXPECT_EQ(c.columnKind(QStringLiteral("his"), QStringLiteral("id")), K::Integer);

    EXPECT_EQ(c.counterColumn(QStringLiteral("sbjl")), QStringLiteral("ID1"));
    EXPECT_EQ(c.counterColumn(QStringLiteral("his")), QStringLiteral("index"));
    EXPECT_TRUE(c.counterColumn(QStringLiteral("person")).isEmpty());

    // "id" is text in sbjl and an integer in his: the qualified question tells them apart.
    EXPECT_TRUE(c.isTextColumn(QStringLiteral("sbjl.id")));
    EXPECT_FALSE(c.isTextColumn(QStringLiteral("his.id")));
    EXPECT_TRUE(c.isTextColumn(QStringLiteral("id")));
    EXPECT_TRUE(c.isTextColumn(QStringLiteral("SBJL.ZCLB")));
    EXPECT_TRUE(c.isTextColumn(QStringLiteral("sbjl.wxjl")));
    EXPECT_FALSE(c.isTextColumn(QStringLiteral("num")));
    EXPECT_FALSE(c.isTextColumn(QStringLiteral("sbjl.gmrq")));
    EXPECT_FALSE(c.isTextColumn(QStringLiteral("sbjl.nosuch")));
    EXPECT_FALSE(c.isTextColumn(QStringLiteral("nosuch.id")));

    EXPECT_TRUE(c.hasColumn(QStringLiteral("person"), QStringLiteral("BM")));
    EXPECT_EQ(c.columnNames(QStringLiteral("person")),
              QStringList({QStringLiteral("pname"), QStringLiteral("bm")}));
}

TEST_P(ConnectionSchema, ReloadSeesTablesCreatedLater) {
    TestDb t(GetParam());
    t.db().executeNative(QStringLiteral("CREATE TABLE lyfs (ly TEXT(20))"));
    EXPECT_FALSE(t.db().hasTable(QStringLiteral("lyfs")));
    t.db().reloadSchema();
    EXPECT_TRUE(t.db().hasTable(QStringLiteral("lyfs")));
    EXPECT_TRUE(t.db().isTextColumn(QStringLiteral("lyfs.ly")));
}

// ---- Change statements --------------------------------------------------------------------

TEST_P(ConnectionExecute, RunsJetTextAndCountsChangedRows) {
    TestDb t(GetParam());
    Connection& c = t.db();
    EXPECT_EQ(c.execute(QStringLiteral("update sbjl set worp=true where zclb='电脑'")), 2);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT count(*) FROM sbjl WHERE worp=1")).toInt(), 3);
    EXPECT_EQ(c.execute(QStringLiteral("update sbjl set gmrq=#12/31/2021# where num=1")), 1);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT gmrq FROM sbjl WHERE num=1")).toString(),
              QStringLiteral("2021-12-31"));
    EXPECT_EQ(c.execute(QStringLiteral("delete from sbjl where id='NONE-'")), 0);
    EXPECT_EQ(c.execute(QStringLiteral("delete from sbjl where id='JSJ-' and num=13")), 1);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT count(*) FROM sbjl")).toInt(), 2);
}

TEST_P(ConnectionExecute, ReportsTheEngineMessage) {
    TestDb t(GetParam());
    try {
        t.db().execute(QStringLiteral("update nosuch set a=1"));
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(
            e.message().contains(QLatin1String(onServer() ? "does not exist" : "no such table")))
            << e.what();
        EXPECT_FALSE(e.isConstraint());
        EXPECT_TRUE(e.statement().contains(QLatin1String("nosuch")));
    }
}

TEST_P(ConnectionExecute, UniqueViolationIsAConstraintError) {
    TestDb t(GetParam());
    try {
        t.db().execute(QStringLiteral("update sbjl set num=12 where num=13"));
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isConstraint());
        EXPECT_EQ(e.code(), SQLITE_CONSTRAINT_UNIQUE);
        EXPECT_TRUE(e.message().contains(QLatin1String(onServer() ? "unique" : "UNIQUE")));
    }
}

// ---- Transactions -------------------------------------------------------------------------

TEST_P(ConnectionTransaction, UncommittedTransactionRollsBack) {
    TestDb t(GetParam());
    {
        Transaction tr(t.db());
        EXPECT_TRUE(t.db().inTransaction());
        t.db().execute(QStringLiteral("delete from sbjl"));
        EXPECT_EQ(t.scalar(QStringLiteral("SELECT count(*) FROM sbjl")).toInt(), 0);
    }
    EXPECT_FALSE(t.db().inTransaction());
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT count(*) FROM sbjl")).toInt(), 3);
}

TEST_P(ConnectionTransaction, ExceptionRollsBackEverythingOfTheCommand) {
    TestDb t(GetParam());
    try {
        Transaction tr(t.db());
        t.db().execute(QStringLiteral("update sbjl set wz='甲' where num=12"));
        t.db().execute(QStringLiteral("update sbjl set num=12 where num=13"));  // fails
        tr.commit();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isConstraint());
    }
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT wz FROM sbjl WHERE num=12")).toString(),
              QStringLiteral("张三"));
}

TEST_P(ConnectionTransaction, CommitKeepsChangesForOtherConnections) {
    TestDb t(GetParam());
    {
        Transaction tr(t.db());
        t.db().execute(QStringLiteral("update sbjl set wz='乙' where num=12"));
        tr.commit();
    }
    auto other = t.openAnother();
    EXPECT_EQ(other->queryValue(QStringLiteral("SELECT wz FROM sbjl WHERE num=12")).toString(),
              QStringLiteral("乙"));
}

TEST_P(ConnectionTransaction, NestedTransactionIsASavepoint) {
    TestDb t(GetParam());
    Transaction outer(t.db());
    t.db().execute(QStringLiteral("update sbjl set wz='外' where num=12"));
    {
        Transaction inner(t.db());
        t.db().execute(QStringLiteral("update sbjl set wz='内' where num=13"));
        // inner is dropped without commit: only its own change goes
    }
    EXPECT_TRUE(t.db().inTransaction());
    {
        Transaction inner(t.db());
        t.db().execute(QStringLiteral("update sbjl set wz='留' where num=1"));
        inner.commit();
    }
    outer.commit();
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT wz FROM sbjl WHERE num=12")).toString(),
              QStringLiteral("外"));
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT wz FROM sbjl WHERE num=13")).toString(),
              QStringLiteral("李四"));
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT wz FROM sbjl WHERE num=1")).toString(),
              QStringLiteral("留"));
}

TEST_P(ConnectionTransaction, BeginTwiceIsRefused) {
    TestDb t(GetParam());
    t.db().begin();
    EXPECT_THROW(t.db().begin(), DbError);
    t.db().rollback();
    EXPECT_FALSE(t.db().inTransaction());
    t.db().rollback();  // nothing open: no error
}

// ---- Two workstations ----------------------------------------------------------------------

TEST(ConnectionConcurrency, WriterWaitsForAnotherInsteadOfFailing) {
    TestDb t;
    auto other = t.openAnother();
    other->begin();
    other->execute(QStringLiteral("update sbjl set wz='别人' where num=12"));
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        other->commit();
    });
    QElapsedTimer timer;
    timer.start();
    EXPECT_NO_THROW({
        Transaction tr(t.db());
        t.db().execute(QStringLiteral("update sbjl set wz='自己' where num=13"));
        tr.commit();
    });
    releaser.join();
    EXPECT_GE(timer.elapsed(), 300);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT wz FROM sbjl WHERE num=12")).toString(),
              QStringLiteral("别人"));
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT wz FROM sbjl WHERE num=13")).toString(),
              QStringLiteral("自己"));
}

TEST(ConnectionConcurrency, LockHeldBeyondTheTimeoutIsABusyError) {
    TestDb t;
    auto other = t.openAnother();
    other->begin();
    // Shorten the wait for the test; the program waits five seconds.
    sqlite3_busy_timeout(static_cast<detail::SqliteEngine&>(t.db().engine()).handle(), 100);
    try {
        t.db().begin();
        FAIL() << "the write lock was not held";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isBusy());
        EXPECT_FALSE(e.isConstraint());
    }
    other->rollback();
    EXPECT_NO_THROW(t.db().begin());
    t.db().rollback();
}

}  // namespace
// On the server a writer waits for the row another holds, not for the whole database.
TEST(ServerConcurrency, WriterWaitsForARowAnotherHolds) {
    if (fx::test::serverConninfo().isEmpty()) GTEST_SKIP() << "FX_TEST_PG is not set";
    TestDb t(fx::test::Engine::Server);
    auto other = t.openAnother();
    other->begin();
    other->execute(QStringLiteral("update sbjl set wz='别人' where num=12"));
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        other->commit();
    });
    QElapsedTimer timer;
    timer.start();
    EXPECT_NO_THROW({
        Transaction tr(t.db());
        t.db().execute(QStringLiteral("update sbjl set wz='自己' where num=12"));
        tr.commit();
    });
    releaser.join();
    EXPECT_GE(timer.elapsed(), 300);
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT wz FROM sbjl WHERE num=12")).toString(),
              QStringLiteral("自己"));
}

TEST(ServerConcurrency, LockHeldBeyondTheTimeoutIsABusyErrorAndTheTransactionGoesOn) {
    if (fx::test::serverConninfo().isEmpty()) GTEST_SKIP() << "FX_TEST_PG is not set";
    TestDb t(fx::test::Engine::Server);
    auto other = t.openAnother();
    other->begin();
    other->execute(QStringLiteral("update sbjl set wz='别人' where num=12"));
    // Shorten the wait for the test; the program waits five seconds.
    t.db().engine().run(QStringLiteral("SET lock_timeout = '100ms'"));
    Transaction tr(t.db());
    t.db().execute(QStringLiteral("update sbjl set wz='自己' where num=13"));
    try {
        t.db().execute(QStringLiteral("update sbjl set wz='自己' where num=12"));
        FAIL() << "the row lock was not held";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isBusy());
        EXPECT_FALSE(e.isConstraint());
    }
    // As on the file, the refused statement leaves the rest of the transaction to commit.
    tr.commit();
    other->rollback();
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT wz FROM sbjl WHERE num=13")).toString(),
              QStringLiteral("自己"));
    EXPECT_EQ(t.scalar(QStringLiteral("SELECT wz FROM sbjl WHERE num=12")).toString(),
              QStringLiteral("张三"));
}

TEST(ServerOpen, MissingSchemaAndUnreachableServerAreClearErrors) {
    if (fx::test::serverConninfo().isEmpty()) GTEST_SKIP() << "FX_TEST_PG is not set";
    try {
        Connection::openServer(fx::test::serverConninfo(), QStringLiteral("no_such_schema"));
        FAIL() << "opened a schema that does not exist";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("server-init")))
            << e.message().toStdString();
    }
    QTemporaryDir dir;
    try {
        Connection::openServer(QStringLiteral("host=%1 dbname=x connect_timeout=2").arg(dir.path()),
                               QStringLiteral("gdzc"));
        FAIL() << "connected to no server";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("无法连接数据库服务器")))
            << e.message().toStdString();
    }
}

}  // namespace fx::db
