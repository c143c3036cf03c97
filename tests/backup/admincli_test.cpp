#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "admincommand.h"
#include "backuptestsupport.h"
#include "migration.h"
#include "presencelock.h"
#include "testinstallation.h"

namespace {

using fx::test::fileBytes;
using fx::test::organisation;
using fx::test::setOrganisation;

struct AdminRun {
    int code = -1;
    QString out;
    QString err;
};

AdminRun admin(const QStringList& args) {
    AdminRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = fx::admin::runCommand(args, out, err);
    out.flush();
    err.flush();
    return r;
}

class AdminBackup : public ::testing::Test {
protected:
    QString data() const { return install.dataDir(); }
    QString current() const { return data() + QStringLiteral("gdzc.qsk"); }
    QString history() const { return data() + QStringLiteral("dbjl.his"); }
    QString out(const QString& name) const { return backups.filePath(name); }
    fx::test::TestInstallation install;
    QTemporaryDir backups;
};

TEST_F(AdminBackup, BacksUpBothDatabasesSideBySide) {
    const AdminRun r = admin({QStringLiteral("backup"), data(), out(QStringLiteral("nightly"))});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("当前备份已经完成。")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("历史库备份已经完成。")));
    EXPECT_EQ(fileBytes(out(QStringLiteral("nightly.qsl"))), fileBytes(current()));
    EXPECT_EQ(fileBytes(out(QStringLiteral("nightly.qsh"))), fileBytes(history()));

    // The next night keeps the previous backups.
    const QByteArray first = fileBytes(out(QStringLiteral("nightly.qsl")));
    setOrganisation(current(), install.password(), QStringLiteral("第二天"));
    ASSERT_EQ(admin({QStringLiteral("backup"), data(), out(QStringLiteral("nightly.qsl"))}).code,
              0);
    EXPECT_EQ(fileBytes(out(QStringLiteral("nightly.bak"))), first);
    EXPECT_TRUE(QFileInfo::exists(out(QStringLiteral("nightly.bah"))));
    EXPECT_EQ(organisation(out(QStringLiteral("nightly.qsl")), install.password()),
              QStringLiteral("第二天"));
}

TEST_F(AdminBackup, RefusesWhileTheProgramRuns) {
    fx::test::OtherProgram running(fx::backup::presenceLockPath(current()));
    ASSERT_TRUE(running.holding());
    const AdminRun r = admin({QStringLiteral("backup"), data(), out(QStringLiteral("x"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("现在有其他用户在线")));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("x.qsl"))));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("x.qsh"))));
}

TEST_F(AdminBackup, AMissingHistoryDatabaseFails) {
    QFile::remove(history());
    const AdminRun r = admin({QStringLiteral("backup"), data(), out(QStringLiteral("x"))});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(history()));
}

TEST_F(AdminBackup, AKeyFileThatGivesNoPasswordIsRefused) {
    // A short key file gives an empty password, which would open plain, unkeyed files.
    const QString shortKey = out(QStringLiteral("short.dll"));
    QFile f(shortKey);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("too short");
    f.close();
    const QByteArray before = fileBytes(current());
    for (const char* command : {"backup", "restore"}) {
        const AdminRun r = admin({QString::fromLatin1(command), data(), out(QStringLiteral("x")),
                                  QStringLiteral("--keyfile"), shortKey});
        EXPECT_EQ(r.code, 1) << command;
        EXPECT_TRUE(r.err.contains(QStringLiteral("gives no password"))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("x.qsl"))));
    EXPECT_EQ(fileBytes(current()), before);
}

TEST_F(AdminBackup, TheCommandLineIsChecked) {
    EXPECT_EQ(admin({QStringLiteral("backup"), data()}).code, 2);
    EXPECT_EQ(admin({QStringLiteral("restore"), data(), out(QStringLiteral("x")),
                     QStringLiteral("--force")})
                  .code,
              2);
    EXPECT_TRUE(
        admin({QStringLiteral("--help")}).out.contains(QStringLiteral("restore DATADIR FILE")));
    EXPECT_EQ(admin({QStringLiteral("backup"), data(), current()}).code, 1);
}

TEST_F(AdminBackup, RestoresEitherKindByItsPassword) {
    setOrganisation(current(), install.password(), QStringLiteral("备份时"));
    setOrganisation(history(), QStringLiteral("mtbrqxhwpz"), QStringLiteral("历史备份时"));
    ASSERT_EQ(admin({QStringLiteral("backup"), data(), out(QStringLiteral("b"))}).code, 0);
    setOrganisation(current(), install.password(), QStringLiteral("备份后"));
    setOrganisation(history(), QStringLiteral("mtbrqxhwpz"), QStringLiteral("历史备份后"));

    const AdminRun c = admin({QStringLiteral("restore"), data(), out(QStringLiteral("b.qsl"))});
    ASSERT_EQ(c.code, 0) << c.err.toStdString();
    EXPECT_TRUE(c.out.contains(
        QStringLiteral("恢复数据库类型：当前库  版本号：") +
        QString::number(fx::schema::layoutVersion(fx::schema::DatabaseKind::Current))));
    EXPECT_TRUE(c.out.contains(QStringLiteral("系统已经恢复到备份前的状态")));
    EXPECT_EQ(organisation(current(), install.password()), QStringLiteral("备份时"));
    EXPECT_EQ(organisation(data() + QStringLiteral("gdzc.sav"), install.password()),
              QStringLiteral("备份后"));
    EXPECT_EQ(organisation(history(), QStringLiteral("mtbrqxhwpz")), QStringLiteral("历史备份后"));

    // A history backup under a current-looking name goes to dbjl.his.
    ASSERT_TRUE(QFile::copy(out(QStringLiteral("b.qsh")), out(QStringLiteral("h.qsl"))));
    const AdminRun h = admin({QStringLiteral("restore"), data(), out(QStringLiteral("h.qsl"))});
    ASSERT_EQ(h.code, 0) << h.err.toStdString();
    EXPECT_TRUE(h.out.contains(QStringLiteral("系统已经将历史库恢复到备份前的状态。")));
    EXPECT_EQ(organisation(history(), QStringLiteral("mtbrqxhwpz")), QStringLiteral("历史备份时"));
}

TEST_F(AdminBackup, RestoreRefusesForeignFilesAndRunningPrograms) {
    fx::test::writeFile(out(QStringLiteral("list.txt")), "资产清单\n");
    const QByteArray before = fileBytes(current());
    const AdminRun foreign =
        admin({QStringLiteral("restore"), data(), out(QStringLiteral("list.txt"))});
    EXPECT_EQ(foreign.code, 1);
    EXPECT_TRUE(
        foreign.err.contains(QStringLiteral("您选择的文件不是本系统的数据库文件，请重新选择！")));

    ASSERT_EQ(admin({QStringLiteral("backup"), data(), out(QStringLiteral("b"))}).code, 0);
    fx::test::OtherProgram running(fx::backup::presenceLockPath(current()));
    ASSERT_TRUE(running.holding());
    const AdminRun busy = admin({QStringLiteral("restore"), data(), out(QStringLiteral("b.qsl"))});
    EXPECT_EQ(busy.code, 1);
    EXPECT_TRUE(busy.err.contains(QStringLiteral("数据恢复失败，请检查是否有其他用户在线")));
    EXPECT_EQ(fileBytes(current()), before);
    EXPECT_FALSE(QFileInfo::exists(data() + QStringLiteral("gdzc.sav")));
}

}  // namespace
