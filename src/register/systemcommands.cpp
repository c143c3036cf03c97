#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "aboutdialog.h"
#include "dberror.h"
#include "firstusedialog.h"
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
    const QString chm = QDir(state_.startDir).filePath(QStringLiteral("qslhelp.chm"));
    if (QFileInfo::exists(chm)) return chm;
    // The HTML manual: copied into the installation with the other installed files, or beside
    // the program (share/ next to it, or one level up as in the build tree).
    const QString manual = QStringLiteral("help/index.html");
    const QString programDir = QCoreApplication::applicationDirPath();
    const QStringList folders = {state_.appPath, programDir + QStringLiteral("/share"),
                                 programDir + QStringLiteral("/../share")};
    for (const QString& folder : folders) {
        if (folder.isEmpty()) continue;
        const QString path = QDir(folder).filePath(manual);
        if (QFileInfo::exists(path)) return QDir::cleanPath(path);
    }
    return QString();
}

void TMainForm::HelpClick() {
    const QString path = helpDocumentPath();
    if (!path.isEmpty() && ui::openDocument(path)) return;
    ui::inform(this, path.isEmpty()
                         ? QStringLiteral("没有找到帮助文件。请把qslhelp.chm放在程序的启动目录中，"
                                          "或重新安装本系统。")
                         : QStringLiteral("无法打开帮助文件") + QDir::toNativeSeparators(path) +
                               QStringLiteral("，请检查系统中是否有可以显示它的程序。"));
}

void TMainForm::AboutClick() {
    TAboutBox box(state_.theme, this);
    ui::runModal(box);
}

}  // namespace fx
