// Backup and restore on both engines: a database server's schemas are backed up to the same
// keyed files a file installation writes, and such files restore into either engine.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProgressBar>
#include <QTemporaryDir>
#include <algorithm>
#include <optional>

#include "appstate.h"
#include "backupcommands.h"
#include "backupoperations.h"
#include "backuptestsupport.h"
#include "clock.h"
#include "connection.h"
#include "databaselocation.h"
#include "dberror.h"
#include "engine.h"
#include "presencelock.h"
#include "rowset.h"
#include "scripts.h"
#include "statelocation.h"
#include "testinstallation.h"
#include "texitdlg.h"

namespace {

using namespace fx::backup;
using fx::test::Engine;
using fx::test::ModalScript;
using fx::test::PromptScript;
using fx::test::TestInstallation;

const QString kTip = QStringLiteral("提示");
const QString kWarning = QStringLiteral("警告");
const QString kImportant = QStringLiteral("重要说明");
const QString kRestoreWarning = QStringLiteral(
    "恢复备份将覆盖现在的全部工作数据，建议您在所有用户都退出系统的前提下，做此操作。");
const QString kRestoreOthersOnline = QStringLiteral(
    "数据恢复失败，请检查是否有其他用户在线，请在其他用户全部退出的情况下恢复数据！");

// Every row of every table of a database, one text per row, sorted: two databases with equal
// dumps hold the same data whatever their engine.
QStringList dump(fx::db::Connection& c) {
    QStringList rows;
    for (const fx::db::detail::DeclaredTable& t : c.engine().schema()) {
        fx::db::RowSet set(c, QStringLiteral("select * from ") + t.name);
        set.open();
        const QStringList columns = c.columnNames(t.name);
        for (; !set.eof(); set.next()) {
            QStringList values{t.name.toLower()};
            for (const QString& column : columns) values << set.value(column).toString();
            rows << values.join(QLatin1Char('|'));
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void addAssets(fx::db::Connection& c, int from, int count) {
    for (int n = from; n < from + count; ++n) {
        c.execute(QStringLiteral("insert into sbjl (id, num, sbmc, gmjg, gmrq, worp, other) "
                                 "values ('JSJ-', %1, '电脑', %2, #06/01/2024#, true, '第%1台')")
                      .arg(n)
                      .arg(3500.25 + n));
    }
}

void addHistory(fx::db::Connection& h, int count) {
    for (int n = 1; n <= count; ++n) {
        h.execute(QStringLiteral("insert into his (id, swz, owz, [date], czy) values "
                                 "(%1, '仓库', '办公室', #05/0%2/2024#, '系统管理员')")
                      .arg(n)
                      .arg(n % 9 + 1));
    }
}

void setOrganisation(fx::db::Connection& c, const QString& name) {
    c.execute(QStringLiteral("update username set [user]='%1'").arg(name));
}

QString organisationOf(fx::db::Connection& c) {
    return c.queryValue(QStringLiteral("select [user] from username")).toString();
}

int assetCount(fx::db::Connection& c) {
    return c.queryValue(QStringLiteral("select count(*) from sbjl")).toInt();
}

// Another workstation working on the installation's current database: on the file a program
// holding the presence lock, on the server a connection of the program to the schema.
class OtherWorkstation {
public:
    OtherWorkstation(TestInstallation& install, fx::AppState& state) {
        if (install.onServer()) {
            const DatabaseLocation where = databaseLocation(state, DatabaseKind::Current);
            connection_ = fx::db::Connection::openServer(where.conninfo, where.schema);
        } else {
            program_.emplace(presenceLockPath(state.currentDatabasePath()));
        }
    }
    bool working() const { return connection_ || (program_ && program_->holding()); }

private:
    std::unique_ptr<fx::db::Connection> connection_;
    std::optional<fx::test::OtherProgram> program_;
};

FX_BOTH_ENGINES(EngineBackup);

TEST_P(EngineBackup, BackupThenRestoreThroughTheDialogsGivesBackEveryRow) {
    fx::Clock::set(QDateTime(QDate(2024, 6, 1), QTime(9, 30)));
    TestInstallation install(GetParam());
    QTemporaryDir backups;
    auto state = install.signedIn();
    addAssets(*state->current, 1, 25);
    addHistory(*state->history, 12);
    setOrganisation(*state->current, QStringLiteral("备份时"));
    const QStringList currentBefore = dump(*state->current);
    const QStringList historyBefore = dump(*state->history);

    fx::test::FileScript files;
    files.answers.push_back(backups.filePath(QStringLiteral("20240601")));
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("当前备份已经完成。"))
            .expect(kTip, QStringLiteral("历史库备份已经完成。"));
        ModalScript modals;
        modals.then<TexitDlg>([](TexitDlg& d) {
            d.BitBtn1Click();
            EXPECT_EQ(d.ProgressBar1->value(), 300);
            return d.result();
        });
        runBackupCommand(nullptr, *state);
    }
    const QString currentBackup = backups.filePath(QStringLiteral("20240601.qsl"));
    const QString historyBackup = backups.filePath(QStringLiteral("20240601.qsh"));
    ASSERT_TRUE(QFileInfo::exists(currentBackup));
    ASSERT_TRUE(QFileInfo::exists(historyBackup));
    // Keyed files as a file installation's backup: told apart by the password that opens them.
    EXPECT_EQ(identifyBackup(currentBackup, state->keyRing()).kind, DatabaseKind::Current);
    EXPECT_EQ(identifyBackup(historyBackup, state->keyRing()).kind, DatabaseKind::History);

    // Work goes on after the backup.
    ASSERT_TRUE(state->current);
    state->current->execute(QStringLiteral("delete from sbjl where num < 5"));
    addAssets(*state->current, 100, 3);
    setOrganisation(*state->current, QStringLiteral("备份后"));
    addHistory(*state->history, 2);

    files.answers.push_back(currentBackup);
    {
        PromptScript prompts;
        prompts.expect(kWarning, kRestoreWarning)
            .expect(
                kImportant,
                QStringLiteral("系统已经恢复到备份前的状态，建议及时检查［用户权限］及各自密码。"));
        ModalScript modals;
        modals.then<TexitDlg>([](TexitDlg& d) {
            d.BitBtn1Click();
            EXPECT_TRUE(d.backupIdentified());
            d.BitBtn1Click();
            return d.result();
        });
        EXPECT_EQ(runRestoreCommand(nullptr, *state), RestoreOutcome::CurrentRestored);
    }
    state->closeConnections();
    auto next = install.signedIn();
    EXPECT_EQ(dump(*next->current), currentBefore);
    // The counter goes on after the highest serial of the backup.
    const int highest =
        next->current->queryValue(QStringLiteral("select max(ID1) from sbjl")).toInt();
    addAssets(*next->current, 200, 1);
    EXPECT_EQ(next->current->lastInsertId(), highest + 1);

    files.answers.push_back(historyBackup);
    {
        PromptScript prompts;
        prompts.expect(kWarning, kRestoreWarning)
            .expect(kImportant, QStringLiteral("系统已经将历史库恢复到备份前的状态。"));
        ModalScript modals;
        modals.then<TexitDlg>([](TexitDlg& d) {
            d.BitBtn1Click();
            d.BitBtn1Click();
            return d.result();
        });
        EXPECT_EQ(runRestoreCommand(nullptr, *next), RestoreOutcome::HistoryRestored);
    }
    ASSERT_TRUE(next->history);
    EXPECT_EQ(dump(*next->history), historyBefore);
    fx::Clock::set(QDateTime());
}

TEST_P(EngineBackup, ABackupTakenWhileAnotherWorkstationWritesHoldsOnePicture) {
    TestInstallation install(GetParam());
    QTemporaryDir backups;
    auto state = install.signedIn();
    addAssets(*state->current, 1, 40);
    setOrganisation(*state->current, QStringLiteral("备份前"));
    const QStringList before = dump(*state->current);
    state->current.reset();

    auto other = install.signedIn();
    bool wrote = false;
    bool tried = false;
    const QString target = backups.filePath(QStringLiteral("busy.qsl"));
    const Result r = backupDatabase(
        databaseLocation(*state, DatabaseKind::Current), DatabaseKind::Current, target, [&](int) {
            if (tried) return;
            tried = true;
            // A change of two tables, committed half-way through.
            try {
                fx::db::Transaction t(*other->current);
                addAssets(*other->current, 500, 1);
                setOrganisation(*other->current, QStringLiteral("备份中写入"));
                t.commit();
                wrote = true;
            } catch (const fx::db::DbError&) {
                // The file's read lock keeps writers waiting.
            }
        });
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    ASSERT_TRUE(tried);
    // On the server the others keep working; the backup holds the picture of its start.
    if (onServer()) {
        EXPECT_TRUE(wrote);
        EXPECT_EQ(assetCount(*other->current), 41);
    }
    auto backup =
        fx::db::Connection::open(target, databaseLocation(*state, DatabaseKind::Current).password);
    EXPECT_EQ(dump(*backup), before);
}

TEST_P(EngineBackup, ARestoreIsRefusedWhileAnotherWorkstationIsConnected) {
    TestInstallation install(GetParam());
    QTemporaryDir backups;
    auto state = install.signedIn();
    setOrganisation(*state->current, QStringLiteral("备份时"));
    const QString target = backups.filePath(QStringLiteral("x.qsl"));
    ASSERT_TRUE(backupDatabase(databaseLocation(*state, DatabaseKind::Current),
                               DatabaseKind::Current, target)
                    .ok());
    setOrganisation(*state->current, QStringLiteral("备份后"));
    // The program closes its own connection for the restore; its history connection stays.
    state->current.reset();
    ASSERT_TRUE(state->history);
    const IdentifiedBackup found = identifyBackup(target, state->keyRing());
    ASSERT_TRUE(found.ok);
    {
        OtherWorkstation other(install, *state);
        ASSERT_TRUE(other.working());
        const Result r = restoreDatabase(target, databaseLocation(*state, DatabaseKind::Current),
                                         DatabaseKind::Current, found.password);
        EXPECT_EQ(r.status, Status::OthersOnline);
        EXPECT_EQ(r.message, kRestoreOthersOnline);
        state->openCurrent();
        EXPECT_EQ(organisationOf(*state->current), QStringLiteral("备份后"));
        state->current.reset();
    }
    // Once the other has left, the restore goes ahead.
    const Result r = restoreDatabase(target, databaseLocation(*state, DatabaseKind::Current),
                                     DatabaseKind::Current, found.password);
    ASSERT_TRUE(r.ok()) << r.message.toStdString();
    state->openCurrent();
    EXPECT_EQ(organisationOf(*state->current), QStringLiteral("备份时"));
}

TEST(ServerRestore, ARestoreFailingHalfWayLeavesTheSchemaUnchanged) {
    if (fx::test::serverConninfo().isEmpty()) GTEST_SKIP() << "no test server";
    TestInstallation install(Engine::Server);
    QTemporaryDir backups;
    auto state = install.signedIn();
    addAssets(*state->current, 1, 10);
    const QString target = backups.filePath(QStringLiteral("x.qsl"));
    const DatabaseLocation where = databaseLocation(*state, DatabaseKind::Current);
    ASSERT_TRUE(backupDatabase(where, DatabaseKind::Current, target).ok());
    {
        // A value the file takes and the server refuses, in a table copied after others.
        auto backup = fx::db::Connection::open(target, where.password);
        backup->execute(QStringLiteral("update sbjl set num='第五' where num=5"));
    }
    addAssets(*state->current, 20, 2);
    setOrganisation(*state->current, QStringLiteral("恢复前"));
    const QStringList before = dump(*state->current);
    state->current.reset();

    const IdentifiedBackup found = identifyBackup(target, state->keyRing());
    ASSERT_TRUE(found.ok);
    const Result r = restoreDatabase(target, where, DatabaseKind::Current, found.password);
    EXPECT_EQ(r.status, Status::WriteFailed);
    EXPECT_TRUE(r.message.endsWith(QStringLiteral("数据库服务器上的数据没有改动。")))
        << r.message.toStdString();
    state->openCurrent();
    EXPECT_EQ(dump(*state->current), before);
}

TEST(CrossEngineBackup, AFileBackupRestoresIntoTheServerAndAServerBackupIntoAFile) {
    if (fx::test::serverConninfo().isEmpty()) GTEST_SKIP() << "no test server";
    TestInstallation files(Engine::File);
    TestInstallation server(Engine::Server);
    QTemporaryDir backups;
    auto onFile = files.signedIn();
    auto onServer = server.signedIn();
    addAssets(*onFile->current, 1, 30);
    addHistory(*onFile->history, 5);
    setOrganisation(*onFile->current, QStringLiteral("文件单位"));

    // File -> server.
    for (const DatabaseKind kind : {DatabaseKind::Current, DatabaseKind::History}) {
        const QString target = backups.filePath(
            kind == DatabaseKind::Current ? QStringLiteral("f.qsl") : QStringLiteral("f.qsh"));
        ASSERT_TRUE(backupDatabase(databaseLocation(*onFile, kind), kind, target).ok());
        const IdentifiedBackup found = identifyBackup(target, onServer->keyRing());
        ASSERT_TRUE(found.ok);
        ASSERT_EQ(found.kind, kind);
        onServer->closeConnections();
        const Result r =
            restoreDatabase(target, databaseLocation(*onServer, kind), kind, found.password);
        ASSERT_TRUE(r.ok()) << r.message.toStdString();
        onServer->openCurrent();
        onServer->openHistory();
    }
    EXPECT_EQ(dump(*onServer->current), dump(*onFile->current));
    EXPECT_EQ(dump(*onServer->history), dump(*onFile->history));

    // Server -> file.
    onServer->current->execute(QStringLiteral("delete from sbjl where num > 20"));
    setOrganisation(*onServer->current, QStringLiteral("服务器单位"));
    addHistory(*onServer->history, 3);
    for (const DatabaseKind kind : {DatabaseKind::Current, DatabaseKind::History}) {
        const QString target = backups.filePath(
            kind == DatabaseKind::Current ? QStringLiteral("s.qsl") : QStringLiteral("s.qsh"));
        ASSERT_TRUE(backupDatabase(databaseLocation(*onServer, kind), kind, target).ok());
        const IdentifiedBackup found = identifyBackup(target, onFile->keyRing());
        ASSERT_TRUE(found.ok);
        ASSERT_EQ(found.kind, kind);
        onFile->closeConnections();
        const Result r =
            restoreDatabase(target, databaseLocation(*onFile, kind), kind, found.password);
        ASSERT_TRUE(r.ok()) << r.message.toStdString();
        onFile->openCurrent();
        onFile->openHistory();
    }
    EXPECT_EQ(dump(*onFile->current), dump(*onServer->current));
    EXPECT_EQ(dump(*onFile->history), dump(*onServer->history));
    EXPECT_EQ(organisationOf(*onFile->current), QStringLiteral("服务器单位"));
}

}  // namespace
