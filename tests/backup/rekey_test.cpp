#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "admincommand.h"
#include "appstate.h"
#include "backupoperations.h"
#include "backuptestsupport.h"
#include "connection.h"
#include "dberror.h"
#include "installation.h"
#include "organisationkey.h"
#include "presencelock.h"
#include "rekey.h"
#include "schema.h"
#include "testinstallation.h"

namespace {

using fx::schema::DatabaseKind;
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

// True when the file opens with the password (and false when the engine refuses the key).
bool opensWith(const QString& path, const QString& password) {
    try {
        fx::db::Connection::open(path, password);
        return true;
    } catch (const fx::db::DbError& e) {
        EXPECT_TRUE(e.isWrongKey()) << e.message().toStdString();
        return false;
    }
}

class Rekey : public ::testing::Test {
protected:
    QString data() const { return install.dataDir(); }
    QString current() const { return data() + QStringLiteral("gdzc.qsk"); }
    QString history() const { return data() + QStringLiteral("dbjl.his"); }
    QString keyFile() const { return fx::schema::organisationKeyPath(install.appPath()); }
    QString historyPassword() const { return QString::fromLatin1(fx::schema::kHistoryPassword); }
    QString out(const QString& name) const { return backups.filePath(name); }
    fx::schema::KeyRing ring() const { return fx::schema::readKeyRing(keyFile()); }
    AdminRun rekey() const { return admin({QStringLiteral("rekey"), data()}); }
    // The program's start on an installation: the keys read as main() reads them.
    std::unique_ptr<fx::AppState> started(const QString& appPath) const {
        auto state = std::make_unique<fx::AppState>();
        state->appPath = appPath;
        state->dataDir = data();
        state->keys = fx::schema::installationKeys(appPath);
        state->currentPassword = state->keys.back().current;
        state->userName = QString::fromUtf8(fx::schema::kAdministrator);
        return state;
    }

    fx::test::TestInstallation install;
    QTemporaryDir backups;
};

TEST_F(Rekey, TheProgramOpensARekeyedInstallation) {
    setOrganisation(current(), install.password(), QStringLiteral("重新加密前"));
    const AdminRun r = rekey();
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    ASSERT_EQ(ring().size(), 1);
    EXPECT_EQ(QFileInfo(keyFile()).permissions() &
                  ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
              QFileDevice::Permissions());

    auto state = started(install.appPath());
    ASSERT_NO_THROW(state->openCurrent());
    ASSERT_TRUE(state->openHistory());
    EXPECT_EQ(state->currentPassword, ring().front().current);
    EXPECT_EQ(state->historyPassword, ring().front().history);
    EXPECT_EQ(fx::schema::organisationName(*state->current), QStringLiteral("重新加密前"));
}

TEST_F(Rekey, TheShippedKeysNoLongerOpenTheFiles) {
    ASSERT_EQ(rekey().code, 0);
    EXPECT_FALSE(opensWith(current(), install.password()));
    EXPECT_FALSE(opensWith(history(), historyPassword()));
    EXPECT_FALSE(fileBytes(current()).startsWith("SQLite format 3"));
    // Nor does the companion with only the shipped key file of another installation.
    const QString elsewhere = out(QStringLiteral("qslkeyf2.dll"));
    ASSERT_TRUE(QFile::copy(install.appPath() + QStringLiteral("/qslkeyf2.dll"), elsewhere));
    EXPECT_EQ(admin({QStringLiteral("sql"), data(), QStringLiteral("select * from users"),
                     QStringLiteral("--keyfile"), elsewhere})
                  .code,
              1);
    EXPECT_TRUE(opensWith(current(), ring().front().current));
    EXPECT_TRUE(opensWith(history(), ring().front().history));
}

TEST_F(Rekey, InstallationsWithoutAKeyOfTheirOwnOpenAsBefore) {
    ASSERT_FALSE(QFileInfo::exists(keyFile()));
    auto state = started(install.appPath());
    ASSERT_EQ(state->keys.size(), 1);
    ASSERT_NO_THROW(state->openCurrent());
    ASSERT_TRUE(state->openHistory());
    EXPECT_EQ(state->currentPassword, install.password());
    EXPECT_EQ(state->historyPassword, historyPassword());
}

TEST_F(Rekey, ASecondWorkstationRegisteredWithTheCopiedKeyOpensTheData) {
    ASSERT_EQ(rekey().code, 0);
    // The second workstation's own installation folder, working on the shared data folder.
    const QString second = backups.filePath(QStringLiteral("second"));
    ASSERT_TRUE(QDir().mkpath(second + QStringLiteral("/data")));
    ASSERT_TRUE(QFile::copy(install.appPath() + QStringLiteral("/qslkeyf2.dll"),
                            second + QStringLiteral("/qslkeyf2.dll")));
    ASSERT_TRUE(QFile::copy(current(), second + QStringLiteral("/data/gdzc.qsk")));
    EXPECT_THROW(started(second)->openCurrent(), fx::db::DbError);

    const AdminRun r = admin(
        {QStringLiteral("register"), second, QStringLiteral("--key-from"), install.appPath()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(fx::schema::readInstallationKey().appPath, QDir(second).absolutePath());
    const QString copied = fx::schema::organisationKeyPath(second);
    EXPECT_EQ(fx::schema::readKeyRing(copied), ring());
    EXPECT_EQ(QFileInfo(copied).permissions() & (QFile::ReadGroup | QFile::ReadOther),
              QFileDevice::Permissions());
    auto state = started(second);
    EXPECT_NO_THROW(state->openCurrent());
    EXPECT_TRUE(state->openHistory());
}

TEST_F(Rekey, RegisterTakesAKeyFileAndRefusesAMissingOne) {
    ASSERT_EQ(rekey().code, 0);
    const QString second = backups.filePath(QStringLiteral("second"));
    ASSERT_TRUE(QDir().mkpath(second + QStringLiteral("/data")));
    ASSERT_TRUE(QFile::copy(install.appPath() + QStringLiteral("/qslkeyf2.dll"),
                            second + QStringLiteral("/qslkeyf2.dll")));
    ASSERT_TRUE(QFile::copy(current(), second + QStringLiteral("/data/gdzc.qsk")));

    const AdminRun missing =
        admin({QStringLiteral("register"), second, QStringLiteral("--key-from"),
               backups.filePath(QStringLiteral("none"))});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(fx::schema::readInstallationKey().appPath, install.appPath());
    EXPECT_FALSE(QFileInfo::exists(fx::schema::organisationKeyPath(second)));

    const QString stick = backups.filePath(QStringLiteral("key-copy"));
    ASSERT_TRUE(QFile::copy(keyFile(), stick));
    const AdminRun r =
        admin({QStringLiteral("register"), second, QStringLiteral("--key-from"), stick});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(fx::schema::readKeyRing(fx::schema::organisationKeyPath(second)), ring());
}

TEST_F(Rekey, ABackupMadeBeforeTheRekeyRestoresAfterIt) {
    setOrganisation(current(), install.password(), QStringLiteral("备份时"));
    setOrganisation(history(), historyPassword(), QStringLiteral("历史备份时"));
    ASSERT_EQ(admin({QStringLiteral("backup"), data(), out(QStringLiteral("old"))}).code, 0);
    ASSERT_EQ(rekey().code, 0);
    const fx::schema::DatabaseKeys own = ring().front();
    setOrganisation(current(), own.current, QStringLiteral("备份后"));

    const AdminRun c = admin({QStringLiteral("restore"), data(), out(QStringLiteral("old.qsl"))});
    ASSERT_EQ(c.code, 0) << c.err.toStdString();
    EXPECT_TRUE(c.out.contains(QStringLiteral("恢复数据库类型：当前库")));
    const AdminRun h = admin({QStringLiteral("restore"), data(), out(QStringLiteral("old.qsh"))});
    ASSERT_EQ(h.code, 0) << h.err.toStdString();
    EXPECT_TRUE(h.out.contains(QStringLiteral("系统已经将历史库恢复到备份前的状态。")));

    // The restored files carry the key they were backed up with; the program opens them still.
    auto state = started(install.appPath());
    ASSERT_NO_THROW(state->openCurrent());
    ASSERT_TRUE(state->openHistory());
    EXPECT_EQ(fx::schema::organisationName(*state->current), QStringLiteral("备份时"));
    EXPECT_EQ(state->currentPassword, install.password());
    EXPECT_EQ(organisation(data() + QStringLiteral("gdzc.sav"), own.current),
              QStringLiteral("备份后"));
}

TEST_F(Rekey, ABackupUnderTheOrganisationKeyIsTold) {
    ASSERT_EQ(rekey().code, 0);
    ASSERT_EQ(admin({QStringLiteral("backup"), data(), out(QStringLiteral("new"))}).code, 0);
    const fx::schema::KeyRing keys = fx::schema::installationKeys(install.appPath());
    const auto c = fx::backup::identifyBackup(out(QStringLiteral("new.qsl")), keys);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.kind, fx::backup::DatabaseKind::Current);
    EXPECT_EQ(c.password, keys.front().current);
    const auto h = fx::backup::identifyBackup(out(QStringLiteral("new.qsh")), keys);
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.kind, fx::backup::DatabaseKind::History);
    // A lost backup is no readable register for anyone holding only the program.
    EXPECT_FALSE(fx::backup::identifyBackup(out(QStringLiteral("new.qsl")), install.password()).ok);
    EXPECT_FALSE(fx::backup::identifyBackup(out(QStringLiteral("new.qsh")), install.password()).ok);
}

TEST_F(Rekey, ASecondRekeyKeepsTheFirstKeyForItsBackups) {
    ASSERT_EQ(rekey().code, 0);
    setOrganisation(current(), ring().front().current, QStringLiteral("第一次之后"));
    ASSERT_EQ(admin({QStringLiteral("backup"), data(), out(QStringLiteral("first"))}).code, 0);
    const fx::schema::DatabaseKeys first = ring().front();
    ASSERT_EQ(rekey().code, 0);
    ASSERT_EQ(ring().size(), 2);
    EXPECT_EQ(ring().at(1), first);
    EXPECT_FALSE(opensWith(current(), first.current));
    const AdminRun c = admin({QStringLiteral("restore"), data(), out(QStringLiteral("first.qsl"))});
    ASSERT_EQ(c.code, 0) << c.err.toStdString();
    EXPECT_EQ(organisation(current(), first.current), QStringLiteral("第一次之后"));
}

TEST_F(Rekey, AFailureAtTheSecondFileLeavesBothAsTheyWere) {
    const QByteArray currentBefore = fileBytes(current());
    const QByteArray historyBefore = fileBytes(history());
    // The history database's copy cannot be made: its name is taken by a folder.
    ASSERT_TRUE(QDir().mkpath(fx::backup::rekeyCopyPath(history())));
    const AdminRun r = rekey();
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nothing was changed"))) << r.err.toStdString();
    EXPECT_EQ(fileBytes(current()), currentBefore);
    EXPECT_EQ(fileBytes(history()), historyBefore);
    EXPECT_FALSE(QFileInfo::exists(keyFile()));
    EXPECT_FALSE(QFileInfo::exists(fx::backup::rekeyCopyPath(current())));
    EXPECT_TRUE(opensWith(current(), install.password()));
    EXPECT_TRUE(opensWith(history(), historyPassword()));
}

TEST_F(Rekey, AFailureLeavesAnEarlierKeyFileAsItWas) {
    ASSERT_EQ(rekey().code, 0);
    const QByteArray keysBefore = fileBytes(keyFile());
    const QByteArray currentBefore = fileBytes(current());
    ASSERT_TRUE(QDir().mkpath(fx::backup::rekeyCopyPath(history())));
    EXPECT_EQ(rekey().code, 1);
    EXPECT_EQ(fileBytes(keyFile()), keysBefore);
    EXPECT_EQ(fileBytes(current()), currentBefore);
}

TEST_F(Rekey, IsRefusedWhileAnotherProgramWorksOnTheData) {
    const QByteArray currentBefore = fileBytes(current());
    for (const QString& database : {current(), history()}) {
        fx::test::OtherProgram running(fx::backup::presenceLockPath(database));
        ASSERT_TRUE(running.holding());
        const AdminRun r = rekey();
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("other workstations"))) << r.err.toStdString();
        EXPECT_EQ(fileBytes(current()), currentBefore);
        EXPECT_FALSE(QFileInfo::exists(keyFile()));
    }
}

TEST_F(Rekey, AnUnreadableKeyFileIsNeverWrittenOver) {
    fx::test::writeFile(keyFile(), "not a key file\n");
    const QByteArray currentBefore = fileBytes(current());
    const AdminRun r = rekey();
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("not an organisation key file")));
    EXPECT_EQ(fileBytes(keyFile()), QByteArray("not a key file\n"));
    EXPECT_EQ(fileBytes(current()), currentBefore);
}

TEST_F(Rekey, TheCompanionCommandsUseTheOrganisationKey) {
    ASSERT_EQ(rekey().code, 0);
    const AdminRun r =
        admin({QStringLiteral("sql"), data(), QStringLiteral("select user from users")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QString::fromUtf8(fx::schema::kAdministrator)));
    const AdminRun h = admin({QStringLiteral("history"), data()});
    EXPECT_EQ(h.code, 0) << h.err.toStdString();
}

}  // namespace
