#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "backupfiles.h"
#include "backupoperations.h"
#include "backuptestsupport.h"
#include "presencelock.h"
#include "restoremarker.h"
#include "testinstallation.h"

namespace {

using namespace fx::backup;
using fx::test::fileBytes;
using fx::test::organisation;
using fx::test::setOrganisation;

class InterruptedRestoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        setOrganisation(current(), install.password(), QStringLiteral("备份时"));
        // A new database already has many pages: its copy runs in 60 real chunks.
        ASSERT_GE(QFileInfo(current()).size(), 3600);
    }
    QString current() const { return install.dataDir() + QStringLiteral("gdzc.qsk"); }
    QString sav() const { return install.dataDir() + QStringLiteral("gdzc.sav"); }

    // Runs a restore in a child process that is killed after `chunks` chunks of the copy.
    void restoreKilledAfter(const QString& backup, int chunks) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            restoreDatabase(backup, current(), DatabaseKind::Current, install.password(),
                            [chunks](int n) {
                                if (n == chunks) ::kill(::getpid(), SIGKILL);
                            });
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the restore was meant to be killed";
    }

    fx::test::TestInstallation install;
    QTemporaryDir backups;
};

TEST_F(InterruptedRestoreTest, TheNextStartTellsHowToGetTheSavFileBack) {
    const QString backup = backups.filePath(QStringLiteral("c.qsl"));
    ASSERT_TRUE(backupDatabase(current(), install.password(), DatabaseKind::Current, backup).ok());
    setOrganisation(current(), install.password(), QStringLiteral("恢复前"));
    const QByteArray before = fileBytes(current());

    restoreKilledAfter(backup, 30);

    // The database file is a half copy; the one from before waits in the .sav file.
    EXPECT_NE(fileBytes(current()), before);
    EXPECT_EQ(fileBytes(sav()), before);
    EXPECT_TRUE(QFileInfo::exists(restoreMarkerPath(current())));
    EXPECT_EQ(interruptedRestore(current()), InterruptedRestore::PreviousInSav);
    const QString message = interruptedRestoreMessage(current());
    EXPECT_TRUE(message.contains(QStringLiteral("“gdzc.sav”改名为“gdzc.qsk”")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("fxasset-admin restore")));
    // Asking again says the same: nothing was touched.
    EXPECT_EQ(interruptedRestoreMessage(current()), message);

    // The user follows the advice: the previous database is back and the start is quiet.
    ASSERT_TRUE(QFile::remove(current()));
    ASSERT_TRUE(QFile::rename(sav(), current()));
    EXPECT_TRUE(interruptedRestoreMessage(current()).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(restoreMarkerPath(current())));
    EXPECT_EQ(organisation(current(), install.password()), QStringLiteral("恢复前"));
}

TEST_F(InterruptedRestoreTest, RestoringAgainKeepsTheSavFileFromBeforeTheInterruption) {
    const QString backup = backups.filePath(QStringLiteral("c.qsl"));
    ASSERT_TRUE(backupDatabase(current(), install.password(), DatabaseKind::Current, backup).ok());
    setOrganisation(current(), install.password(), QStringLiteral("恢复前"));
    const QByteArray before = fileBytes(current());
    restoreKilledAfter(backup, 10);
    ASSERT_EQ(interruptedRestore(current()), InterruptedRestore::PreviousInSav);

    const Result r = restoreDatabase(backup, current(), DatabaseKind::Current, install.password());
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(organisation(current(), install.password()), QStringLiteral("备份时"));
    // The half copy was discarded, not kept over the real previous database.
    EXPECT_EQ(fileBytes(sav()), before);
    EXPECT_TRUE(interruptedRestoreMessage(current()).isEmpty());
}

TEST_F(InterruptedRestoreTest, AMarkerFromARestoreThatNeverReplacedTheFileIsForgotten) {
    ASSERT_TRUE(writeRestoreMarker(current(), QStringLiteral("/b/c.qsl")).isEmpty());
    EXPECT_EQ(interruptedRestore(current()), InterruptedRestore::None);
    EXPECT_TRUE(interruptedRestoreMessage(current()).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(restoreMarkerPath(current())));
}

TEST_F(InterruptedRestoreTest, AMarkerIsKeptWhileAnotherProgramWorksOnTheDatabase) {
    ASSERT_TRUE(writeRestoreMarker(current(), QStringLiteral("/b/c.qsl")).isEmpty());
    {
        fx::test::OtherProgram other(presenceLockPath(current()));
        ASSERT_TRUE(other.holding());
        EXPECT_TRUE(interruptedRestoreMessage(current()).isEmpty());
        EXPECT_TRUE(QFileInfo::exists(restoreMarkerPath(current())));
    }
    EXPECT_TRUE(interruptedRestoreMessage(current()).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(restoreMarkerPath(current())));
}

TEST_F(InterruptedRestoreTest, AHalfCopyWithNothingKeptAsksForTheRestoreToBeRedone) {
    const QString history = install.dataDir() + QStringLiteral("dbjl.his");
    const QString backup = backups.filePath(QStringLiteral("h.qsh"));
    ASSERT_TRUE(backupDatabase(history, historyPassword(), DatabaseKind::History, backup).ok());
    // The history database is missing (the situation the start-up asks to restore it for).
    ASSERT_TRUE(QFile::remove(history));
    ASSERT_TRUE(writeRestoreMarker(history, backup).isEmpty());
    fx::test::writeFile(history, fileBytes(backup).left(4096));
    EXPECT_EQ(interruptedRestore(history), InterruptedRestore::Incomplete);
    const QString message = interruptedRestoreMessage(history);
    EXPECT_TRUE(message.contains(QStringLiteral("dbjl.his")));
    EXPECT_FALSE(message.contains(QStringLiteral(".sav")));

    const Result r = restoreDatabase(backup, history, DatabaseKind::History, historyPassword());
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(fileBytes(history), fileBytes(backup));
    EXPECT_FALSE(QFileInfo::exists(install.dataDir() + QStringLiteral("dbjl.sav")));
    EXPECT_TRUE(interruptedRestoreMessage(history).isEmpty());
}

}  // namespace
