#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLocale>

#include "appstate.h"
#include "backupcommands.h"
#include "chinese.h"
#include "datalocation.h"
#include "help.h"
#include "installation.h"
#include "logindialog.h"
#include "mainform.h"
#include "organisationkey.h"
#include "prompt.h"
#include "splashwindow.h"

namespace {

// The reports and forms name Windows fonts; these are the free fonts that stand in for them.
void installFontSubstitutions() {
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing")});
    QFont::insertSubstitutions(QStringLiteral("楷体_GB2312"),
                               {QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UKai")});
    QFont::insertSubstitution(QStringLiteral("黑体"), QStringLiteral("WenQuanYi Zen Hei"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("DejaVu Sans"));
}

}  // namespace

int main(int argc, char** argv) {
    fx::ui::useChineseSystemLocale();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("VERezidaze"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FX_VERSION));
    installFontSubstitutions();
    fx::ui::installChineseTranslations(app);

    fx::AppState state;
    // The start directory: qslpath.ini, the help file and the default layouts are found here.
    state.startDir = QDir::currentPath();
    // F1 opens the manual's page for the window it is pressed in.
    fx::ui::HelpKey helpKey(state);
    app.installEventFilter(&helpKey);

    const fx::schema::InstallationKey key = fx::schema::readInstallationKey();
    if (key.appPath.isEmpty()) {
        fx::ui::warn(nullptr, QStringLiteral("本系统尚未安装：找不到安装信息（AppPath）。\n"
                                             "请先用命令 fxasset-admin init 安装目录 建立一个安装，"
                                             "再启动本程序。"));
        return 1;
    }
    state.appPath = key.appPath;
    // The organisation's own key first (when it has one), then the key every installation ships.
    state.keys = fx::schema::installationKeys(key.appPath);
    state.currentPassword = state.keys.back().current;

    // The login already reads the current database, so the program's presence on the databases
    // is taken before it: a backup or restore elsewhere finishes first, and a database left half
    // restored is named instead of opened. None is taken for a database server or a data folder
    // that is not there; the main window moves the presence to where the user signed in.
    state.dataDir = fx::determineDataDir(state.startDir, state.appPath);
    if (!fx::backup::beginPresenceBeforeLogin(nullptr, state)) return 1;

    // The login finds the data directory and signs the user in; leaving it ends the program.
    if (!fx::TLoginDlg::signIn(state)) return 0;

    auto* splash = new fx::TSplashForm;
    splash->showNow();

    fx::TMainForm form(state);
    form.setSplash(splash);
    if (!form.startUp()) return 1;
    form.show();
    return app.exec();
}
