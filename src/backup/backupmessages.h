#pragma once

#include <QString>

// The texts of backup and restore, shared by the dialog and the command line so both say the
// same thing.
namespace fx::backup::text {

// Backup.
inline QString chooseDatabase() {
    return QStringLiteral("请选择您要备份的数据库。");
}
inline QString currentExists() {
    return QStringLiteral("当前库备份文件已经存在，覆盖掉它吗？");
}
inline QString historyExists() {
    return QStringLiteral("历史库备份文件已经存在，覆盖掉它吗？");
}
inline QString backupOthersOnline() {
    return QStringLiteral(
        "现在有其他用户在线，备份暂时无法进行，请在其他用户全部退出的情况下进行备份。");
}
inline QString currentBackingUp() {
    return QStringLiteral("当前库备份中…");
}
inline QString historyBackingUp() {
    return QStringLiteral("历史库备份中…");
}
inline QString currentBackupDone() {
    return QStringLiteral("当前备份已经完成。");
}
inline QString historyBackupDone() {
    return QStringLiteral("历史库备份已经完成。");
}
// Our own additions: a failed copy or check is never reported as a finished backup.
inline QString databaseMissing(const QString& path) {
    return QStringLiteral("没有找到数据库文件“%1”，备份没有完成。").arg(path);
}
inline QString databaseUnreadable(const QString& detail) {
    return QStringLiteral("数据库文件读取有误，备份没有完成：%1").arg(detail);
}
inline QString keepBackupFailed(const QString& kept, const QString& detail) {
    return QStringLiteral("无法把原来的备份文件改名为“%1”（%2），备份没有完成。").arg(kept, detail);
}
inline QString backupWriteFailed(const QString& detail) {
    return QStringLiteral("备份文件写入失败，备份没有完成：%1").arg(detail);
}
inline QString backupCheckFailed(const QString& path, const QString& detail) {
    return QStringLiteral(
               "数据库文件“%1”校验没有通过（%2），备份没有完成，原来的备份文件没有改动。")
        .arg(path, detail);
}
inline QString backupFlushFailed(const QString& detail) {
    return QStringLiteral("备份文件没有能写到磁盘上（%1），备份没有完成，原来的备份文件没有改动。")
        .arg(detail);
}
inline QString serverBackupFailed(const QString& detail) {
    return QStringLiteral("数据库服务器上的数据读取有误，备份没有完成，原来的备份文件没有改动：%1")
        .arg(detail);
}
inline QString pairMismatch(const QString& currentBackup, const QString& historyBackup) {
    return QStringLiteral(
               "备份文件“%1”和“%2”不是同一次备份留下的（上次备份可能中途中断了），"
               "它们不能作为一套备份一起恢复。")
        .arg(currentBackup, historyBackup);
}
inline QString backupOntoDatabase() {
    return QStringLiteral("备份文件不能与数据库文件同名，请换一个文件名。");
}

// Restore.
inline QString restoreWarning() {
    return QStringLiteral(
        "恢复备份将覆盖现在的全部工作数据，建议您在所有用户都退出系统的前提下，做此操作。");
}
inline QString restoreCaption() {
    return QStringLiteral("恢复备份");
}
inline QString restoreQuestion() {
    return QStringLiteral("现在恢复吗？请按确定键后选择备份文件。");
}
inline QString restoreQuestionAgain() {
    return QStringLiteral("现在恢复吗？请按确定键后选择备份文件及类型。");
}
inline QString chooseBackupCaption() {
    return QStringLiteral("请选择要恢复的选择备份文件");
}
inline QString notADatabase() {
    return QStringLiteral("您选择的文件不是本系统的数据库文件，请重新选择！");
}
inline QString currentKindCaption(int version) {
    return QStringLiteral("恢复数据库类型：当前库  版本号：%1").arg(version);
}
inline QString historyKindCaption(int version) {
    return QStringLiteral("恢复数据库类型：历史库  版本号：%1").arg(version);
}
inline QString pressStart() {
    return QStringLiteral("按‘开始’键开始恢复。");
}
inline QString restoring() {
    return QStringLiteral("恢复中…");
}
inline QString backupUnreadable() {
    return QStringLiteral("备份文件读取有误，数据恢复失败，");
}
inline QString restoreOthersOnline() {
    return QStringLiteral(
        "数据恢复失败，请检查是否有其他用户在线，请在其他用户全部退出的情况下恢复数据！");
}
inline QString currentRestored() {
    return QStringLiteral(
        "系统已经恢复到备份前的状态，建议及时检查［用户权限］及各自密码。为保障系统的安全，"
        "现在将马上退出，请重新进入本系统。");
}
inline QString historyRestored() {
    return QStringLiteral("系统已经将历史库恢复到备份前的状态。");
}
// Our own additions: the database is never deleted without a kept copy, and a copy that fails
// to write or to check puts the previous file back.
inline QString keepFailed(const QString& saved, const QString& detail) {
    return QStringLiteral(
               "数据恢复失败：无法把现在的数据库文件保存为“%1”（%2），数据库文件没有改动。")
        .arg(saved, detail);
}
inline QString markerFailed(const QString& detail) {
    return QStringLiteral("数据恢复失败：无法在数据目录中写入文件（%1），数据库文件没有改动。")
        .arg(detail);
}
inline QString restoreWriteFailed(const QString& detail) {
    return QStringLiteral(
               "数据恢复失败：写入数据库文件时出错（%1），原来的数据库文件已经放回原处。")
        .arg(detail);
}
inline QString serverRestoreFailed(const QString& detail) {
    return QStringLiteral("数据恢复失败（%1），数据库服务器上的数据没有改动。").arg(detail);
}
inline QString restoreFromDatabaseItself(const QString& database) {
    return QStringLiteral("您选择的文件就是现在的数据库文件“%1”，不需要恢复，数据库文件没有改动。")
        .arg(database);
}
inline QString restoreCheckFailed(const QString& detail) {
    return QStringLiteral(
               "数据恢复失败：恢复后的数据库文件校验没有通过（%1），原来的数据库文件已经放回原处。")
        .arg(detail);
}

// Start-up, our own: another workstation's backup or restore did not finish in time.
inline QString busyElsewhere() {
    return QStringLiteral("其他用户正在备份或恢复数据，请稍后再进入本系统。");
}

// Our own: the data folder (or a lock file in it) cannot be created, opened or written.
inline QString folderUnwritable(const QString& folder, const QString& detail) {
    return QStringLiteral("数据文件夹“%1”不能写入（%2），请检查这个文件夹的权限。")
        .arg(folder, detail);
}

// Captions of the message boxes.
inline QString hint() {
    return QStringLiteral("提示");
}
inline QString warning() {
    return QStringLiteral("警告");
}
inline QString important() {
    return QStringLiteral("重要说明");
}

}  // namespace fx::backup::text
