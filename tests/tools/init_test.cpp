// init: the files of a new installation, its keyed databases, the registry stand-in, refusals.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "adminerror.h"
#include "dberror.h"
#include "installation.h"
#include "installer.h"
#include "rowset.h"
#include "schema.h"
#include "sharedir.h"
#include "testsupport.h"

namespace fx::admin::test {
namespace {

class InitTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp_.isValid()); }
    QString path(const QString& name) const { return tmp_.filePath(name); }

    QTemporaryDir tmp_;
};

TEST_F(InitTest, InstallsKeyFileAndSharedFilesIntoNewFolder) {
    const QString app = path(QStringLiteral("a/b/qsl"));  // parents do not exist yet
    const CommandResult r = runAdmin({QStringLiteral("init"), app});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    const QString share = findShareDir();
    ASSERT_FALSE(share.isEmpty());
    EXPECT_EQ(fileDigest(keyFileOf(app)),
              fileDigest(QDir(share).filePath(QString::fromLatin1(schema::kKeyFileName))));
    EXPECT_EQ(QFileInfo(keyFileOf(app)).size(), 2048);
    // Every installed file of share/ is in the installation.
    const QStringList shared = QDir(share).entryList(QDir::Files);
    for (const QString& f : shared) {
        EXPECT_TRUE(QFileInfo::exists(QDir(app).filePath(f))) << f.toStdString();
    }
    EXPECT_TRUE(QFileInfo(currentFileOf(app)).isFile());
    EXPECT_TRUE(QFileInfo(historyFileOf(app)).isFile());
}

TEST_F(InitTest, DatabaseFilesAreEncrypted) {
    const QString app = path(QStringLiteral("qsl"));
    ASSERT_EQ(runAdmin({QStringLiteral("init"), app}).code, 0);
    for (const QString& file : {currentFileOf(app), historyFileOf(app)}) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(16);
        EXPECT_EQ(head.size(), 16);
        EXPECT_FALSE(head.startsWith("SQLite format 3")) << file.toStdString();
    }
}

TEST_F(InitTest, CurrentDatabaseOpensOnlyWithKeyFilePassword) {
    const QString app = path(QStringLiteral("qsl"));
    ASSERT_EQ(runAdmin({QStringLiteral("init"), app}).code, 0);
    const QString password = schema::currentPasswordFromKeyFile(keyFileOf(app));
    ASSERT_FALSE(password.isEmpty());

    auto current = db::Connection::open(currentFileOf(app), password);
    EXPECT_TRUE(current->hasTable(QStringLiteral("sbjl")));
    EXPECT_GE(scalar(*current, QStringLiteral("select version from username")),
              schema::kMinimumVersion);
    current.reset();

    EXPECT_THROW(db::Connection::open(currentFileOf(app), password + QStringLiteral("x")),
                 db::DbError);
    EXPECT_THROW(
        db::Connection::open(currentFileOf(app), QString::fromLatin1(schema::kHistoryPassword)),
        db::DbError);
    auto history = openHistory(app);
    EXPECT_TRUE(history->hasTable(QStringLiteral("jyjlb")));
    EXPECT_TRUE(history->hasTable(QStringLiteral("his")));
}

TEST_F(InitTest, PlainInitLeavesTheRegisterEmptyButForReservedRows) {
    const QString app = path(QStringLiteral("qsl"));
    const CommandResult r = runAdmin({QStringLiteral("init"), app});
    ASSERT_EQ(r.code, 0);
    EXPECT_FALSE(r.out.contains(QStringLiteral("demo register")));
    auto c = openCurrent(app);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sbjl")), 0);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sortproc")), 0);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from idupper")), 0);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from users")), 1);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from username")), 1);
    // First use is still ahead: the organisation name is asked for at the first start.
    EXPECT_EQ(scalar(*c, QStringLiteral("select password from username")), 0);
}

TEST_F(InitTest, WritesRegistryValuesWithDefaultOrganisation) {
    const QString app = path(QStringLiteral("qsl"));
    ASSERT_EQ(runAdmin({QStringLiteral("init"), app}).code, 0);
    const schema::InstallationKey key = schema::readInstallationKey();
    EXPECT_EQ(key.appPath, QDir::cleanPath(QFileInfo(app).absoluteFilePath()));
    EXPECT_FALSE(key.appPath.endsWith(QLatin1Char('/')));
    EXPECT_EQ(key.organisationName, QStringLiteral("青石岭示范单位"));
}

TEST_F(InitTest, WritesGivenOrganisation) {
    const QString app = path(QStringLiteral("qsl"));
    ASSERT_EQ(runAdmin({QStringLiteral("init"), app, QStringLiteral("--org"),
                        QStringLiteral("东湖区教育局")})
                  .code,
              0);
    EXPECT_EQ(schema::readInstallationKey().organisationName, QStringLiteral("东湖区教育局"));
}

TEST_F(InitTest, RelativeFolderWithTrailingSlashIsStoredAbsoluteWithoutIt) {
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tmp_.path()));
    const CommandResult r = runAdmin({QStringLiteral("init"), QStringLiteral("rel/qsl/")});
    QDir::setCurrent(before);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString expected =
        QDir::cleanPath(QDir(tmp_.path()).absoluteFilePath(QStringLiteral("rel/qsl")));
    EXPECT_EQ(schema::readInstallationKey().appPath, expected);
    EXPECT_TRUE(QFileInfo(currentFileOf(expected)).isFile());
}

TEST_F(InitTest, RefusesFolderWhoseDataAlreadyHoldsDatabasesAndChangesNothing) {
    const QString app = path(QStringLiteral("qsl"));
    ASSERT_EQ(runAdmin({QStringLiteral("init"), app}).code, 0);
    const QByteArray current = fileDigest(currentFileOf(app));
    const QByteArray history = fileDigest(historyFileOf(app));
    const QDateTime modified = QFileInfo(currentFileOf(app)).lastModified();
    schema::writeInstallationKey({path(QStringLiteral("elsewhere")), QStringLiteral("别的单位")});

    const CommandResult r = runAdmin({QStringLiteral("init"), app, QStringLiteral("--demo"),
                                      QStringLiteral("--org"), QStringLiteral("新单位")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("already holds a database"))) << r.err.toStdString();
    EXPECT_EQ(fileDigest(currentFileOf(app)), current);
    EXPECT_EQ(fileDigest(historyFileOf(app)), history);
    EXPECT_EQ(QFileInfo(currentFileOf(app)).lastModified(), modified);
    const schema::InstallationKey key = schema::readInstallationKey();
    EXPECT_EQ(key.appPath, path(QStringLiteral("elsewhere")));
    EXPECT_EQ(key.organisationName, QStringLiteral("别的单位"));
    auto c = openCurrent(app);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sbjl")), 0);
}

TEST_F(InitTest, RefusesWhenOnlyTheHistoryDatabaseIsPresent) {
    const QString app = path(QStringLiteral("qsl"));
    ASSERT_TRUE(QDir().mkpath(dataDirOf(app)));
    QFile his(historyFileOf(app));
    ASSERT_TRUE(his.open(QIODevice::WriteOnly));
    his.write("old history");
    his.close();

    const CommandResult r = runAdmin({QStringLiteral("init"), app});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(QFileInfo::exists(currentFileOf(app)));
    EXPECT_FALSE(QFileInfo::exists(keyFileOf(app)));  // nothing was installed either
    QFile check(historyFileOf(app));
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("old history"));
}

TEST_F(InitTest, RefusesAFileInPlaceOfTheFolder) {
    const QString app = path(QStringLiteral("qsl"));
    QFile f(app);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const CommandResult r = runAdmin({QStringLiteral("init"), app});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(QFileInfo(app).isFile());
}

TEST_F(InitTest, MissingInstalledFilesStopBeforeAnythingIsCreated) {
    InitOptions options;
    options.appDir = path(QStringLiteral("qsl"));
    options.shareDir = path(QStringLiteral("emptyshare"));
    ASSERT_TRUE(QDir().mkpath(options.shareDir));
    EXPECT_THROW(initInstallation(options), AdminError);
    EXPECT_FALSE(QFileInfo::exists(options.appDir));
}

TEST_F(InitTest, InitAgainAfterRemovingTheDataSucceeds) {
    const QString app = path(QStringLiteral("qsl"));
    ASSERT_EQ(runAdmin({QStringLiteral("init"), app}).code, 0);
    ASSERT_TRUE(QDir(dataDirOf(app)).removeRecursively());
    const CommandResult r =
        runAdmin({QStringLiteral("init"), app, QStringLiteral("--assets"), QStringLiteral("5")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    auto c = openCurrent(app);
    EXPECT_EQ(scalar(*c, QStringLiteral("select count(*) from sbjl")), 5);
}

TEST_F(InitTest, RegisterPointsTheKeyAtAnExistingInstallationOnly) {
    const QString first = path(QStringLiteral("first"));
    const QString second = path(QStringLiteral("second"));
    ASSERT_EQ(
        runAdmin({QStringLiteral("init"), first, QStringLiteral("--org"), QStringLiteral("甲单位")})
            .code,
        0);
    ASSERT_EQ(runAdmin({QStringLiteral("init"), second}).code, 0);
    EXPECT_EQ(schema::readInstallationKey().appPath, QDir(second).absolutePath());

    const CommandResult r = runAdmin({QStringLiteral("register"), first});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(schema::readInstallationKey().appPath, QDir(first).absolutePath());

    // A folder without databases is refused and the key stays where it was.
    const CommandResult bad = runAdmin({QStringLiteral("register"), path(QStringLiteral("none"))});
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(schema::readInstallationKey().appPath, QDir(first).absolutePath());
}

}  // namespace
}  // namespace fx::admin::test
