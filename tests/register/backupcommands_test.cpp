#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "appstate.h"
#include "cardfixture.h"
#include "connection.h"
#include "modal.h"
#include "presencelock.h"
#include "restoremarker.h"
#include "rowset.h"
#include "scripts.h"
#include "texitdlg.h"

// "备份数据", "恢复备份" and the exit dialog run from the main window, and the presence the
// running window holds against backups and restores of other programs.

namespace fx::test {
namespace {

using backup::TexitDlg;

const QString kTip = QStringLiteral("提示");
const QString kWarning = QStringLiteral("警告");
const QString kImportant = QStringLiteral("重要说明");
const QString kCurrentDone = QStringLiteral("当前备份已经完成。");
const QString kHistoryDone = QStringLiteral("历史库备份已经完成。");
const QString kRestoreWarning = QStringLiteral("恢复备份将覆盖现在的全部工作数据");
const QString kCurrentRestored =
    QStringLiteral("系统已经恢复到备份前的状态，建议及时检查［用户权限］及各自密码。");
const QString kHistoryRestored = QStringLiteral("系统已经将历史库恢复到备份前的状态。");

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The organisation name a history database carries in its username row.
QString historyMark(db::Connection& history) {
    db::RowSet row(history, QStringLiteral("select * from username"));
    row.open();
    return row.text(QStringLiteral("user"));
}

void setHistoryMark(db::Connection& history, const QString& mark) {
    history.executeNative(QStringLiteral("update username set user='") + mark +
                          QStringLiteral("'"));
}

struct AdminRun {
    int code = -1;
    QString out;
    QString err;
};

// fxasset-admin in a process of its own, as an administrator's scheduled job runs it.
AdminRun runAdmin(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(FX_ADMIN_PROGRAM), args);
    AdminRun r;
    if (!p.waitForFinished(60000)) return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

class BackupCommandsTest : public CardTest {
protected:
    QString current() const { return inst.dataDir() + QStringLiteral("gdzc.qsk"); }
    QString history() const { return inst.dataDir() + QStringLiteral("dbjl.his"); }
    QString out(const QString& name) const { return backups.filePath(name); }

    // "备份数据" of both databases under the suggested name, confirmed in the dialog.
    void backUpThroughTheMenu() {
        answers.push_back(out(QStringLiteral("20240315.qsl")));
        PromptScript prompts;
        prompts.expect(kTip, kCurrentDone).expect(kTip, kHistoryDone);
        ModalScript dialogs;
        dialogs.then<TexitDlg>([](TexitDlg& d) {
            EXPECT_EQ(d.use(), TexitDlg::Use::Backup);
            d.BitBtn1Click();
            return d.result();
        });
        form->N1->trigger();
    }

    // "恢复备份" of a file: warning, choose and identify, "开始".
    void restoreThroughTheMenu(const QString& file, const QString& doneMessage) {
        answers.push_back(file);
        PromptScript prompts;
        prompts.expect(kWarning, kRestoreWarning).expect(kImportant, doneMessage);
        ModalScript dialogs;
        dialogs.then<TexitDlg>([](TexitDlg& d) {
            EXPECT_EQ(d.use(), TexitDlg::Use::Restore);
            d.BitBtn1Click();
            EXPECT_TRUE(d.backupIdentified());
            d.BitBtn1Click();
            return d.result();
        });
        form->N2->trigger();
    }

    QTemporaryDir backups;
    fx::test::FileScript files;
    std::vector<ui::FileRequest>& requests = files.requests;
    std::vector<QString>& answers = files.answers;
};

// ---- backup and restore from the menu ----

TEST_F(BackupCommandsTest, BackupCopiesBothDatabasesAndTheShownRecordStaysUsable) {
    const int serial = addAsset(QStringLiteral("DN-"), 1);
    start();
    form->show();
    form->showSerial(serial);
    ASSERT_EQ(form->DBEdit3->text(), QStringLiteral("i5/8G"));

    backUpThroughTheMenu();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_TRUE(requests[0].directory.endsWith(QStringLiteral("20240315")));
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240315.qsl"))), fileBytes(current()));
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240315.qsh"))), fileBytes(history()));

    // The card row set came back on the shown record, so the record can be changed at once.
    ASSERT_TRUE(state->current);
    ASSERT_TRUE(state->history);
    ASSERT_NE(form->cardRows(), nullptr);
    EXPECT_EQ(form->cardRows()->integer(QStringLiteral("ID1")), serial);
    form->Modify1->trigger();
    ASSERT_EQ(form->editMode(), TMainForm::EditMode::Modify);
    form->DBEdit3->setText(QStringLiteral("i7/16G"));
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("系统已经按您的要求对该记录进行了修改。"));
        form->Save1->trigger();
    }
    EXPECT_EQ(field(serial, QStringLiteral("sbpz")), QStringLiteral("i7/16G"));
    // The backup kept what was there before the change.
    EXPECT_NE(fileBytes(out(QStringLiteral("20240315.qsl"))), fileBytes(current()));
}

TEST_F(BackupCommandsTest, ADatabaseThatCannotBeOpenedAgainAfterABackupEndsTheRun) {
    const int serial = addAsset(QStringLiteral("DN-"), 1);
    start();
    form->show();
    form->showSerial(serial);
    answers.push_back(out(QStringLiteral("20240315.qsl")));
    PromptScript prompts;
    // The connection cannot come back, the backup fails, and the run ends.
    prompts.expect(kWarning, QStringLiteral("找不到数据库文件"))
        .expect(kWarning, QStringLiteral("没有找到数据库文件"))
        .expect(kTip, QStringLiteral("当前数据库无法重新打开，本系统将退出。"));
    ModalScript dialogs;
    dialogs.then<TexitDlg>([this](TexitDlg& d) {
        // The data folder loses the database while the dialog is open (a network share gone).
        EXPECT_TRUE(QFile::rename(current(), current() + QStringLiteral(".gone")));
        d.BitBtn1Click();
        return d.result();
    });
    form->N1->trigger();
    EXPECT_TRUE(prompts.done());
    // Nothing half-open is left, and the window has closed without the exit dialog.
    EXPECT_FALSE(state->current);
    EXPECT_EQ(form->cardRows(), nullptr);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(QFileInfo::exists(current()));
}

TEST_F(BackupCommandsTest, ACurrentRestoreEndsTheProgramAndTheNextStartShowsTheBackup) {
    setIniValue(kAdmin, QStringLiteral("color"), 2);
    const int serial = addAsset(QStringLiteral("DN-"), 1);
    start();
    form->show();
    backUpThroughTheMenu();
    // A change after the backup, made by the running window.
    form->showSerial(serial);
    form->Modify1->trigger();
    form->DBEdit3->setText(QStringLiteral("改过的配置"));
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("系统已经按您的要求对该记录进行了修改。"));
        form->Save1->trigger();
    }
    ASSERT_EQ(field(serial, QStringLiteral("sbpz")), QStringLiteral("改过的配置"));

    // The script has no step for an exit dialog: the window must close without one.
    restoreThroughTheMenu(out(QStringLiteral("20240315.qsl")), kCurrentRestored);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(state->current);
    EXPECT_FALSE(state->history);
    EXPECT_FALSE(backup::holdsPresence(current()));
    EXPECT_TRUE(QFileInfo::exists(inst.dataDir() + QStringLiteral("gdzc.sav")));
    // The restore clears the exit-dialog flag, so the user's section records exitinfo 1.
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("exitinfo")).toInt(), 1);
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("color")).toInt(), 2);

    // The next start, on the same data directory, shows the record as it was at the backup.
    form.reset();
    state = signIn();
    {
        PromptScript noMessages;
        form = startedForm(*state);
    }
    EXPECT_FALSE(state->showExitDialog);
    EXPECT_TRUE(backup::holdsPresence(current()));
    form->showSerial(serial);
    EXPECT_EQ(form->DBEdit3->text(), QStringLiteral("i5/8G"));

    // With exitinfo 1 that run, too, ends without the exit dialog.
    form->show();
    ModalScript noDialogs;
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(noDialogs.seen().isEmpty());
}

TEST_F(BackupCommandsTest, AHistoryRestoreReopensTheHistoryConnectionAndRunsOn) {
    start();
    form->show();
    setHistoryMark(*state->history, QStringLiteral("备份时"));
    backUpThroughTheMenu();
    setHistoryMark(*state->history, QStringLiteral("备份后"));
    // Named like a current backup: the password that opens it tells the kind.
    ASSERT_TRUE(
        QFile::copy(out(QStringLiteral("20240315.qsh")), out(QStringLiteral("history.qsl"))));

    restoreThroughTheMenu(out(QStringLiteral("history.qsl")), kHistoryRestored);
    EXPECT_TRUE(form->isVisible());
    ASSERT_TRUE(state->history);
    EXPECT_EQ(historyMark(*state->history), QStringLiteral("备份时"));
    ASSERT_TRUE(state->current);
    ASSERT_NE(form->cardRows(), nullptr);
    EXPECT_TRUE(state->showExitDialog);
    EXPECT_TRUE(form->N2->isEnabled());
}

TEST_F(BackupCommandsTest, ARefusedRestoreLeavesTheWindowRunningOnItsData) {
    const int serial = addAsset(QStringLiteral("DN-"), 1);
    start();
    form->show();
    form->showSerial(serial);
    QFile text(out(QStringLiteral("清单.qsl")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("编号,名称\nDN-1,电脑\n");
    text.close();
    const QByteArray before = fileBytes(current());

    answers.push_back(out(QStringLiteral("清单.qsl")));
    PromptScript prompts;
    prompts.expect(kWarning, kRestoreWarning)
        .expect(kWarning, QStringLiteral("您选择的文件不是本系统的数据库文件，请重新选择！"));
    ModalScript dialogs;
    dialogs.then<TexitDlg>([](TexitDlg& d) {
        d.BitBtn1Click();
        EXPECT_FALSE(d.backupIdentified());
        d.BitBtn2->click();
        return d.result();
    });
    form->N2->trigger();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(fileBytes(current()), before);
    EXPECT_EQ(form->cardRows()->integer(QStringLiteral("ID1")), serial);
}

// ---- the presence of the running window ----

TEST_F(BackupCommandsTest, OtherProgramsCannotBackUpOrRestoreWhileTheWindowRuns) {
    // A backup made while nobody works.
    ASSERT_EQ(runAdmin({QStringLiteral("backup"), inst.dataDir(), out(QStringLiteral("b"))}).code,
              0);
    start();
    const QByteArray currentBefore = fileBytes(current());
    const QByteArray historyBefore = fileBytes(history());

    const AdminRun backupRun =
        runAdmin({QStringLiteral("backup"), inst.dataDir(), out(QStringLiteral("nightly"))});
    EXPECT_EQ(backupRun.code, 1);
    EXPECT_TRUE(backupRun.err.contains(QStringLiteral(
        "现在有其他用户在线，备份暂时无法进行，请在其他用户全部退出的情况下进行备份。")))
        << backupRun.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("nightly.qsl"))));
    EXPECT_FALSE(QFileInfo::exists(out(QStringLiteral("nightly.qsh"))));

    const AdminRun restoreRun =
        runAdmin({QStringLiteral("restore"), inst.dataDir(), out(QStringLiteral("b.qsl"))});
    EXPECT_EQ(restoreRun.code, 1);
    EXPECT_TRUE(restoreRun.err.contains(QStringLiteral(
        "数据恢复失败，请检查是否有其他用户在线，请在其他用户全部退出的情况下恢复数据！")))
        << restoreRun.err.toStdString();
    EXPECT_EQ(fileBytes(current()), currentBefore);
    EXPECT_EQ(fileBytes(history()), historyBefore);
    EXPECT_FALSE(QFileInfo::exists(inst.dataDir() + QStringLiteral("gdzc.sav")));

    // Once the window has shut down the same backup goes through.
    ASSERT_TRUE(shutDownDirectly(*form));
    const AdminRun after =
        runAdmin({QStringLiteral("backup"), inst.dataDir(), out(QStringLiteral("nightly"))});
    EXPECT_EQ(after.code, 0) << after.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(out(QStringLiteral("nightly.qsh"))));
}

TEST_F(BackupCommandsTest, AnInterruptedRestoreIsNamedAtTheNextStartAndNothingIsOpened) {
    ASSERT_TRUE(backup::writeRestoreMarker(current(), out(QStringLiteral("b.qsl"))).isEmpty());
    ASSERT_TRUE(QFile::rename(current(), inst.dataDir() + QStringLiteral("gdzc.sav")));
    QFile half(current());
    ASSERT_TRUE(half.open(QIODevice::WriteOnly));
    half.write(QByteArray(4096, '\0'));
    half.close();

    state = signIn();
    std::vector<ui::PromptRequest> seen;
    ui::setPromptHandler([&](const ui::PromptRequest& r) {
        seen.push_back(r);
        return QMessageBox::Ok;
    });
    TMainForm window(*state);
    EXPECT_FALSE(window.startUp());
    ui::setPromptHandler({});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].icon, ui::Icon::Stop);
    EXPECT_TRUE(seen[0].text.contains(QStringLiteral("gdzc.sav"))) << seen[0].text.toStdString();
    EXPECT_FALSE(state->current);
    EXPECT_EQ(window.cardRows(), nullptr);
    EXPECT_EQ(fileBytes(current()), QByteArray(4096, '\0'));
}

// ---- the exit dialog ----

TEST_F(BackupCommandsTest, CancellingTheExitDialogKeepsTheWindowOpenAndStillWritesTheSettings) {
    start();
    form->show();
    form->N25->trigger();  // 蓝色魅力
    {
        ModalScript dialogs;
        dialogs.then<TexitDlg>([](TexitDlg& d) {
            EXPECT_EQ(d.use(), TexitDlg::Use::Exit);
            EXPECT_EQ(d.windowTitle(), QStringLiteral("选择退出"));
            d.BitBtn2->click();
            return d.result();
        });
        form->N7->trigger();
    }
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(state->current);
    EXPECT_TRUE(state->history);
    EXPECT_TRUE(backup::holdsPresence(current()));
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("exitinfo")).toInt(), 0);
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("color")).toInt(), 2);

    // The program still works and can be left later.
    DirectExit exit;
    form->close();
    EXPECT_EQ(exit.offered(), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(state->current);
}

TEST_F(BackupCommandsTest, NotAgainSwitchesTheExitDialogOffForTheNextStart) {
    start();
    form->show();
    {
        ModalScript dialogs;
        dialogs.then<TexitDlg>([](TexitDlg& d) {
            d.CheckBox1->setChecked(true);
            d.BitBtn1Click();
            return d.result();
        });
        form->close();
    }
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("exitinfo")).toInt(), 1);

    form.reset();
    state = signIn();
    form = startedForm(*state);
    EXPECT_FALSE(state->showExitDialog);
    form->show();
    ModalScript noDialogs;
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(noDialogs.seen().isEmpty());
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("exitinfo")).toInt(), 1);
}

TEST_F(BackupCommandsTest, BackupThenExitCopiesBothDatabasesAndCloses) {
    start();
    form->show();
    answers.push_back(out(QStringLiteral("20240315.qsl")));
    {
        PromptScript prompts;
        prompts.expect(kTip, kCurrentDone).expect(kTip, kHistoryDone);
        ModalScript dialogs;
        dialogs.then<TexitDlg>([](TexitDlg& d) {
            // The databases are not offered: "备份后退出" means both.
            EXPECT_TRUE(d.CheckBox3->isHidden());
            EXPECT_TRUE(d.CheckBox2->isHidden());
            d.RadioButton2->setChecked(true);
            d.BitBtn1Click();
            return d.result();
        });
        form->close();
    }
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(state->current);
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240315.qsl"))), fileBytes(current()));
    EXPECT_EQ(fileBytes(out(QStringLiteral("20240315.qsh"))), fileBytes(history()));
    EXPECT_EQ(iniValue(kAdmin, QStringLiteral("exitinfo")).toInt(), 0);
}

}  // namespace
}  // namespace fx::test
