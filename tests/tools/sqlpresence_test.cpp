// sql as a writing process beside the program: it holds the presence lock while it works, so a
// backup taken meanwhile is refused or whole; and a pragma that answers prints its rows.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "backupoperations.h"
#include "companionpresence.h"
#include "connection.h"
#include "databasecheck.h"
#include "installation.h"
#include "presencelock.h"
#include "testsupport.h"

namespace fx::admin::test {
namespace {

// True when another process could take the lock file exclusively now (nobody holds it).
bool lockFree(const QString& lockPath) {
    const QByteArray name = QFile::encodeName(lockPath);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int fd = ::open(name.constData(), O_RDONLY);
        ::_exit(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class SqlPresence : public ::testing::Test {
protected:
    void SetUp() override {
        app = tmp.filePath(QStringLiteral("inst"));
        const CommandResult r = runAdmin(
            {QStringLiteral("init"), app, QStringLiteral("--assets"), QStringLiteral("0")});
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        data = dataDirOf(app);
        schema::writeInstallationKey({app, QStringLiteral("测试")});
        password = schema::currentPasswordFromKeyFile(keyFileOf(app));
    }
    QTemporaryDir tmp;
    QString app, data, password;
};

TEST_F(SqlPresence, ABackupWhileAnotherProcessRunsALongUpdateIsRefusedOrWhole) {
    {
        // Enough assets that the update below, which compares every asset with every other,
        // runs for seconds and rewrites every page of the table.
        auto c = openCurrent(app);
        c->executeNative(QStringLiteral("BEGIN"));
        for (int i = 1; i <= 6000; ++i)
            c->executeNative(QStringLiteral("INSERT INTO sbjl (id, num, sbmc, other) VALUES "
                                            "('JSJ-', %1, '电脑', '%2')")
                                 .arg(i)
                                 .arg(QString(150, QLatin1Char('x'))));
        c->executeNative(QStringLiteral("COMMIT"));
    }
    const QString current = currentFileOf(app);
    QProcess sql;
    sql.start(QStringLiteral(FX_ADMIN_PROGRAM),
              {QStringLiteral("sql"), data,
               QStringLiteral("update sbjl set other=(select count(*) from sbjl a where "
                              "a.ID1<=sbjl.ID1)")});
    ASSERT_TRUE(sql.waitForStarted());
    QTemporaryDir backups;
    int refused = 0, whole = 0;
    bool held = false;
    QElapsedTimer t;
    t.start();
    while (sql.state() != QProcess::NotRunning && t.elapsed() < 60000) {
        held = held || !lockFree(backup::presenceLockPath(current));
        const QString target = backups.filePath(QStringLiteral("b%1.qsl").arg(refused + whole));
        const backup::Result r =
            backup::backupDatabase(current, password, backup::DatabaseKind::Current, target);
        if (r.ok()) {
            ASSERT_TRUE(
                backup::probeDatabase(target, password, backup::IntegrityCheck::Full).intact)
                << "backup " << whole << " taken during the update is torn";
            ++whole;
        } else {
            EXPECT_EQ(r.status, backup::Status::OthersOnline) << r.message.toStdString();
            ++refused;
        }
        sql.waitForFinished(50);
    }
    if (sql.state() != QProcess::NotRunning) {
        ASSERT_TRUE(sql.waitForFinished(60000));
    }
    EXPECT_EQ(sql.exitCode(), 0) << sql.readAllStandardError().toStdString();
    EXPECT_TRUE(held) << "the companion's sql did not hold the presence lock while it ran";
    EXPECT_GT(refused, 0);
    // Once it has ended, a backup goes ahead.
    EXPECT_TRUE(backup::backupDatabase(current, password, backup::DatabaseKind::Current,
                                       backups.filePath(QStringLiteral("after.qsl")))
                    .ok());
}

TEST_F(SqlPresence, TheHelperHoldsBothLocksAndGivesUpOnlyItsOwn) {
    const QString current = currentFileOf(app);
    const QString history = historyFileOf(app);
    {
        const CompanionPresence presence(data);
        EXPECT_TRUE(backup::holdsPresence(current));
        EXPECT_TRUE(backup::holdsPresence(history));
        EXPECT_FALSE(lockFree(backup::presenceLockPath(current)));
    }
    EXPECT_FALSE(backup::holdsPresence(current));
    EXPECT_TRUE(lockFree(backup::presenceLockPath(history)));
    ASSERT_TRUE(backup::holdPresence(current));
    { const CompanionPresence presence(data); }
    EXPECT_TRUE(backup::holdsPresence(current));
    backup::releasePresence(current);
}

TEST_F(SqlPresence, APragmaThatAnswersPrintsItsRows) {
    const CommandResult check =
        runAdmin({QStringLiteral("sql"), data, QStringLiteral("PRAGMA integrity_check")});
    ASSERT_EQ(check.code, 0) << check.err.toStdString();
    EXPECT_EQ(tableOf(check.out),
              (QList<QStringList>{{QStringLiteral("integrity_check")}, {QStringLiteral("ok")}}));
    const CommandResult history =
        runAdmin({QStringLiteral("sql"), data, QStringLiteral("pragma table_info(his)"),
                  QStringLiteral("--history")});
    ASSERT_EQ(history.code, 0) << history.err.toStdString();
    EXPECT_TRUE(history.out.contains(QStringLiteral("swz"))) << history.out.toStdString();
    // A pragma that only sets something still reports the change count.
    const CommandResult set =
        runAdmin({QStringLiteral("sql"), data, QStringLiteral("PRAGMA user_version=7")});
    ASSERT_EQ(set.code, 0) << set.err.toStdString();
    EXPECT_EQ(set.out, QStringLiteral("0 rows changed\n"));
}

}  // namespace
}  // namespace fx::admin::test
