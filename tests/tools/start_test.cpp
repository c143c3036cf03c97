// start: the installation the desktop's menu entry starts the program in.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "installation.h"
#include "installer.h"
#include "startcommand.h"
#include "testsupport.h"

namespace fx::admin::test {
namespace {

// No installation registered, and FXASSET_HOME in a temporary folder.
class StartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        ASSERT_TRUE(schema::writeInstallationKey({}));
        qputenv("FXASSET_HOME", QFile::encodeName(home()));
    }
    void TearDown() override {
        qunsetenv("FXASSET_HOME");
        schema::writeInstallationKey({});
    }
    QString home() const { return tmp_.filePath(QStringLiteral("home")); }
    QString personal() const { return home() + QStringLiteral("/default"); }
    QString run() {
        out_.clear();
        err_.clear();
        QTextStream out(&out_);
        QTextStream err(&err_);
        return startFolder(out, err);
    }

    QTemporaryDir tmp_;
    QString out_;
    QString err_;
};

TEST_F(StartTest, FirstStartMakesAndRegistersAnEmptyInstallationOfTheUsersOwn) {
    EXPECT_EQ(run(), personal()) << err_.toStdString();
    EXPECT_TRUE(QFileInfo(currentFileOf(personal())).isFile());
    EXPECT_TRUE(QFileInfo(keyFileOf(personal())).isFile());
    EXPECT_EQ(schema::readInstallationKey().appPath, personal());
    auto current = openCurrent(personal());
    EXPECT_EQ(scalar(*current, QStringLiteral("select count(*) from sbjl")), 0);
    // The next start finds it registered and makes nothing new.
    const QByteArray before = fileDigest(currentFileOf(personal()));
    EXPECT_EQ(run(), personal());
    EXPECT_TRUE(out_.isEmpty()) << out_.toStdString();
    EXPECT_EQ(fileDigest(currentFileOf(personal())), before);
}

TEST_F(StartTest, StartsInTheRegisteredInstallation) {
    InitOptions options;
    options.appDir = tmp_.filePath(QStringLiteral("office"));
    const InitResult made = initInstallation(options);
    EXPECT_EQ(run(), made.appPath);
    EXPECT_FALSE(QFileInfo::exists(personal()));
}

TEST_F(StartTest, RegistersAgainTheUsersInstallationWhenTheKeyWasLost) {
    InitOptions options;
    options.appDir = personal();
    initInstallation(options);
    ASSERT_TRUE(schema::writeInstallationKey({}));
    const QByteArray before = fileDigest(currentFileOf(personal()));
    EXPECT_EQ(run(), personal());
    EXPECT_EQ(schema::readInstallationKey().appPath, personal());
    EXPECT_EQ(fileDigest(currentFileOf(personal())), before);
}

TEST_F(StartTest, ARegisteredFolderWithoutAnInstallationIsNamedAndNotReplaced) {
    const QString gone = tmp_.filePath(QStringLiteral("gone"));
    ASSERT_TRUE(QDir().mkpath(gone));
    ASSERT_TRUE(schema::writeInstallationKey({gone, QStringLiteral("单位")}));
    EXPECT_TRUE(run().isEmpty());
    EXPECT_TRUE(err_.contains(gone)) << err_.toStdString();
    EXPECT_FALSE(QFileInfo::exists(personal()));
    EXPECT_FALSE(QFileInfo::exists(gone + QStringLiteral("/data")));
    EXPECT_EQ(schema::readInstallationKey().appPath, gone);
}

TEST_F(StartTest, TakesNoArguments) {
    const CommandResult r = runAdmin({QStringLiteral("start"), QStringLiteral("x")});
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(QFileInfo::exists(personal()));
}

}  // namespace
}  // namespace fx::admin::test
