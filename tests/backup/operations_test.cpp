#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "backupfiles.h"
#include "backupoperations.h"
#include "backuptestsupport.h"
#include "connection.h"
#include "databasecheck.h"
#include "migration.h"
#include "presencelock.h"
#include "restoremarker.h"
#include "testinstallation.h"

namespace {

using namespace fx::backup;
using fx::test::fileBytes;
using fx::test::organisation;
using fx::test::OtherProgram;
using fx::test::setOrganisation;
using fx::test::writeFile;

class Operations : public ::testing::Test {
protected:
    QString current() const { return install.dataDir() + QStringLiteral("gdzc.qsk"); }
    QString history() const { return install.dataDir() + QStringLiteral("dbjl.his"); }
    QString password() const { return install.password(); }
    QString out(const QString& name) const { return backups.filePath(name); }

    fx::test::TestInstallation install;
    QTemporaryDir backups;
};

// ---- backup ----

TEST_F(Operations, ABackupIsAByteCopyOfTheDatabaseThatOpensWithItsPassword) {
    setOrganisation(current(), password(), QStringLiteral("备份单位"));
    std::vector<int> chunks;
    const Result r =
        backupDatabase(current(), password(), DatabaseKind::Current,
                       out(QStringLiteral("20240601.qsl")), [&](int n) { chunks.push_back(n); });
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(r.message, QStringLiteral("当前备份已经完成。"));
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240601.qsl"))), fileBytes(current()));
    EXPECT_EQ(chunks.size(), 60u);
    EXPECT_EQ(organisation(out(QStringLiteral("20240601.qsl")), password()),
              QStringLiteral("备份单位"));
    // Nothing is left of the temporary copy.
    EXPECT_EQ(QDir(backups.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("20240601.qsl")});

    const Result h = backupDatabase(history(), historyPassword(), DatabaseKind::History,
                                    out(QStringLiteral("20240601.qsh")));
    ASSERT_TRUE(h.ok()) << h.message.toStdString();
    EXPECT_EQ(h.message, QStringLiteral("历史库备份已经完成。"));
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240601.qsh"))), fileBytes(history()));
}

TEST_F(Operations, OverwritingKeepsThePreviousBackupAsBakAndBah) {
    writeFile(out(QStringLiteral("x.qsl")), "previous current backup");
    writeFile(out(QStringLiteral("x.bak")), "an even older one");
    writeFile(out(QStringLiteral("x.qsh")), "previous history backup");
    ASSERT_TRUE(
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("x.qsl")))
            .ok());
    ASSERT_TRUE(backupDatabase(history(), historyPassword(), DatabaseKind::History,
                               out(QStringLiteral("x.qsh")))
                    .ok());
    EXPECT_EQ(fileBytes(out(QStringLiteral("x.bak"))), QByteArray("previous current backup"));
    EXPECT_EQ(fileBytes(out(QStringLiteral("x.bah"))), QByteArray("previous history backup"));
    EXPECT_EQ(fileBytes(out(QStringLiteral("x.qsl"))), fileBytes(current()));
    EXPECT_EQ(fileBytes(out(QStringLiteral("x.qsh"))), fileBytes(history()));
}

TEST_F(Operations, BackupIsRefusedWhileAnotherProgramIsPresentAndTouchesNothing) {
    writeFile(out(QStringLiteral("x.qsl")), "previous");
    const QByteArray database = fileBytes(current());
    OtherProgram other(presenceLockPath(current()));
    ASSERT_TRUE(other.holding());
    const Result r =
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("x.qsl")));
    EXPECT_EQ(r.status, Status::OthersOnline);
    EXPECT_EQ(r.message,
              QStringLiteral(
                  "现在有其他用户在线，备份暂时无法进行，请在其他用户全部退出的情况下进行备份。"));
    EXPECT_EQ(fileBytes(out(QStringLiteral("x.qsl"))), QByteArray("previous"));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("x.bak"))));
    EXPECT_EQ(fileBytes(current()), database);
}

TEST_F(Operations, AMissingDatabaseIsNamedNotBlamedOnOtherUsers) {
    QFile::remove(history());
    const Result r = backupDatabase(history(), historyPassword(), DatabaseKind::History,
                                    out(QStringLiteral("x.qsh")));
    EXPECT_EQ(r.status, Status::SourceUnreadable);
    EXPECT_TRUE(r.message.contains(history()));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("x.qsh"))));
}

TEST_F(Operations, ADamagedDatabaseIsNotBackedUpAndItsCopyWouldBeRefusedOnRestore) {
    // Damage on the first page (which every open reads) and deep in the file: the backup refuses
    // the database and leaves the earlier backup under its name; a copy of the damaged file is
    // refused by the restore, which checks every page, before anything is replaced.
    QByteArray bytes = fileBytes(current());
    ASSERT_GT(bytes.size(), 20000);
    for (const int start : {100, int(bytes.size()) - 3000})
        for (int i = start; i < start + 100; ++i) bytes[i] = char(bytes[i] ^ 0x5a);
    writeFile(current(), bytes);
    writeFile(out(QStringLiteral("d.qsl")), "good old backup");
    const Result r =
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("d.qsl")));
    EXPECT_EQ(r.status, Status::CheckFailed);
    EXPECT_TRUE(r.message.contains(QStringLiteral("校验没有通过"))) << r.message.toStdString();
    EXPECT_EQ(fileBytes(out(QStringLiteral("d.qsl"))), QByteArray("good old backup"));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("d.bak"))));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("d.qsl.part"))));
    writeFile(out(QStringLiteral("copy.qsl")), bytes);
    EXPECT_FALSE(identifyBackup(out(QStringLiteral("copy.qsl")), password()).ok);
}

TEST_F(Operations, AnUnwritableTargetFailsWithoutLosingTheOldBackup) {
    const Result r = backupDatabase(current(), password(), DatabaseKind::Current,
                                    out(QStringLiteral("no/folder/x.qsl")));
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("备份文件写入失败")));
}

TEST_F(Operations, AHotJournalIsRolledBackBeforeTheCopyAndNeverCopied) {
    ASSERT_TRUE(fx::test::leaveHotJournal(current(), password()));
    const Result r =
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("j.qsl")));
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("j.qsl-journal"))));
    // The backup holds the committed state alone, readable without any journal.
    EXPECT_EQ(fx::test::unfinishedRows(out(QStringLiteral("j.qsl")), password()), 0);
    EXPECT_TRUE(
        probeDatabase(out(QStringLiteral("j.qsl")), password(), IntegrityCheck::Full).intact);
}

// ---- identifying a backup ----

TEST_F(Operations, TheKindIsToldByThePasswordNotTheExtension) {
    ASSERT_TRUE(backupDatabase(history(), historyPassword(), DatabaseKind::History,
                               out(QStringLiteral("h.qsl")))
                    .ok());
    ASSERT_TRUE(
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("c.qsh")))
            .ok());
    const IdentifiedBackup h = identifyBackup(out(QStringLiteral("h.qsl")), password());
    ASSERT_TRUE(h.ok);
    EXPECT_EQ(h.kind, DatabaseKind::History);
    EXPECT_EQ(h.version, ::fx::schema::layoutVersion(::fx::schema::DatabaseKind::History));
    const IdentifiedBackup c = identifyBackup(out(QStringLiteral("c.qsh")), password());
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.kind, DatabaseKind::Current);
}

TEST_F(Operations, ForeignDamagedAndTruncatedFilesAreRefused) {
    writeFile(out(QStringLiteral("text.qsl")), "这不是数据库，只是一个文本文件。\n");
    EXPECT_FALSE(identifyBackup(out(QStringLiteral("text.qsl")), password()).ok);

    ASSERT_TRUE(
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("c.qsl")))
            .ok());
    const QByteArray good = fileBytes(out(QStringLiteral("c.qsl")));
    QByteArray damaged = good;
    for (int i = good.size() - 2000; i < good.size() - 1900; ++i)
        damaged[i] = char(damaged[i] ^ 0x33);
    writeFile(out(QStringLiteral("damaged.qsl")), damaged);
    const IdentifiedBackup d = identifyBackup(out(QStringLiteral("damaged.qsl")), password());
    EXPECT_FALSE(d.ok);
    EXPECT_FALSE(d.problem.isEmpty());
    writeFile(out(QStringLiteral("short.qsl")), good.left(good.size() / 2));
    EXPECT_FALSE(identifyBackup(out(QStringLiteral("short.qsl")), password()).ok);
    // A wrong installation password opens neither kind.
    EXPECT_FALSE(identifyBackup(out(QStringLiteral("c.qsl")), QStringLiteral("another")).ok);
    // Identifying never changes a file.
    EXPECT_EQ(fileBytes(out(QStringLiteral("damaged.qsl"))), damaged);
}

TEST_F(Operations, AProbeLeavesAFileWithAJournalBesideItAlone) {
    ASSERT_TRUE(fx::test::leaveHotJournal(current(), password()));
    const QByteArray before = fileBytes(current());
    const QByteArray journal = fileBytes(current() + QStringLiteral("-journal"));
    const DatabaseProbe probe = probeDatabase(current(), password(), IntegrityCheck::Full);
    EXPECT_FALSE(probe.opened);
    EXPECT_EQ(fileBytes(current()), before);
    EXPECT_EQ(fileBytes(current() + QStringLiteral("-journal")), journal);
}

// ---- restore ----

TEST_F(Operations, RestoreReplacesTheDatabaseAndKeepsTheOldOneAsSav) {
    setOrganisation(current(), password(), QStringLiteral("备份时"));
    ASSERT_TRUE(
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("c.qsl")))
            .ok());
    setOrganisation(current(), password(), QStringLiteral("备份后"));
    const QByteArray replaced = fileBytes(current());

    const Result r =
        restoreDatabase(out(QStringLiteral("c.qsl")), current(), DatabaseKind::Current, password());
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_TRUE(r.message.startsWith(QStringLiteral("系统已经恢复到备份前的状态")));
    EXPECT_EQ(fileBytes(current()), fileBytes(out(QStringLiteral("c.qsl"))));
    EXPECT_EQ(organisation(current(), password()), QStringLiteral("备份时"));
    EXPECT_EQ(fileBytes(install.dataDir() + QStringLiteral("gdzc.sav")), replaced);
    EXPECT_FALSE(QFileInfo::exists(restoreMarkerPath(current())));
    EXPECT_TRUE(interruptedRestoreMessage(current()).isEmpty());
}

TEST_F(Operations, AHistoryBackupNamedQslRestoresIntoTheHistoryFile) {
    setOrganisation(history(), historyPassword(), QStringLiteral("历史备份时"));
    ASSERT_TRUE(backupDatabase(history(), historyPassword(), DatabaseKind::History,
                               out(QStringLiteral("h.qsl")))
                    .ok());
    setOrganisation(history(), historyPassword(), QStringLiteral("历史备份后"));
    const QByteArray currentBefore = fileBytes(current());
    const IdentifiedBackup found = identifyBackup(out(QStringLiteral("h.qsl")), password());
    ASSERT_TRUE(found.ok);
    ASSERT_EQ(found.kind, DatabaseKind::History);
    const Result r =
        restoreDatabase(out(QStringLiteral("h.qsl")), history(), found.kind, historyPassword());
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_EQ(r.message, QStringLiteral("系统已经将历史库恢复到备份前的状态。"));
    EXPECT_EQ(organisation(history(), historyPassword()), QStringLiteral("历史备份时"));
    EXPECT_EQ(organisation(install.dataDir() + QStringLiteral("dbjl.sav"), historyPassword()),
              QStringLiteral("历史备份后"));
    EXPECT_EQ(fileBytes(current()), currentBefore);
}

TEST_F(Operations, RestoreIsRefusedWhileAnotherProgramIsPresentAndTouchesNothing) {
    ASSERT_TRUE(
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("c.qsl")))
            .ok());
    setOrganisation(current(), password(), QStringLiteral("在线"));
    const QByteArray before = fileBytes(current());
    OtherProgram other(presenceLockPath(current()));
    ASSERT_TRUE(other.holding());
    const Result r =
        restoreDatabase(out(QStringLiteral("c.qsl")), current(), DatabaseKind::Current, password());
    EXPECT_EQ(r.status, Status::OthersOnline);
    EXPECT_EQ(
        r.message,
        QStringLiteral(
            "数据恢复失败，请检查是否有其他用户在线，请在其他用户全部退出的情况下恢复数据！"));
    EXPECT_EQ(fileBytes(current()), before);
    EXPECT_FALSE(QFileInfo::exists(install.dataDir() + QStringLiteral("gdzc.sav")));
    EXPECT_FALSE(QFileInfo::exists(restoreMarkerPath(current())));
}

TEST_F(Operations, AnUnreadableBackupReplacesNothing) {
    const QByteArray before = fileBytes(current());
    const Result r = restoreDatabase(out(QStringLiteral("gone.qsl")), current(),
                                     DatabaseKind::Current, password());
    EXPECT_EQ(r.status, Status::BackupUnreadable);
    EXPECT_EQ(r.message, QStringLiteral("备份文件读取有误，数据恢复失败，"));
    EXPECT_EQ(fileBytes(current()), before);
    EXPECT_FALSE(QFileInfo::exists(install.dataDir() + QStringLiteral("gdzc.sav")));
}

TEST_F(Operations, ACopyThatFailsItsCheckPutsThePreviousDatabaseBack) {
    // A file that changed after it was identified: the check of the restored copy catches it.
    writeFile(out(QStringLiteral("bad.qsl")), fx::test::patternBytes(40960));
    const QByteArray before = fileBytes(current());
    const Result r = restoreDatabase(out(QStringLiteral("bad.qsl")), current(),
                                     DatabaseKind::Current, password());
    EXPECT_EQ(r.status, Status::CheckFailed);
    EXPECT_TRUE(r.message.contains(QStringLiteral("原来的数据库文件已经放回原处")));
    EXPECT_EQ(fileBytes(current()), before);
    EXPECT_FALSE(QFileInfo::exists(restoreMarkerPath(current())));
    EXPECT_TRUE(interruptedRestoreMessage(current()).isEmpty());
}

TEST_F(Operations, AHotJournalOfTheReplacedFileGoesWithItToTheSavFile) {
    setOrganisation(current(), password(), QStringLiteral("备份时"));
    ASSERT_TRUE(
        backupDatabase(current(), password(), DatabaseKind::Current, out(QStringLiteral("c.qsl")))
            .ok());
    ASSERT_TRUE(fx::test::leaveHotJournal(current(), password()));
    const QString journal = current() + QStringLiteral("-journal");
    const QByteArray hot = fileBytes(journal);

    const Result r =
        restoreDatabase(out(QStringLiteral("c.qsl")), current(), DatabaseKind::Current, password());
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(journal));
    EXPECT_EQ(fileBytes(current()), fileBytes(out(QStringLiteral("c.qsl"))));
    EXPECT_EQ(organisation(current(), password()), QStringLiteral("备份时"));
    EXPECT_TRUE(probeDatabase(current(), password(), IntegrityCheck::Full).intact);
    // The kept file and its journal stay a pair: opened together, the unfinished change is
    // rolled back.
    const QString sav = install.dataDir() + QStringLiteral("gdzc.sav");
    EXPECT_EQ(fileBytes(sav + QStringLiteral("-journal")), hot);
    fx::db::Connection::open(sav, password());
    EXPECT_EQ(fx::test::unfinishedRows(sav, password()), 0);
}

}  // namespace
