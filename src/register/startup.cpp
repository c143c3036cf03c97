#include <QCloseEvent>
#include <QDateEdit>
#include <QDir>
#include <QLabel>

#include "backupcommands.h"
#include "clock.h"
#include "connection.h"
#include "dberror.h"
#include "firstusedialog.h"
#include "installation.h"
#include "mainform.h"
#include "modal.h"
#include "prompt.h"
#include "rowset.h"
#include "schema.h"
#include "settings.h"

// From the signed-in user to an empty card on an open database, and back down at the end.

namespace fx {

namespace {

std::unique_ptr<db::RowSet> openRows(db::Connection& c, const QString& jetSql) {
    auto rows = std::make_unique<db::RowSet>(c, jetSql);
    rows->open();
    return rows;
}

}  // namespace

bool TMainForm::startUp() {
    rememberStartDir();
    showUser();
    // The presence comes before the databases: a backup or restore elsewhere finishes first, and
    // a database an interrupted restore left half copied is never opened.
    if (!presenceHeld_) {
        if (!backup::beginPresence(this, state_)) return false;
        presenceHeld_ = true;
    }
    try {
        openDataSets();
        if (!checkDatabaseVersion()) return false;
        handleFirstUse();
        setUpDatePicker();
        fillCardLists();
        ReloadNameAndUseLists();
        // No asset is shown yet, so there is nothing to modify, scrap, transfer or delete.
        ApplyInputMode(true);
        applyBrowseState();
        enableRecordCommands(false);
        fillAssetNumberList();
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
        return false;
    }
    loadSettings();
    openHistoryDatabase();
    return true;
}

void TMainForm::rememberStartDir() {
    // main() takes the start directory before the login, which reads qslpath.ini there.
    if (state_.startDir.isEmpty()) state_.startDir = QDir::currentPath();
}

void TMainForm::showUser() {
    StatusPanel1->setText(QStringLiteral("用户：") + state_.userName);
}

void TMainForm::openDataSets(const QString& cardSql) {
    if (!state_.current) state_.openCurrent();
    db::Connection& c = *state_.current;
    card_ = openRows(c, cardSql);
    syq_ = openRows(c, QStringLiteral("select * from syq"));
    sortproc_ = openRows(c, QStringLiteral("select * from sortproc"));
    wzb_ = openRows(c, QStringLiteral("select * from wzb"));
    person_ = openRows(c, QStringLiteral("select * from person"));
    username_ = openRows(c, QStringLiteral("select * from username"));
    sortb_ = openRows(c, QStringLiteral("select * from sortb"));
}

bool TMainForm::checkDatabaseVersion() {
    username_->first();
    if (username_->integer(QStringLiteral("version")) >= schema::kMinimumVersion) return true;
    ui::warn(this,
             QStringLiteral("您的数据库版本太低，请把数据库升级到") +
                 QString::number(schema::kMinimumVersion) + QStringLiteral("以上版本才能使用！"),
             QStringLiteral("警告"));
    return false;
}

void TMainForm::handleFirstUse() {
    username_->first();
    state_.firstUseMark = username_->integer(QStringLiteral("password"));
    if (state_.firstUseMark == 0) {
        // The installer was told the organisation's name; the first start confirms it.
        TFirstUseDlg dialog(schema::readInstallationKey().organisationName, this);
        ui::runModal(dialog);
        const QString organisation = dialog.name();
        if (splash_) splash_->repaint();

        username_->edit();
        username_->setValue(QStringLiteral("user"), organisation);
        username_->setValue(QStringLiteral("password"), 1);
        username_->post();
    }
    setWindowTitle(QStringLiteral("青石岭"));
}

void TMainForm::setUpDatePicker() {
    // Nothing is bought in the future: the picker stops at the day the program was started.
    const QDate today = Clock::today();
    DateTimePicker1->setMaximumDate(today);
    DateTimePicker1->setDate(today);
}

void TMainForm::loadSettings() {
    Settings& s = state_.settings;
    s = readSettings(state_.settingsPath(), state_.userName);
    // The system input mode is a floor for every user; the file keeps the user's own value.
    if (s.inputmode > s.input) s.input = s.inputmode;
    state_.showExitDialog = s.exitinfo == 0;
    applyTheme(themeFromSetting(s.color));
}

void TMainForm::openHistoryDatabase() {
    if (state_.history || state_.openHistory()) return;
    ui::warn(this, QStringLiteral("没有找到历史库文件,请先恢复历史库,或重新修复安装!"),
             QStringLiteral("警告"));
}

void TMainForm::closeDataSets() {
    // Row sets go before the connection they were opened on.
    for (auto* rows : {&card_, &syq_, &sortproc_, &wzb_, &person_, &username_, &sortb_})
        rows->reset();
}

void TMainForm::setSplash(QWidget* splash) {
    splash_ = splash;
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    if (splash_) {
        splash_->hide();
        splash_->close();
        splash_->deleteLater();
        splash_.clear();
    }
}

bool TMainForm::shutDown() {
    if (shutDownDone_) return true;
    // After a restore of the current database (or its loss) the run simply ends.
    const bool close =
        endWithoutExitDialog_ || backup::runExitDialog(this, state_, connectionHooks()).close;
    if (close) {
        closeDataSets();
        state_.closeConnections();
        if (presenceHeld_) backup::leavePresence(state_);
        presenceHeld_ = false;
    }
    // The user's answer to the exit dialog and the theme are kept for the next start, also
    // when the user stays.
    writeExitSettings(state_.settingsPath(), state_.userName, state_.showExitDialog ? 0 : 1,
                      themeToSetting(state_.theme));
    shutDownDone_ = close;
    return close;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (shutDown())
        event->accept();
    else
        event->ignore();
}

}  // namespace fx
