// Backup and restore under the hostile cases: restoring a file the restore itself renames, a
// writer in the middle of its change, a medium that fails to flush, a kill between two renames,
// files that are not this system's databases, an open umask, a data folder that cannot be
// written. The flush and the kill are produced by standing in for fsync() and rename() in this
// test program (the program's libraries are linked into it, so their calls land here).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <atomic>
#include <cerrno>
#include <cstdio>

#include "admincommand.h"
#include "appstate.h"
#include "backupcommands.h"
#include "backupfiles.h"
#include "backupoperations.h"
#include "backuptestsupport.h"
#include "connection.h"
#include "databasecheck.h"
#include "presencelock.h"
#include "restoremarker.h"
#include "scripts.h"
#include "testinstallation.h"

namespace {

std::atomic<int> failingFsyncs{0};      // fsync() fails with EIO while set ...
QByteArray failingFsyncPath;            // ... for this file only, when not empty
std::atomic<int> renamesBeforeKill{0};  // the process ends at the rename() that brings it to 0

bool fsyncFails(int fd) {
    if (!failingFsyncs.load()) return false;
    if (failingFsyncPath.isEmpty()) return true;
    char path[4096];
    const ssize_t n = ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(),
                                 path, sizeof path);
    return n > 0 && QByteArray(path, int(n)) == failingFsyncPath;
}

// Every flush of one file fails from now on (a medium that takes the writes but cannot keep
// them).
void failFsyncOf(const QString& path) {
    failingFsyncPath = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    failingFsyncs = 1;
}

}  // namespace

extern "C" int fsync(int fd) {
    if (fsyncFails(fd)) {
        errno = EIO;
        return -1;
    }
    return int(::syscall(SYS_fsync, fd));
}

extern "C" int rename(const char* from, const char* to) {
    if (renamesBeforeKill.load() > 0 && --renamesBeforeKill == 0) ::_exit(9);  // "kill -9"
    return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}

namespace {

using namespace fx::backup;
using fx::test::fileBytes;
using fx::test::organisation;
using fx::test::setOrganisation;
using fx::test::writeFile;

int modeOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

class DataSafety : public ::testing::Test {
protected:
    void TearDown() override {
        failingFsyncs = 0;
        failingFsyncPath.clear();
    }
    QString data() const { return install.dataDir(); }
    QString current() const { return data() + QStringLiteral("gdzc.qsk"); }
    QString history() const { return data() + QStringLiteral("dbjl.his"); }
    QString sav() const { return data() + QStringLiteral("gdzc.sav"); }
    QString password() const { return install.password(); }
    QString out(const QString& name) const { return backups.filePath(name); }
    // A backup of the current database as it is now, under name.
    void backUpAs(const QString& name) {
        ASSERT_TRUE(backupDatabase(current(), password(), DatabaseKind::Current, out(name)).ok());
    }
    bool wholeDatabase(const QString& path, const QString& pass) {
        return probeDatabase(path, pass, IntegrityCheck::Full).intact;
    }

    fx::test::TestInstallation install;
    QTemporaryDir backups;
};

// ---- restoring a file the restore renames or replaces ----

enum class Reach { Itself, HardLink, SymbolicLink };

class RestoreFromTheSavFile : public DataSafety, public ::testing::WithParamInterface<Reach> {};

TEST_P(RestoreFromTheSavFile, KeepsWhatWasOnlyThereAndTheDatabaseItReplaces) {
    // gdzc.sav holds data found nowhere else (what a restore left there before).
    setOrganisation(current(), password(), QStringLiteral("只在保存文件里"));
    ASSERT_TRUE(QFile::copy(current(), sav()));
    setOrganisation(current(), password(), QStringLiteral("现在的数据"));
    QString chosen = sav();
    if (GetParam() == Reach::HardLink) {
        chosen = out(QStringLiteral("link.qsl"));
        ASSERT_EQ(
            ::link(QFile::encodeName(sav()).constData(), QFile::encodeName(chosen).constData()), 0);
    } else if (GetParam() == Reach::SymbolicLink) {
        chosen = out(QStringLiteral("symlink.qsl"));
        ASSERT_TRUE(QFile::link(sav(), chosen));
    }
    const IdentifiedBackup found = identifyBackup(chosen, password());
    ASSERT_TRUE(found.ok);
    const Result r = restoreDatabase(chosen, current(), found.kind, password());
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(organisation(current(), password()), QStringLiteral("只在保存文件里"));
    EXPECT_EQ(organisation(sav(), password()), QStringLiteral("现在的数据"));
    // Nothing of the work is left behind in the data folder.
    EXPECT_EQ(QDir(data()).entryList({QStringLiteral("gdzc.*")}, QDir::Files),
              (QStringList{QStringLiteral("gdzc.qsk"), QStringLiteral("gdzc.qsk.lock"),
                           QStringLiteral("gdzc.sav")}));
}

INSTANTIATE_TEST_SUITE_P(Reaches, RestoreFromTheSavFile,
                         ::testing::Values(Reach::Itself, Reach::HardLink, Reach::SymbolicLink));

TEST_F(DataSafety, RestoringTheDatabaseOntoItselfIsRefusedAndKeepsTheOlderSav) {
    setOrganisation(current(), password(), QStringLiteral("更早"));
    ASSERT_TRUE(QFile::copy(current(), sav()));
    setOrganisation(current(), password(), QStringLiteral("现在"));
    const QByteArray database = fileBytes(current());
    const QByteArray older = fileBytes(sav());
    const Result r = restoreDatabase(current(), current(), DatabaseKind::Current, password());
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.message.contains(QStringLiteral("就是现在的数据库文件")))
        << r.message.toStdString();
    EXPECT_EQ(fileBytes(current()), database);
    EXPECT_EQ(fileBytes(sav()), older);
}

TEST_F(DataSafety, AFailedRestoreLeavesEveryFileAsItWas) {
    // A file that is no database gets past identification only here, so the copy fails its
    // check after the database has been moved to gdzc.sav.
    ASSERT_TRUE(QFile::copy(current(), sav()));
    setOrganisation(sav(), password(), QStringLiteral("更早的保存"));
    writeFile(sav() + QStringLiteral("-journal"), "journal of the older sav");
    const QByteArray database = fileBytes(current());
    const QByteArray older = fileBytes(sav());
    writeFile(out(QStringLiteral("text.qsl")), QByteArray(8192, 'x'));
    const Result r = restoreDatabase(out(QStringLiteral("text.qsl")), current(),
                                     DatabaseKind::Current, password());
    EXPECT_EQ(r.status, Status::CheckFailed);
    EXPECT_EQ(fileBytes(current()), database);
    EXPECT_EQ(fileBytes(sav()), older);
    EXPECT_EQ(fileBytes(sav() + QStringLiteral("-journal")),
              QByteArray("journal of the older sav"));
    EXPECT_FALSE(QFileInfo::exists(restoreMarkerPath(current())));
}

// ---- committed data only ----

// Another process in the middle of a large change that does not take the presence lock: its
// tiny page cache has already written uncommitted pages into the file.
class WriterInTheMiddle {
public:
    WriterInTheMiddle(const QString& databasePath, const QString& password) {
        int ready[2], release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            char ok = 0;
            try {
                auto c = fx::db::Connection::open(databasePath, password);
                c->executeNative(QStringLiteral("PRAGMA cache_size=4"));
                c->executeNative(QStringLiteral("BEGIN"));
                c->executeNative(QStringLiteral("UPDATE sbjl SET other='未提交'"));
                ok = 1;
                (void)!::write(ready[1], &ok, 1);
                char c2;
                (void)!::read(release[0], &c2, 1);
                c->executeNative(QStringLiteral("ROLLBACK"));
            } catch (...) {
                (void)!::write(ready[1], &ok, 1);
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        char ok = 0;
        writing_ = ::read(ready[0], &ok, 1) == 1 && ok;
        ::close(ready[0]);
    }
    ~WriterInTheMiddle() {
        if (release_ >= 0) ::close(release_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    bool writing() const { return writing_; }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool writing_ = false;
};

void addAssets(const QString& databasePath, const QString& password, int rows) {
    auto c = fx::db::Connection::open(databasePath, password);
    c->executeNative(QStringLiteral("BEGIN"));
    for (int i = 0; i < rows; ++i)
        c->executeNative(QStringLiteral("INSERT INTO sbjl (id, num, sbmc, sbpz, other) VALUES "
                                        "('JSJ-', %1, '电脑', '%2', '')")
                             .arg(i + 1)
                             .arg(QString(200, QLatin1Char('x'))));
    c->executeNative(QStringLiteral("COMMIT"));
}

TEST_F(DataSafety, ABackupDuringAnotherProcesssChangeIsRefusedOrHoldsOnlyCommittedData) {
    addAssets(current(), password(), 3000);
    writeFile(out(QStringLiteral("x.qsl")), "earlier backup");
    WriterInTheMiddle writer(current(), password());
    ASSERT_TRUE(writer.writing());
    const Result r =
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("x.qsl")));
    if (r.ok()) {
        EXPECT_TRUE(wholeDatabase(out(QStringLiteral("x.qsl")), password()));
        EXPECT_EQ(fx::test::unfinishedRows(out(QStringLiteral("x.qsl")), password()), 0);
    } else {
        EXPECT_EQ(r.status, Status::OthersOnline) << r.message.toStdString();
        EXPECT_EQ(fileBytes(out(QStringLiteral("x.qsl"))), QByteArray("earlier backup"));
    }
}

TEST_F(DataSafety, ADamagedDatabaseIsNotBackedUpAndTheEarlierBackupKeepsItsName) {
    addAssets(current(), password(), 300);
    QByteArray bytes = fileBytes(current());
    for (int i = int(bytes.size()) - 3000; i < int(bytes.size()) - 2900; ++i)
        bytes[i] = char(bytes[i] ^ 0x5a);
    writeFile(current(), bytes);
    backups.setAutoRemove(true);
    writeFile(out(QStringLiteral("d.qsl")), "good old backup");
    const Result r =
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("d.qsl")));
    EXPECT_EQ(r.status, Status::CheckFailed);
    EXPECT_TRUE(r.message.contains(QStringLiteral("备份没有完成"))) << r.message.toStdString();
    EXPECT_EQ(fileBytes(out(QStringLiteral("d.qsl"))), QByteArray("good old backup"));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("d.bak"))));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("d.qsl.part"))));
}

// ---- on the medium before "完成" ----

TEST_F(DataSafety, ABackupWhoseFlushFailsIsReportedFailedAndTheEarlierBackupKeepsItsName) {
    writeFile(out(QStringLiteral("x.qsl")), "earlier backup");
    failFsyncOf(out(QStringLiteral("x.qsl.part")));
    const Result r =
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("x.qsl")));
    failingFsyncs = 0;
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.message, QStringLiteral("当前备份已经完成。"));
    EXPECT_TRUE(r.message.contains(QStringLiteral("备份没有完成"))) << r.message.toStdString();
    EXPECT_EQ(fileBytes(out(QStringLiteral("x.qsl"))), QByteArray("earlier backup"));
    EXPECT_EQ(QDir(backups.path()).entryList(QDir::Files), QStringList{QStringLiteral("x.qsl")});
}

TEST_F(DataSafety, TheCompanionsBackupWithAFailingFlushExitsWithFailure) {
    QString outText, errText;
    QTextStream o(&outText), e(&errText);
    failingFsyncs = 1;
    const int code =
        fx::admin::runCommand({QStringLiteral("backup"), data(), out(QStringLiteral("n"))}, o, e);
    failingFsyncs = 0;
    o.flush();
    e.flush();
    EXPECT_EQ(code, 1);
    EXPECT_FALSE(outText.contains(QStringLiteral("完成"))) << outText.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("n.qsl"))));
}

TEST_F(DataSafety, ARestoreWhoseFlushFailsPutsEveryFileBack) {
    backUpAs(QStringLiteral("c.qsl"));
    setOrganisation(current(), password(), QStringLiteral("现在"));
    ASSERT_TRUE(QFile::copy(out(QStringLiteral("c.qsl")), sav()));
    setOrganisation(sav(), password(), QStringLiteral("更早的保存"));
    const QByteArray database = fileBytes(current());
    const QByteArray older = fileBytes(sav());
    failFsyncOf(current());
    const Result r =
        restoreDatabase(out(QStringLiteral("c.qsl")), current(), DatabaseKind::Current, password());
    failingFsyncs = 0;
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(fileBytes(current()), database);
    EXPECT_EQ(fileBytes(sav()), older);
}

// ---- the name switch under a kill ----

// Runs a backup over an existing one in a child process that is killed at its n-th rename;
// false when the backup finished without reaching it.
bool backupKilledAtRename(const QString& database, const QString& password, const QString& target,
                          int n) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        renamesBeforeKill = n;
        backupDatabase(database, password, DatabaseKind::Current, target);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 9;
}

TEST_F(DataSafety, AKillDuringTheNameSwitchNeverLeavesTheBackupsNameEmpty) {
    for (int n = 1;; ++n) {
        setOrganisation(current(), password(), QStringLiteral("第一次"));
        QFile::remove(out(QStringLiteral("x.qsl")));
        QFile::remove(out(QStringLiteral("x.bak")));
        backUpAs(QStringLiteral("x.qsl"));
        setOrganisation(current(), password(), QStringLiteral("第二次"));
        const bool killed =
            backupKilledAtRename(current(), password(), out(QStringLiteral("x.qsl")), n);
        ASSERT_TRUE(QFileInfo::exists(out(QStringLiteral("x.qsl")))) << "killed at rename " << n;
        EXPECT_TRUE(wholeDatabase(out(QStringLiteral("x.qsl")), password())) << "rename " << n;
        const QString there = organisation(out(QStringLiteral("x.qsl")), password());
        EXPECT_TRUE(there == QStringLiteral("第一次") || there == QStringLiteral("第二次"));
        if (!killed) {
            EXPECT_EQ(there, QStringLiteral("第二次"));
            EXPECT_EQ(organisation(out(QStringLiteral("x.bak")), password()),
                      QStringLiteral("第一次"));
            EXPECT_GT(n, 1);
            break;
        }
        ASSERT_LT(n, 10);
    }
}

TEST_F(DataSafety, ThePairOfTwoRunsIsPointedOutAtTheNextBackup) {
    const auto admin = [&](QString& outText) {
        QString errText;
        QTextStream o(&outText), e(&errText);
        const int code = fx::admin::runCommand(
            {QStringLiteral("backup"), data(), out(QStringLiteral("p"))}, o, e);
        o.flush();
        return code;
    };
    QString first, second, third;
    ASSERT_EQ(admin(first), 0);
    ASSERT_EQ(admin(second), 0);
    EXPECT_FALSE(second.contains(QStringLiteral("不是同一次备份"))) << second.toStdString();
    // The current database alone, backed up again later: the pair no longer belongs together.
    ::usleep(20000);
    backUpAs(QStringLiteral("p.qsl"));
    ASSERT_EQ(admin(third), 0);
    EXPECT_TRUE(
        third.contains(QStringLiteral("“%1”和“%2”不是同一次备份留下的")
                           .arg(out(QStringLiteral("p.qsl")), out(QStringLiteral("p.qsh")))))
        << third.toStdString();
}

// ---- files that are not this system's databases ----

struct Foreign {
    const char* what;
    const char* statement;  // run on a copy of a real database, keyed with the current password
};

class ForeignFile : public DataSafety, public ::testing::WithParamInterface<Foreign> {};

TEST_P(ForeignFile, IsRefusedAndReplacesNothing) {
    const QString file = out(QStringLiteral("foreign.qsl"));
    ASSERT_TRUE(QFile::copy(current(), file));
    {
        auto c = fx::db::Connection::open(file, password());
        c->executeNative(QString::fromUtf8(GetParam().statement));
    }
    EXPECT_FALSE(identifyBackup(file, password()).ok) << GetParam().what;
    const QByteArray database = fileBytes(current());
    QString outText, errText;
    QTextStream o(&outText), e(&errText);
    EXPECT_EQ(fx::admin::runCommand({QStringLiteral("restore"), data(), file}, o, e), 1);
    e.flush();
    EXPECT_TRUE(errText.contains(QStringLiteral("您选择的文件不是本系统的数据库文件")));
    EXPECT_EQ(fileBytes(current()), database);
    EXPECT_FALSE(QFileInfo::exists(sav()));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ForeignFile,
    ::testing::Values(
        Foreign{"only a username table",
                "DROP TABLE sbjl; DROP TABLE sortproc; DROP TABLE sortb; DROP TABLE xhpz; "
                "DROP TABLE ytb; DROP TABLE wzb; DROP TABLE person; DROP TABLE syq; "
                "DROP TABLE lyfs; DROP TABLE users; DROP TABLE idupper; DROP TABLE jcb; "
                "DROP TABLE wxjlb; VACUUM"},
        Foreign{"no asset table", "DROP TABLE sbjl"},
        Foreign{"version 100", "UPDATE username SET version=100"},
        Foreign{"a version from the future", "UPDATE username SET version=99999"}));

TEST_F(DataSafety, AnEarlierLayoutTheProgramCanOpenIsRestored) {
    const QString file = out(QStringLiteral("older.qsl"));
    ASSERT_TRUE(QFile::copy(current(), file));
    {
        auto c = fx::db::Connection::open(file, password());
        c->executeNative(QStringLiteral("UPDATE username SET version=550"));
    }
    const IdentifiedBackup found = identifyBackup(file, password());
    EXPECT_TRUE(found.ok) << found.problem.toStdString();
    EXPECT_EQ(found.version, 550);
}

// ---- permissions ----

TEST_F(DataSafety, UnderAnOpenUmaskNewFilesTakeTheDatabasesMode) {
    ASSERT_EQ(::chmod(QFile::encodeName(current()).constData(), 0640), 0);
    QFile::remove(presenceLockPath(current()));
    const mode_t old = ::umask(0);
    backUpAs(QStringLiteral("m.qsl"));
    const int lockMode = modeOf(presenceLockPath(current()));
    const QString markerError = writeRestoreMarker(current(), out(QStringLiteral("m.qsl")));
    const int markerMode = modeOf(restoreMarkerPath(current()));
    removeRestoreMarker(current());
    ASSERT_EQ(::chmod(QFile::encodeName(out(QStringLiteral("m.qsl"))).constData(), 0666), 0);
    const Result r =
        restoreDatabase(out(QStringLiteral("m.qsl")), current(), DatabaseKind::Current, password());
    ::umask(old);
    ASSERT_TRUE(markerError.isEmpty());
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(modeOf(out(QStringLiteral("m.qsl"))), 0666);  // the chosen file is left alone
    EXPECT_EQ(lockMode, 0640);
    EXPECT_EQ(markerMode, 0640);
    EXPECT_EQ(modeOf(current()), 0640);  // the restored database, like the one it replaced
    EXPECT_EQ(modeOf(sav()), 0640);
    backUpAs(QStringLiteral("m2.qsl"));
    EXPECT_EQ(modeOf(out(QStringLiteral("m2.qsl"))), 0640);
}

// ---- a data folder that cannot be written ----

TEST_F(DataSafety, AnUnwritableDataFolderIsSaidToBeOneNotBlamedOnOtherUsers) {
    // A lock file that cannot be opened stands for a folder that cannot be written (this test
    // may run as root, whom permissions do not stop).
    QFile::remove(presenceLockPath(current()));
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent-folder/gdzc.qsk.lock"),
                            presenceLockPath(current())));
    const Result r =
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("u.qsl")));
    EXPECT_EQ(r.status, Status::FolderUnwritable);
    EXPECT_TRUE(r.message.contains(QStringLiteral("数据文件夹"))) << r.message.toStdString();
    EXPECT_TRUE(r.message.contains(QStringLiteral("不能写入")));

    auto state = install.bare();
    std::vector<fx::ui::PromptRequest> seen;
    fx::ui::setPromptHandler([&](const fx::ui::PromptRequest& p) {
        seen.push_back(p);
        return QMessageBox::Ok;
    });
    const bool started = beginPresence(nullptr, *state, 200);
    fx::ui::setPromptHandler({});
    leavePresence(*state);
    EXPECT_FALSE(started);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].text.contains(QStringLiteral("数据文件夹"))) << seen[0].text.toStdString();
    EXPECT_TRUE(seen[0].text.contains(QStringLiteral("不能写入")));
    EXPECT_FALSE(seen[0].text.contains(QStringLiteral("其他用户正在备份或恢复数据")));
}

}  // namespace
