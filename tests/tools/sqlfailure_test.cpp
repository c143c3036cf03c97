// sql on files it must not touch: a wrong key, a missing file, a file that is no database of
// this system, a statement the engine refuses. Each fails with a message and exit code 1 and
// leaves every file as it was.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "installation.h"
#include "rowset.h"
#include "schema.h"
#include "testsupport.h"

namespace fx::admin::test {
namespace {

class SqlFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        app = tmp_.filePath(QStringLiteral("inst"));
        const CommandResult r = runAdmin(
            {QStringLiteral("init"), app, QStringLiteral("--assets"), QStringLiteral("40")});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        data = dataDirOf(app);
    }
    void writeFile(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    CommandResult sql(const QString& statement) {
        return runAdmin({QStringLiteral("sql"), data, statement});
    }
    // Files of the data folder, for checking that nothing appeared (a journal, a new file).
    QStringList filesIn(const QString& dir) const {
        return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir tmp_;
    QString app;
    QString data;
};

TEST_F(SqlFailureTest, WrongKeyFileIsRefusedAndTheDatabaseUnchanged) {
    QByteArray other(2048, '\0');
    for (int i = 0; i < other.size(); ++i) other[i] = char((i * 37 + 11) & 0xFF);
    const QString wrongKey = tmp_.filePath(QStringLiteral("other/qslkeyf2.dll"));
    writeFile(wrongKey, other);
    ASSERT_NE(schema::currentPasswordFromKeyFile(wrongKey),
              schema::currentPasswordFromKeyFile(keyFileOf(app)));
    const QByteArray before = fileDigest(currentFileOf(app));
    const QStringList files = filesIn(data);

    const CommandResult r =
        runAdmin({QStringLiteral("sql"), data, QStringLiteral("delete from sbjl"),
                  QStringLiteral("--keyfile"), wrongKey});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(QStringLiteral("cannot open"))) << r.err.toStdString();
    EXPECT_EQ(fileDigest(currentFileOf(app)), before);
    EXPECT_EQ(filesIn(data), files);
    auto c = openCurrent(app);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sbjl")), 40);
}

TEST_F(SqlFailureTest, MissingDatabaseFileIsReportedAndNotCreated) {
    const QString empty = tmp_.filePath(QStringLiteral("empty/data"));
    ASSERT_TRUE(QDir().mkpath(empty));
    const CommandResult r =
        runAdmin({QStringLiteral("sql"), empty, QStringLiteral("select * from sbjl"),
                  QStringLiteral("--keyfile"), keyFileOf(app)});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no database file"))) << r.err.toStdString();
    EXPECT_TRUE(filesIn(empty).isEmpty());

    const CommandResult his =
        runAdmin({QStringLiteral("sql"), empty, QStringLiteral("select * from his"),
                  QStringLiteral("--history")});
    EXPECT_EQ(his.code, 1);
    EXPECT_TRUE(filesIn(empty).isEmpty());
}

TEST_F(SqlFailureTest, FileThatIsNoDatabaseIsLeftAsItWas) {
    const QString other = tmp_.filePath(QStringLiteral("junk/data"));
    QByteArray junk;
    for (int i = 0; i < 8192; ++i) junk.append(char((i * 131 + 7) % 251));
    writeFile(QDir(other).filePath(QStringLiteral("gdzc.qsk")), junk);
    writeFile(QDir(other).filePath(QStringLiteral("dbjl.his")),
              QByteArray("plain text, no database"));
    QFile::copy(keyFileOf(app), tmp_.filePath(QStringLiteral("junk/qslkeyf2.dll")));
    const QStringList files = filesIn(other);

    const CommandResult r =
        runAdmin({QStringLiteral("sql"), other, QStringLiteral("update sbjl set wx=true")});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.isEmpty());
    const CommandResult h =
        runAdmin({QStringLiteral("sql"), other, QStringLiteral("delete from his"),
                  QStringLiteral("--history")});
    EXPECT_EQ(h.code, 1);

    QFile f(QDir(other).filePath(QStringLiteral("gdzc.qsk")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), junk);
    QFile g(QDir(other).filePath(QStringLiteral("dbjl.his")));
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    EXPECT_EQ(g.readAll(), QByteArray("plain text, no database"));
    EXPECT_EQ(filesIn(other), files);
}

TEST_F(SqlFailureTest, KeyedDatabaseOfAnotherProgramIsRefused) {
    const QString other = tmp_.filePath(QStringLiteral("foreign/data"));
    ASSERT_TRUE(QDir().mkpath(other));
    const QString file = QDir(other).filePath(QStringLiteral("gdzc.qsk"));
    {
        auto c = db::Connection::create(file, schema::currentPasswordFromKeyFile(keyFileOf(app)));
        c->executeNative(QStringLiteral("create table notes (id integer, body text)"));
    }
    const QByteArray before = fileDigest(file);
    const CommandResult r =
        runAdmin({QStringLiteral("sql"), other, QStringLiteral("delete from notes"),
                  QStringLiteral("--keyfile"), keyFileOf(app)});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("not a current database of this system")))
        << r.err.toStdString();
    EXPECT_EQ(fileDigest(file), before);
}

TEST_F(SqlFailureTest, RefusedStatementReportsTheEnginesMessage) {
    const CommandResult r = sql(QStringLiteral("select * from nosuchtable"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nosuchtable"))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(SqlFailureTest, ChangeThatBreaksTheUniqueNumberChangesNothing) {
    auto c = openCurrent(app);
    const qint64 total = scalar(*c, QStringLiteral("select count(*) from sbjl"));
    db::RowSet prefixes(*c, QStringLiteral("select id,count(*) as n from sbjl group by id "
                                           "order by count(*) desc"));
    prefixes.open();
    ASSERT_GE(prefixes.integer(QStringLiteral("n")), 2);
    const QString prefix = prefixes.text(QStringLiteral("id"));
    c.reset();
    const QByteArray before = fileDigest(currentFileOf(app));

    // Every asset of the prefix would get number 1: the unique (id, num) index refuses the
    // statement and none of its rows changes.
    const CommandResult r = sql(QStringLiteral("update sbjl set num=1 where id='%1'").arg(prefix));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("failed"))) << r.err.toStdString();
    c = openCurrent(app);
    EXPECT_EQ(
        scalar(*c, QStringLiteral("select count(*) from sbjl where id='%1' and num=1").arg(prefix)),
        1);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sbjl")), total);
    c.reset();
    EXPECT_EQ(fileDigest(currentFileOf(app)), before);
}

TEST_F(SqlFailureTest, NoKeyFileAnywhereIsReported) {
    const QString moved = tmp_.filePath(QStringLiteral("volume/data"));
    ASSERT_TRUE(QDir().mkpath(moved));
    ASSERT_TRUE(QFile::copy(currentFileOf(app), QDir(moved).filePath(QStringLiteral("gdzc.qsk"))));
    schema::writeInstallationKey({tmp_.filePath(QStringLiteral("gone")), QString()});
    const CommandResult r =
        runAdmin({QStringLiteral("sql"), moved, QStringLiteral("select * from sbjl")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no key file"))) << r.err.toStdString();

    const CommandResult missing =
        runAdmin({QStringLiteral("sql"), moved, QStringLiteral("select * from sbjl"),
                  QStringLiteral("--keyfile"), tmp_.filePath(QStringLiteral("gone/qslkeyf2.dll"))});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("no key file"))) << missing.err.toStdString();
}

}  // namespace
}  // namespace fx::admin::test
