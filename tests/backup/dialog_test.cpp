#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "appstate.h"
#include "backupcommands.h"
#include "backupfiles.h"
#include "backupoperations.h"
#include "backuptestsupport.h"
#include "clock.h"
#include "connection.h"
#include "migration.h"
#include "presencelock.h"
#include "restoremarker.h"
#include "rowset.h"
#include "scripts.h"
#include "testinstallation.h"
#include "texitdlg.h"

namespace {

using namespace fx::backup;
using fx::test::fileBytes;
using fx::test::ModalScript;
using fx::test::OtherProgram;
using fx::test::PromptScript;
using fx::test::writeFile;

const QString kTip = QStringLiteral("提示");
const QString kWarning = QStringLiteral("警告");
const QString kImportant = QStringLiteral("重要说明");
const QString kCurrentDone = QStringLiteral("当前备份已经完成。");
const QString kHistoryDone = QStringLiteral("历史库备份已经完成。");
const QString kOthersOnline =
    QStringLiteral("现在有其他用户在线，备份暂时无法进行，请在其他用户全部退出的情况下进行备份。");
const QString kRestoreWarning = QStringLiteral(
    "恢复备份将覆盖现在的全部工作数据，建议您在所有用户都退出系统的前提下，做此操作。");
const QString kNotADatabase = QStringLiteral("您选择的文件不是本系统的数据库文件，请重新选择！");

QString orgOf(fx::db::Connection& c) {
    fx::db::RowSet row(c, QStringLiteral("select * from username"));
    row.open();
    return row.text(QStringLiteral("user"));
}

void setOrg(fx::db::Connection& c, const QString& name) {
    fx::db::RowSet row(c, QStringLiteral("select * from username"));
    row.open();
    row.edit();
    row.setValue(QStringLiteral("user"), name);
    row.post();
}

class BackupDialog : public ::testing::Test {
protected:
    void SetUp() override {
        fx::Clock::set(QDateTime(QDate(2024, 6, 1), QTime(9, 30)));
        state = install.signedIn();
    }
    void TearDown() override {
        fx::Clock::set(QDateTime());
        leavePresence(*state);
    }
    QString current() const { return install.dataDir() + QStringLiteral("gdzc.qsk"); }
    QString history() const { return install.dataDir() + QStringLiteral("dbjl.his"); }
    QString out(const QString& name) const { return backups.filePath(name); }

    fx::test::TestInstallation install;
    std::unique_ptr<fx::AppState> state;
    QTemporaryDir backups;
    fx::test::FileScript files;
    std::vector<fx::ui::FileRequest>& requests = files.requests;
    std::vector<QString>& answers = files.answers;
};

// ---- the three uses ----

TEST_F(BackupDialog, TheThreeUsesShowTheirOwnControls) {
    TexitDlg exitUse(*state, TexitDlg::Use::Exit);
    EXPECT_EQ(exitUse.windowTitle(), QStringLiteral("选择退出"));
    EXPECT_FALSE(exitUse.Panel1->isHidden());
    EXPECT_FALSE(exitUse.CheckBox1->isHidden());
    EXPECT_TRUE(exitUse.CheckBox3->isHidden());
    EXPECT_TRUE(exitUse.CheckBox2->isHidden());
    EXPECT_TRUE(exitUse.CheckBox3->isChecked());
    EXPECT_TRUE(exitUse.CheckBox2->isChecked());
    EXPECT_TRUE(exitUse.RadioButton1->isChecked());
    EXPECT_EQ(exitUse.RadioButton1->text(), QStringLiteral("直接退出"));
    EXPECT_EQ(exitUse.RadioButton2->text(), QStringLiteral("备份后退出"));
    EXPECT_EQ(exitUse.CheckBox1->text(), QStringLiteral("不再提示"));
    EXPECT_EQ(exitUse.ProgressBar1->maximum(), 300);
    // Nothing to tell yet: no empty status line, no progress bar.
    EXPECT_TRUE(exitUse.Label1->isHidden());
    EXPECT_TRUE(exitUse.ProgressBar1->isHidden());

    TexitDlg backupUse(*state, TexitDlg::Use::Backup);
    EXPECT_EQ(backupUse.windowTitle(), QStringLiteral("数据备份"));
    EXPECT_EQ(backupUse.Label1->text(), QStringLiteral("真的需要备份吗？"));
    EXPECT_TRUE(backupUse.Panel1->isHidden());
    EXPECT_TRUE(backupUse.CheckBox1->isHidden());
    EXPECT_FALSE(backupUse.CheckBox3->isHidden());
    EXPECT_FALSE(backupUse.CheckBox2->isHidden());
    EXPECT_EQ(backupUse.CheckBox3->text(), QStringLiteral("当前库"));
    EXPECT_EQ(backupUse.CheckBox2->text(), QStringLiteral("历史库"));
    EXPECT_TRUE(backupUse.RadioButton2->isChecked());
    EXPECT_FALSE(backupUse.Label1->isHidden());
    EXPECT_TRUE(backupUse.ProgressBar1->isHidden());

    TexitDlg restoreUse(*state, TexitDlg::Use::Restore);
    EXPECT_EQ(restoreUse.windowTitle(), QStringLiteral("恢复备份"));
    EXPECT_EQ(restoreUse.Label1->text(), QStringLiteral("现在恢复吗？请按确定键后选择备份文件。"));
    for (QWidget* w :
         {static_cast<QWidget*>(restoreUse.Panel1), static_cast<QWidget*>(restoreUse.CheckBox1),
          static_cast<QWidget*>(restoreUse.CheckBox2), static_cast<QWidget*>(restoreUse.CheckBox3)})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_EQ(restoreUse.BitBtn1->text(), QStringLiteral("确定"));
    EXPECT_EQ(restoreUse.BitBtn2->text(), QStringLiteral("取消"));
}

TEST_F(BackupDialog, TakesTheThemeColour) {
    state->theme = fx::Theme::Blue;
    TexitDlg d(*state, TexitDlg::Use::Backup);
    EXPECT_EQ(d.palette().color(QPalette::Window), QColor(193, 218, 238));
}

TEST_F(BackupDialog, TheAnimationShowsOnlyWhenThereIsOne) {
    {
        TexitDlg d(*state, TexitDlg::Use::Backup);
        EXPECT_TRUE(d.Animate1->isHidden());
    }
    // A one-pixel GIF in the start folder.
    const QByteArray gif =
        QByteArray::fromBase64("R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==");
    writeFile(QDir(state->startDir).filePath(QStringLiteral("Download.gif")), gif);
    TexitDlg d(*state, TexitDlg::Use::Backup);
    EXPECT_FALSE(d.Animate1->isHidden());
    ASSERT_TRUE(d.Animate1->movie());
}

// ---- backup ----

TEST_F(BackupDialog, TheSuggestedNameWritesQslAndQshSideBySide) {
    answers.push_back(out(QStringLiteral("20240601")));
    PromptScript prompts;
    prompts.expect(kTip, kCurrentDone).expect(kTip, kHistoryDone);
    ModalScript modals;
    int progressAfter = -1;
    modals.then<TexitDlg>([&](TexitDlg& d) {
        d.BitBtn1Click();
        progressAfter = d.ProgressBar1->value();
        EXPECT_FALSE(d.ProgressBar1->isHidden());  // shown once the copy ran
        return d.result();
    });
    runBackupCommand(nullptr, *state);

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(QFileInfo(requests[0].directory).fileName(), QStringLiteral("20240601"));
    EXPECT_EQ(requests[0].filter, QStringLiteral("所有青石岭备份文件(*.qsl)"));
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240601.qsl"))), fileBytes(current()));
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240601.qsh"))), fileBytes(history()));
    EXPECT_EQ(progressAfter, 300);
    // Both connections are back.
    ASSERT_TRUE(state->current);
    ASSERT_TRUE(state->history);
    setOrg(*state->current, QStringLiteral("备份后仍可写"));
    EXPECT_EQ(orgOf(*state->current), QStringLiteral("备份后仍可写"));
}

TEST_F(BackupDialog, OverwritingKeepsBakAndBah) {
    writeFile(out(QStringLiteral("20240601.qsl")), "old current");
    writeFile(out(QStringLiteral("20240601.qsh")), "old history");
    const auto overwrite = [&](bool pairOfTwoRuns) {
        answers.push_back(out(QStringLiteral("20240601.qsl")));
        PromptScript prompts;
        // Two files that were not written by one backup run are pointed out first.
        if (pairOfTwoRuns) prompts.expect(kTip, QStringLiteral("不是同一次备份留下的"));
        prompts
            .expect(kTip, QStringLiteral("当前库备份文件已经存在，覆盖掉它吗？"), QMessageBox::Ok)
            .expect(kTip, kCurrentDone)
            .expect(kTip, QStringLiteral("历史库备份文件已经存在，覆盖掉它吗？"), QMessageBox::Ok)
            .expect(kTip, kHistoryDone);
        ModalScript modals;
        modals.then<TexitDlg>([](TexitDlg& d) {
            d.BitBtn1Click();
            EXPECT_EQ(d.result(), QDialog::Accepted);
            return d.result();
        });
        runBackupCommand(nullptr, *state);
        EXPECT_TRUE(prompts.done());
    };
    overwrite(true);
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240601.bak"))), QByteArray("old current"));
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240601.bah"))), QByteArray("old history"));
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240601.qsl"))), fileBytes(current()));
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240601.qsh"))), fileBytes(history()));
    // The pair the dialog wrote belongs together: the next backup over it says nothing more.
    overwrite(false);
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240601.bak"))), fileBytes(current()));
}

TEST_F(BackupDialog, DecliningTheOverwriteKeepsTheDialogOpenAndSkipsTheHistory) {
    writeFile(out(QStringLiteral("x.qsl")), "old current");
    answers.push_back(out(QStringLiteral("x.qsl")));
    TexitDlg d(*state, TexitDlg::Use::Backup);
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("当前库备份文件已经存在，覆盖掉它吗？"),
                       QMessageBox::Cancel);
        d.BitBtn1Click();
    }
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(fileBytes(out(QStringLiteral("x.qsl"))), QByteArray("old current"));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("x.bak"))));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("x.qsh"))));
    ASSERT_TRUE(state->current);
    EXPECT_FALSE(orgOf(*state->current).isNull());
}

TEST_F(BackupDialog, NothingTickedAsksForADatabase) {
    TexitDlg d(*state, TexitDlg::Use::Backup);
    d.CheckBox3->setChecked(false);
    d.CheckBox2->setChecked(false);
    PromptScript prompts;
    prompts.expect(kTip, QStringLiteral("请选择您要备份的数据库。"));
    d.BitBtn1Click();
    EXPECT_TRUE(requests.empty());
    EXPECT_NE(d.result(), QDialog::Accepted);
}

TEST_F(BackupDialog, OneDatabaseAloneHasItsOwnFilter) {
    answers.push_back(out(QStringLiteral("only")));
    {
        TexitDlg d(*state, TexitDlg::Use::Backup);
        d.CheckBox3->setChecked(false);
        PromptScript prompts;
        prompts.expect(kTip, kHistoryDone);
        d.BitBtn1Click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    EXPECT_EQ(requests.back().filter, QStringLiteral("历史库备份文件(*.qsh)"));
    EXPECT_TRUE(QFileInfo::exists(out(QStringLiteral("only.qsh"))));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("only.qsl"))));

    answers.push_back(out(QStringLiteral("cur.qsl")));
    TexitDlg d(*state, TexitDlg::Use::Backup);
    d.CheckBox2->setChecked(false);
    PromptScript prompts;
    prompts.expect(kTip, kCurrentDone);
    d.BitBtn1Click();
    EXPECT_EQ(requests.back().filter, QStringLiteral("当前库备份文件(*.qsl)"));
    EXPECT_TRUE(QFileInfo::exists(out(QStringLiteral("cur.qsl"))));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("cur.qsh"))));
}

TEST_F(BackupDialog, CancellingTheSaveDialogCopiesNothingAndCloses) {
    answers.push_back(QString());
    TexitDlg d(*state, TexitDlg::Use::Backup);
    d.BitBtn1Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(QDir(backups.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(BackupDialog, ABackupOverADatabaseFileIsRefused) {
    state->closeConnections();
    const QByteArray before = fileBytes(current());
    state->openCurrent();
    state->openHistory();
    // The user typed the current database's own name into the save dialog.
    answers.push_back(current());
    TexitDlg d(*state, TexitDlg::Use::Backup);
    PromptScript prompts;
    prompts.expect(kWarning, QStringLiteral("备份文件不能与数据库文件同名"));
    d.BitBtn1Click();
    EXPECT_NE(d.result(), QDialog::Accepted);
    state->closeConnections();
    EXPECT_EQ(fileBytes(current()), before);
    EXPECT_FALSE(QFileInfo::exists(install.dataDir() + QStringLiteral("gdzc.bak")));
    EXPECT_FALSE(QFileInfo::exists(install.dataDir() + QStringLiteral("gdzc.qsh")));
}

TEST_F(BackupDialog, RefusedWhileAnotherProgramIsPresent) {
    ASSERT_TRUE(enterPresence(*state));
    OtherProgram other(presenceLockPath(current()));
    ASSERT_TRUE(other.holding());
    answers.push_back(out(QStringLiteral("x.qsl")));
    TexitDlg d(*state, TexitDlg::Use::Backup);
    {
        PromptScript prompts;
        prompts.expect(kTip, kOthersOnline);
        d.BitBtn1Click();
    }
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_TRUE(QDir(backups.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(holdsPresence(current()));
    ASSERT_TRUE(state->current);
    EXPECT_FALSE(orgOf(*state->current).isNull());
}

TEST_F(BackupDialog, TheProgramsOwnPresenceDoesNotCountAsAnotherUser) {
    ASSERT_TRUE(enterPresence(*state));
    answers.push_back(out(QStringLiteral("x.qsl")));
    TexitDlg d(*state, TexitDlg::Use::Backup);
    {
        PromptScript prompts;
        prompts.expect(kTip, kCurrentDone).expect(kTip, kHistoryDone);
        d.BitBtn1Click();
    }
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(holdsPresence(current()));
    EXPECT_TRUE(holdsPresence(history()));
    EXPECT_FALSE(fx::test::freeForAnotherProcess(presenceLockPath(current())));
}

TEST_F(BackupDialog, TheHooksCloseAndReopenAroundEachCopy) {
    QStringList calls;
    ConnectionHooks hooks;
    hooks.close = [&](DatabaseKind k) {
        calls << (k == DatabaseKind::Current ? QStringLiteral("close current")
                                             : QStringLiteral("close history"));
        // The copy needs the file closed: close it for real.
        (k == DatabaseKind::Current ? state->current : state->history).reset();
    };
    hooks.reopen = [&](DatabaseKind k) {
        calls << (k == DatabaseKind::Current ? QStringLiteral("reopen current")
                                             : QStringLiteral("reopen history"));
        if (k == DatabaseKind::Current)
            state->openCurrent();
        else
            state->openHistory();
    };
    answers.push_back(out(QStringLiteral("x.qsl")));
    TexitDlg d(*state, TexitDlg::Use::Backup, hooks);
    PromptScript prompts;
    prompts.expect(kTip, kCurrentDone).expect(kTip, kHistoryDone);
    d.BitBtn1Click();
    EXPECT_EQ(calls,
              (QStringList{QStringLiteral("close current"), QStringLiteral("reopen current"),
                           QStringLiteral("close history"), QStringLiteral("reopen history")}));
}

// ---- restore ----

class RestoreDialog : public BackupDialog {
protected:
    // A backup of both databases taken now, with the organisation names marked.
    void backupNow() {
        setOrg(*state->current, QStringLiteral("备份时"));
        setOrg(*state->history, QStringLiteral("历史备份时"));
        answers.push_back(out(QStringLiteral("20240601")));
        PromptScript prompts;
        prompts.expect(kTip, kCurrentDone).expect(kTip, kHistoryDone);
        ModalScript modals;
        modals.then<TexitDlg>([](TexitDlg& d) {
            d.BitBtn1Click();
            return d.result();
        });
        runBackupCommand(nullptr, *state);
        setOrg(*state->current, QStringLiteral("备份后"));
        setOrg(*state->history, QStringLiteral("历史备份后"));
    }
};

TEST_F(RestoreDialog, AForeignFileIsRefusedAndTheDialogStaysOpen) {
    writeFile(out(QStringLiteral("notes.qsl")), "备忘录：周一盘点。\n");
    const QByteArray before = fileBytes(current());
    answers.push_back(out(QStringLiteral("notes.qsl")));
    PromptScript prompts;
    prompts.expect(kWarning, kRestoreWarning).expect(kWarning, kNotADatabase);
    ModalScript modals;
    modals.then<TexitDlg>([](TexitDlg& d) {
        d.BitBtn1Click();
        EXPECT_FALSE(d.backupIdentified());
        EXPECT_EQ(d.BitBtn1->text(), QStringLiteral("确定"));
        EXPECT_EQ(d.windowTitle(), QStringLiteral("恢复备份"));
        return int(QDialog::Rejected);
    });
    EXPECT_EQ(runRestoreCommand(nullptr, *state), RestoreOutcome::Cancelled);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_FALSE(requests[0].save);
    EXPECT_EQ(requests[0].caption, QStringLiteral("请选择要恢复的选择备份文件"));
    EXPECT_EQ(requests[0].filter,
              QStringLiteral("所有青石岭备份文件(*.qsl *.qsh);;青石岭当前库备份文件(*.qsl);;"
                             "青石岭历史库备份文件(*.qsh);;所有文件(*.*)"));
    EXPECT_EQ(fileBytes(current()), before);
    EXPECT_TRUE(state->showExitDialog);
}

TEST_F(RestoreDialog, ACurrentRestoreEndsTheProgramAndTheNextStartShowsTheBackup) {
    backupNow();
    answers.push_back(out(QStringLiteral("20240601.qsl")));
    PromptScript prompts;
    prompts.expect(kWarning, kRestoreWarning)
        .expect(kImportant,
                QStringLiteral("系统已经恢复到备份前的状态，建议及时检查［用户权限］及各自密码。"));
    ModalScript modals;
    modals.then<TexitDlg>([](TexitDlg& d) {
        d.BitBtn1Click();
        EXPECT_TRUE(d.backupIdentified());
        EXPECT_EQ(
            d.windowTitle(),
            QStringLiteral("恢复数据库类型：当前库  版本号：") +
                QString::number(fx::schema::layoutVersion(fx::schema::DatabaseKind::Current)));
        EXPECT_EQ(d.Label1->text(), QStringLiteral("按‘开始’键开始恢复。"));
        EXPECT_EQ(d.BitBtn1->text(), QStringLiteral("开始"));
        d.BitBtn1Click();
        EXPECT_EQ(d.ProgressBar1->value(), 300);
        return d.result();
    });
    EXPECT_EQ(runRestoreCommand(nullptr, *state), RestoreOutcome::CurrentRestored);
    EXPECT_FALSE(state->showExitDialog);
    EXPECT_FALSE(state->current);  // the program ends without reopening it
    EXPECT_EQ(orgOf(*state->history), QStringLiteral("历史备份后"));
    EXPECT_TRUE(QFileInfo::exists(install.dataDir() + QStringLiteral("gdzc.sav")));

    // The next start.
    state->closeConnections();
    auto next = install.signedIn();
    EXPECT_EQ(orgOf(*next->current), QStringLiteral("备份时"));
    EXPECT_TRUE(interruptedRestoreMessages(*next).isEmpty());
}

TEST_F(RestoreDialog, AHistoryBackupNamedQslIsRestoredIntoTheHistoryDatabase) {
    backupNow();
    const QString renamed = out(QStringLiteral("looks-current.qsl"));
    ASSERT_TRUE(QFile::copy(out(QStringLiteral("20240601.qsh")), renamed));
    answers.push_back(renamed);
    PromptScript prompts;
    prompts.expect(kWarning, kRestoreWarning)
        .expect(kImportant, QStringLiteral("系统已经将历史库恢复到备份前的状态。"));
    ModalScript modals;
    modals.then<TexitDlg>([](TexitDlg& d) {
        d.BitBtn1Click();
        EXPECT_EQ(d.windowTitle(),
                  QStringLiteral("恢复数据库类型：历史库  版本号：%1")
                      .arg(::fx::schema::layoutVersion(::fx::schema::DatabaseKind::History)));
        EXPECT_EQ(d.backupKind(), DatabaseKind::History);
        d.BitBtn1Click();
        EXPECT_EQ(d.result(), TexitDlg::kHistoryRestored);
        return d.result();
    });
    EXPECT_EQ(runRestoreCommand(nullptr, *state), RestoreOutcome::HistoryRestored);
    // The history connection is open again on the restored file; the current one untouched.
    ASSERT_TRUE(state->history);
    EXPECT_EQ(orgOf(*state->history), QStringLiteral("历史备份时"));
    EXPECT_EQ(orgOf(*state->current), QStringLiteral("备份后"));
    EXPECT_TRUE(state->showExitDialog);
}

TEST_F(RestoreDialog, RefusedWhileAnotherProgramIsPresentWithTheFilesUnchanged) {
    backupNow();
    ASSERT_TRUE(enterPresence(*state));
    const QByteArray before = fileBytes(current());
    OtherProgram other(presenceLockPath(current()));
    ASSERT_TRUE(other.holding());
    answers.push_back(out(QStringLiteral("20240601.qsl")));
    TexitDlg d(*state, TexitDlg::Use::Restore);
    d.BitBtn1Click();
    ASSERT_TRUE(d.backupIdentified());
    std::vector<fx::ui::PromptRequest> seen;
    fx::ui::setPromptHandler([&](const fx::ui::PromptRequest& r) {
        seen.push_back(r);
        return QMessageBox::Ok;
    });
    d.BitBtn1Click();
    fx::ui::setPromptHandler({});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, kWarning);
    EXPECT_EQ(seen[0].icon, fx::ui::Icon::Stop);
    EXPECT_EQ(
        seen[0].text,
        QStringLiteral(
            "数据恢复失败，请检查是否有其他用户在线，请在其他用户全部退出的情况下恢复数据！"));
    // Back to choosing a file; the connection reopened; nothing replaced.
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_FALSE(d.backupIdentified());
    EXPECT_EQ(d.BitBtn1->text(), QStringLiteral("确定"));
    EXPECT_EQ(d.Label1->text(), QStringLiteral("现在恢复吗？请按确定键后选择备份文件及类型。"));
    ASSERT_TRUE(state->current);
    EXPECT_EQ(orgOf(*state->current), QStringLiteral("备份后"));
    state->current.reset();
    EXPECT_EQ(fileBytes(current()), before);
    EXPECT_FALSE(QFileInfo::exists(install.dataDir() + QStringLiteral("gdzc.sav")));
    EXPECT_TRUE(holdsPresence(current()));
}

TEST_F(RestoreDialog, CancellingTheOpenDialogKeepsItOpen) {
    answers.push_back(QString());
    TexitDlg d(*state, TexitDlg::Use::Restore);
    d.BitBtn1Click();
    EXPECT_FALSE(d.backupIdentified());
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Label1->text(), QStringLiteral("现在恢复吗？请按确定键后选择备份文件。"));
}

TEST_F(RestoreDialog, TheStartUpNamesAnInterruptedRestore) {
    EXPECT_TRUE(interruptedRestoreMessages(*state).isEmpty());
    // What a restore killed during the copy leaves: marker, .sav, a half file.
    state->closeConnections();
    ASSERT_TRUE(writeRestoreMarker(current(), out(QStringLiteral("c.qsl"))).isEmpty());
    ASSERT_TRUE(QFile::rename(current(), install.dataDir() + QStringLiteral("gdzc.sav")));
    writeFile(current(), QByteArray(1024, 'x'));
    const QString message = interruptedRestoreMessages(*state);
    EXPECT_TRUE(message.contains(QStringLiteral("gdzc.sav")));
    EXPECT_TRUE(message.contains(install.dataDir().chopped(1)));
}

// ---- the exit dialog ----

TEST_F(BackupDialog, ExitCancelKeepsTheProgramOpen) {
    ModalScript modals;
    modals.then<TexitDlg>([](TexitDlg& d) {
        EXPECT_EQ(d.use(), TexitDlg::Use::Exit);
        d.BitBtn2->click();
        return d.result();
    });
    const ExitDecision decision = runExitDialog(nullptr, *state);
    EXPECT_FALSE(decision.close);
    EXPECT_TRUE(decision.showExitDialog);
    EXPECT_TRUE(state->showExitDialog);
}

TEST_F(BackupDialog, NotAgainIsTakenEvenWhenCancelled) {
    ModalScript modals;
    modals.then<TexitDlg>([](TexitDlg& d) {
        d.CheckBox1->setChecked(true);
        d.BitBtn2->click();
        return d.result();
    });
    const ExitDecision decision = runExitDialog(nullptr, *state);
    EXPECT_FALSE(decision.close);
    EXPECT_FALSE(decision.showExitDialog);
    EXPECT_FALSE(state->showExitDialog);
}

TEST_F(BackupDialog, ExitDirectlyClosesWithoutCopying) {
    ModalScript modals;
    modals.then<TexitDlg>([](TexitDlg& d) {
        d.BitBtn1Click();
        return d.result();
    });
    const ExitDecision decision = runExitDialog(nullptr, *state);
    EXPECT_TRUE(decision.close);
    EXPECT_TRUE(decision.showExitDialog);
    EXPECT_TRUE(requests.empty());
}

TEST_F(BackupDialog, BackupThenExitBacksUpBothDatabases) {
    answers.push_back(out(QStringLiteral("20240601.qsl")));
    PromptScript prompts;
    prompts.expect(kTip, kCurrentDone).expect(kTip, kHistoryDone);
    ModalScript modals;
    modals.then<TexitDlg>([](TexitDlg& d) {
        d.RadioButton2->setChecked(true);
        d.CheckBox1->setChecked(true);
        d.BitBtn1Click();
        return d.result();
    });
    const ExitDecision decision = runExitDialog(nullptr, *state);
    EXPECT_TRUE(decision.close);
    EXPECT_FALSE(decision.showExitDialog);
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240601.qsl"))), fileBytes(current()));
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240601.qsh"))), fileBytes(history()));
}

TEST_F(BackupDialog, AFailedBackupBeforeExitKeepsTheProgramOpen) {
    ASSERT_TRUE(enterPresence(*state));
    OtherProgram other(presenceLockPath(history()));
    ASSERT_TRUE(other.holding());
    answers.push_back(out(QStringLiteral("x.qsl")));
    PromptScript prompts;
    prompts.expect(kTip, kCurrentDone).expect(kTip, kOthersOnline);
    ModalScript modals;
    modals.then<TexitDlg>([](TexitDlg& d) {
        d.RadioButton2->setChecked(true);
        d.BitBtn1Click();
        EXPECT_NE(d.result(), QDialog::Accepted);
        d.BitBtn2->click();
        return d.result();
    });
    EXPECT_FALSE(runExitDialog(nullptr, *state).close);
    EXPECT_TRUE(QFileInfo::exists(out(QStringLiteral("x.qsl"))));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("x.qsh"))));
}

TEST_F(BackupDialog, WithTheFlagOffNoDialogIsShown) {
    state->showExitDialog = false;
    ModalScript modals;  // any dialog would fail the test
    const ExitDecision decision = runExitDialog(nullptr, *state);
    EXPECT_TRUE(decision.close);
    EXPECT_FALSE(decision.showExitDialog);
}

}  // namespace
