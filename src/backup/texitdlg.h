#pragma once

#include <QDialog>
#include <QString>

#include "backupfiles.h"
#include "backuppair.h"
#include "connectionhooks.h"

class QCheckBox;
class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace fx {
class AppState;
}

namespace fx::backup {

// The one dialog of backup and restore, in three uses: the exit dialog at shutdown ("选择退出",
// "直接退出" or "备份后退出", "不再提示"), the backup command ("数据备份", with "当前库" and
// "历史库") and the restore command ("恢复备份": choose and identify a file on "确定", copy it
// on "开始").
class TexitDlg : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "backup.html")

public:
    enum class Use { Exit, Backup, Restore };
    // The result of a restore of the history database (a current restore closes with Accepted).
    static constexpr int kHistoryRestored = 111;

    // restorePassword: the current database's password for identifying and restoring a
    // backup (the restore command reads it from the key file again); the state's otherwise.
    TexitDlg(AppState& state, Use use, const ConnectionHooks& hooks = {}, QWidget* parent = nullptr,
             const QString& restorePassword = QString());
    ~TexitDlg() override;

    Use use() const { return use_; }

    QLabel* Label1;              // status text
    QLabel* Animate1;            // the animation of the start folder, when there is one
    QProgressBar* ProgressBar1;  // 0 to 300, 5 per copied chunk
    QFrame* Panel1;              // the two exit choices
    QRadioButton* RadioButton1;  // "直接退出"
    QRadioButton* RadioButton2;  // "备份后退出"
    QCheckBox* CheckBox1;        // "不再提示"
    QCheckBox* CheckBox3;        // "当前库"
    QCheckBox* CheckBox2;        // "历史库"
    QPushButton* BitBtn1;        // "确定", in restore mode also "开始"
    QPushButton* BitBtn2;        // "取消"

    // "确定": exit use: closes, after a backup of both databases when "备份后退出" is chosen;
    // backup use: the backup; restore use: choose and identify a file, or ("开始") restore it.
    void BitBtn1Click();

    // The save dialog's file name: today as yyyymmdd until a history backup names it.
    const QString& saveFileName() const { return saveFileName_; }
    // Restore mode: a file has been identified and "开始" will restore it.
    bool backupIdentified() const { return identified_; }
    DatabaseKind backupKind() const { return kind_; }
    const QString& backupFile() const { return backupFile_; }

private:
    // The backup steps; true when the dialog may close.
    bool runBackup();
    // Backs up one database; false when the dialog has to stay open.
    bool backupOne(DatabaseKind kind, const QString& target, const BackupRun& run);
    void chooseBackupFile();
    void startRestore();
    void forgetBackupFile();
    void closeConnection(DatabaseKind kind);
    void reopenConnection(DatabaseKind kind);
    void setStatus(const QString& text);
    void showChunks(int chunks);

    AppState& state_;
    Use use_;
    ConnectionHooks hooks_;
    QString restorePassword_;
    QString saveFileName_;
    bool identified_ = false;
    DatabaseKind kind_ = DatabaseKind::Current;
    QString backupFile_;
};

}  // namespace fx::backup
