#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "aboutdialog.h"
#include "dberror.h"
#include "firstusedialog.h"
#include "help.h"
#include "mainform.h"
#include "modal.h"
#include "openreportfile.h"
#include "prompt.h"
#include "rowset.h"
#include "settingsdialog.h"

// The commands of "文件操作", "系统维护" and "帮助" that concern the program itself rather than
// the assets.

namespace fx {

void TMainForm::bindSystemCommands() {
    bindCommand(N4, [this] { report::openReportFile(this); });
    bindCommand(N7, [this] { ExitClick(); });
    bindCommand(N21, [this] { SystemSettingsClick(); });
    bindCommand(N22, [this] { ChangeOrganisationNameClick(); });
    bindCommand(N24, [this] { applyTheme(Theme::Colourful); });
    bindCommand(N25, [this] { applyTheme(Theme::Blue); });
    bindCommand(N26, [this] { applyTheme(Theme::Windows); });
    bindCommand(N27, [this] { HelpClick(); });
    bindCommand(N29, [this] { AboutClick(); });
}

void TMainForm::ExitClick() {
    close();
}

void TMainForm::SystemSettingsClick() {
    // The dialog writes fxasset.ini and the in-memory settings itself; the card picks the new
    // input styles up when the next edit begins.
    TxtszDlg dialog(state_, this);
    ui::runModal(dialog);
}

void TMainForm::ChangeOrganisationNameClick() {
    try {
        username_->reopen();
        username_->first();
        TFirstUseDlg dialog(username_->text(QStringLiteral("user")), this,
                            QStringLiteral("修改单位名称"),
                            QStringLiteral("请填入更改后的公司名称:"));
        applyDialogTheme(&dialog, state_.theme);
        ui::runModal(dialog);

        username_->reopen();
        username_->first();
        username_->edit();
        username_->setValue(QStringLiteral("user"), dialog.name());
        username_->post();
    } catch (const db::DbError& e) {
        ui::stop(this, e.message());
    }
}

QString TMainForm::helpDocumentPath() const {
    return ui::helpDocumentPath(state_, ui::helpSection(this));
}

void TMainForm::HelpClick() {
    ui::openHelp(this, state_);
}

void TMainForm::AboutClick() {
    TAboutBox box(state_.theme, this);
    ui::runModal(box);
}

}  // namespace fx
