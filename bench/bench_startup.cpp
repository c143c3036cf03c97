// Start-up on an installation of 100000 assets: from the program's first line to the main window
// shown, with the sign-in done as the login dialog would leave it. The installation is made
// before the clock starts. Prints the time of each stage; run it a few times and take the best.
// Usage: bench_startup [ASSETS] [rekeyed]; rekeyed gives the installation the organisation's own
// key first, so that the start opens its databases with it.
#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include "appstate.h"
#include "benchinstallation.h"
#include "connection.h"
#include "installation.h"
#include "mainform.h"
#include "organisationkey.h"
#include "prompt.h"
#include "rekey.h"
#include "splashwindow.h"

int main(int argc, char** argv) {
    const int assets = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QTextStream out(stdout);
    QString appDir;
    {
        QCoreApplication prepare(argc, argv);
        const fx::bench::BenchInstallation& inst = fx::bench::benchInstallation(assets);
        appDir = inst.appDir;
        // Measure an ordinary start, not the first one that asks for the organisation's name.
        fx::db::Connection::open(inst.currentFile, inst.currentPassword)
            ->execute(QStringLiteral("update username set password=1"));
        // "rekeyed": the installation has the organisation's own key (fxasset-admin rekey).
        if (argc > 2 && QByteArray(argv[2]) == "rekeyed") {
            const fx::backup::RekeyResult r =
                fx::backup::rekeyDataFolder({inst.dataDir,
                                             fx::schema::organisationKeyPath(appDir),
                                             {},
                                             fx::schema::shippedKeys(appDir)});
            if (!r.ok) {
                out << "rekey failed: " << r.message << '\n';
                return 1;
            }
        }
    }

    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    // A message during start-up would stop the clock at a question nobody answers.
    fx::ui::setPromptHandler([&out](const fx::ui::PromptRequest& r) {
        out << "message during start-up: " << r.text << '\n';
        return QMessageBox::Ok;
    });

    fx::AppState state;
    state.startDir = appDir;
    state.appPath = appDir;
    state.dataDir = fx::schema::localDataDir(appDir);
    // The keys as the program's start reads them: the organisation's, when it has its own, first.
    state.keys = fx::schema::installationKeys(appDir);
    state.currentPassword = state.keys.back().current;
    state.userName = QStringLiteral("系统管理员");
    state.rights = fx::Rights{true, true, true, true, true, true, true, true};
    const qint64 ready = clock.elapsed();

    auto* splash = new fx::TSplashForm;
    splash->showNow();
    fx::TMainForm form(state);
    form.setSplash(splash);
    const qint64 built = clock.elapsed();
    if (!form.startUp()) {
        out << "start-up failed\n";
        return 1;
    }
    const qint64 started = clock.elapsed();
    form.show();
    QApplication::processEvents();
    const qint64 shown = clock.elapsed();

    out << "assets " << assets << ": application " << ready << " ms, window built " << built
        << " ms, start-up done " << started << " ms, shown " << shown << " ms\n";
    return 0;
}
