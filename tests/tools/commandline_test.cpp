// The command line: usage, errors in it, and the real fxasset-admin program end to end.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "admincommand.h"
#include "testsupport.h"

namespace fx::admin::test {
namespace {

TEST(CommandLineTest, HelpPrintsUsageAndSucceeds) {
    for (const char* option : {"--help", "help", "-h"}) {
        const CommandResult r = runAdmin({QString::fromLatin1(option)});
        EXPECT_EQ(r.code, kExitOk);
        EXPECT_TRUE(r.out.contains(QStringLiteral("init APPDIR")));
        EXPECT_TRUE(r.out.contains(QStringLiteral("sql DATADIR STATEMENT")));
        EXPECT_TRUE(r.err.isEmpty());
    }
}

TEST(CommandLineTest, MistakesInTheCommandLineExitWithUsage) {
    const QList<QStringList> wrong = {
        {},
        {QStringLiteral("frobnicate")},
        {QStringLiteral("init")},
        {QStringLiteral("init"), QStringLiteral("a"), QStringLiteral("b")},
        {QStringLiteral("init"), QStringLiteral("a"), QStringLiteral("--assets")},
        {QStringLiteral("init"), QStringLiteral("a"), QStringLiteral("--assets"),
         QStringLiteral("many")},
        {QStringLiteral("init"), QStringLiteral("a"), QStringLiteral("--assets=-3")},
        {QStringLiteral("init"), QStringLiteral("a"), QStringLiteral("--colour")},
        {QStringLiteral("init"), QStringLiteral("a"), QStringLiteral("--demo=yes")},
        {QStringLiteral("sql"), QStringLiteral("data")},
        {QStringLiteral("sql"), QStringLiteral("data"), QStringLiteral("select 1"),
         QStringLiteral("--keyfile")},
    };
    for (const QStringList& args : wrong) {
        const CommandResult r = runAdmin(args);
        EXPECT_EQ(r.code, kExitUsage) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Usage:")));
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(CommandLineTest, UsageErrorsCreateNothing) {
    QTemporaryDir tmp;
    const QString app = tmp.filePath(QStringLiteral("x"));
    EXPECT_EQ(
        runAdmin({QStringLiteral("init"), app, QStringLiteral("--assets"), QStringLiteral("lots")})
            .code,
        kExitUsage);
    EXPECT_FALSE(QFileInfo::exists(app));
}

// The program itself, with its own registry stand-in folder.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), tmp_.filePath(QStringLiteral("config")));
    }
    CommandResult run(const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.start(QStringLiteral(FX_ADMIN_PROGRAM), args);
        CommandResult r;
        if (!p.waitForFinished(120000)) return r;
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    QTemporaryDir tmp_;
    QProcessEnvironment env_;
};

TEST_F(ProgramTest, HelpAndUsageExitCodes) {
    const CommandResult help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: fxasset-admin")));
    EXPECT_EQ(run({}).code, 2);
}

TEST_F(ProgramTest, InstallsAndAnswersAStatement) {
    const QString app = tmp_.filePath(QStringLiteral("qsl"));
    const CommandResult init =
        run({QStringLiteral("init"), app, QStringLiteral("--assets"), QStringLiteral("25"),
             QStringLiteral("--org"), QStringLiteral("示范学校")});
    ASSERT_EQ(init.code, 0) << init.err.toStdString();
    EXPECT_TRUE(QFileInfo(keyFileOf(app)).isFile());

    // The registry stand-in of the program's own environment names the installation.
    QFile reg(tmp_.filePath(QStringLiteral("config/云杉软件屋/青石岭固定资产管理.conf")));
    ASSERT_TRUE(reg.open(QIODevice::ReadOnly)) << reg.fileName().toStdString();
    const QString settings = QString::fromUtf8(reg.readAll());
    EXPECT_TRUE(settings.contains(app)) << settings.toStdString();

    const CommandResult count = run(
        {QStringLiteral("sql"), dataDirOf(app), QStringLiteral("select count(*) as n from sbjl")});
    ASSERT_EQ(count.code, 0) << count.err.toStdString();
    EXPECT_EQ(count.out, QStringLiteral("n\n25\n"));

    const CommandResult again = run({QStringLiteral("init"), app});
    EXPECT_EQ(again.code, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("already holds a database")));
}

TEST_F(ProgramTest, MissingDatabaseExitsWithOne) {
    const CommandResult r = run({QStringLiteral("sql"), tmp_.filePath(QStringLiteral("none")),
                                 QStringLiteral("select * from sbjl")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no database file")));
    EXPECT_FALSE(QFileInfo::exists(tmp_.filePath(QStringLiteral("none"))));
}

}  // namespace
}  // namespace fx::admin::test
