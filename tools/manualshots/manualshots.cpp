// Makes the pictures of the manual (share/help/images) from the program's real windows: a demo
// installation in a temporary folder, the main window driven through its own commands, and
// every dialog those commands open grabbed as it is shown. Run at build time, so the pictures
// follow the windows; offscreen, so no display is needed.
//   fx_manual_shots SHAREDIR OUTDIR

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <functional>
#include <map>

#include "appstate.h"
#include "installation.h"
#include "installer.h"
#include "locationdialog.h"
#include "logindialog.h"
#include "mainform.h"
#include "modal.h"
#include "newstocktakedlg.h"
#include "prompt.h"
#include "rowset.h"
#include "stocktakeresultsdlg.h"
#include "stocktakescandlg.h"
#include "tcxjgdlg1.h"
#include "texitdlg.h"
#include "tljcxdlg.h"

namespace {

QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

// Where the pictures go and what each dialog does after its picture is taken.
class Camera {
public:
    explicit Camera(const QString& outDir) : out_(outDir) {}

    // Saves the window as it is shown now under name (without ".png").
    void take(QWidget& w, const QString& name) {
        w.show();
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
        const QString file = out_.filePath(name + QStringLiteral(".png"));
        if (!w.grab().save(file)) {
            err() << "cannot write " << file << '\n';
            failed_ = true;
        }
        ++taken_;
    }

    // The next dialog of class className is saved as name, then given to then (which returns
    // the dialog's result); a dialog nobody expects is closed unseen.
    using Then = std::function<int(QDialog&)>;
    void expect(const char* className, const QString& name, Then then = {}) {
        plan_[QString::fromLatin1(className)] = {name, std::move(then)};
    }

    int run(QDialog& d) {
        const QString cls = QString::fromLatin1(d.metaObject()->className());
        const auto it = plan_.find(cls);
        if (it == plan_.end()) {
            err() << "not expected: " << cls << " \"" << d.windowTitle() << "\"\n";
            return QDialog::Rejected;
        }
        const auto [name, then] = it->second;
        plan_.erase(it);
        take(d, name);
        const int result = then ? then(d) : int(QDialog::Rejected);
        d.hide();
        return result;
    }

    // True when every expected dialog was shown and every picture written.
    bool done() const {
        for (const auto& [cls, step] : plan_) err() << "never shown: " << cls << '\n';
        return !failed_ && plan_.empty();
    }
    int taken() const { return taken_; }

private:
    struct Step {
        QString name;
        Then then;
    };
    QDir out_;
    std::map<QString, Step> plan_;
    bool failed_ = false;
    int taken_ = 0;
};

// The first serial number the statement selects (as its first column), 0 when none.
int firstSerial(fx::AppState& state, const QString& jetSql) {
    fx::db::RowSet rows(*state.current, jetSql);
    rows.open();
    rows.first();
    return rows.eof() ? 0 : int(rows.integer(QStringLiteral("ID1")));
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        err() << "usage: fx_manual_shots SHAREDIR OUTDIR\n";
        return 2;
    }
    const QString shareDir = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString outDir = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    if (!QDir().mkpath(outDir)) {
        err() << "cannot create " << outDir << '\n';
        return 1;
    }

    // The demo installation and its registry stand-in live in a temporary folder, so nothing
    // of the builder's own configuration is read or changed.
    QTemporaryDir temp;
    const QString config = temp.filePath(QStringLiteral("config"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    fx::admin::InitOptions options;
    options.appDir = temp.filePath(QStringLiteral("app"));
    options.shareDir = shareDir;
    options.demo = true;
    const fx::admin::InitResult installed = fx::admin::initInstallation(options);

    fx::AppState state;
    state.startDir = installed.appPath;
    state.appPath = installed.appPath;
    state.dataDir = installed.dataDir;
    state.currentPassword = fx::schema::currentPasswordFromKeyFile(
        QDir(installed.appPath).filePath(QString::fromLatin1(fx::schema::kKeyFileName)));

    Camera camera(outDir);
    fx::ui::setModalHandler([&camera](QDialog& d) { return camera.run(d); });
    fx::ui::setPromptHandler([](const fx::ui::PromptRequest& r) {
        err() << "message: " << r.text << '\n';
        return r.defaultButton != QMessageBox::NoButton ? r.defaultButton : QMessageBox::Ok;
    });

    {
        fx::TLoginDlg login(state);
        camera.take(login, QStringLiteral("login"));
    }
    {
        fx::TLocationDlg location(state.startDir);
        camera.take(location, QStringLiteral("location"));
    }

    state.userName = QStringLiteral("系统管理员");
    state.rights = fx::Rights{true, true, true, true, true, true, true, true};
    camera.expect("fx::TFirstUseDlg", QStringLiteral("firstuse"),
                  [](QDialog&) { return int(QDialog::Accepted); });
    fx::TMainForm form(state);
    if (!form.startUp()) {
        err() << "the main window did not start\n";
        return 1;
    }
    form.resize(form.sizeHint().expandedTo(QSize(800, 560)));

    const int plain = firstSerial(
        state, QStringLiteral("select ID1 from sbjl where ybf=false and yjc=false order by ID1"));
    const int lent =
        firstSerial(state, QStringLiteral("select ID1 from sbjl where yjc=true order by ID1"));
    // As the user sees it after typing the serial number and Enter.
    if (auto* serialBox = form.findChild<QSpinBox*>()) serialBox->setValue(plain);
    form.showSerial(plain);
    camera.take(form, QStringLiteral("main"));

    // The queries: the comprehensive query, its results, and from there the report dialog.
    camera.expect("fx::query::TzhcxDlg", QStringLiteral("query"),
                  [](QDialog&) { return int(QDialog::Accepted); });
    camera.expect("fx::query::TcxjgDlg1", QStringLiteral("results"), [](QDialog& d) {
        static_cast<fx::query::TcxjgDlg1&>(d).BitBtn2->click();
        return int(QDialog::Rejected);
    });
    camera.expect("fx::reports::TbbdyDlg", QStringLiteral("report"), [&camera](QDialog& d) {
        // The page of labels as well.
        if (auto* pages = d.findChild<QTabWidget*>()) {
            pages->setCurrentIndex(pages->count() - 1);
            camera.take(d, QStringLiteral("labels"));
        }
        return int(QDialog::Rejected);
    });
    form.N8->trigger();
    {
        fx::query::TljcxDlg logical(state);
        camera.take(logical, QStringLiteral("logical"));
    }

    camera.expect("fx::dictionary::Tsjzdwh", QStringLiteral("dictionary"));
    form.N16->trigger();
    camera.expect("fx::TplzjDlg", QStringLiteral("batch"));
    form.New1Click();
    form.Cancel1Click();

    camera.expect("fx::movements::Tjcjldlg", QStringLiteral("lend"));
    form.LoanButtonClick();
    form.showSerial(lent);
    camera.expect("fx::movements::Tjcjldlg", QStringLiteral("return"));
    form.LoanButtonClick();

    form.showSerial(plain);
    camera.expect("fx::report::TpaperDlg", QStringLiteral("transfer"));
    form.Transfer1Click();
    // A repair is recorded while the asset is modified.
    form.Modify1Click();
    camera.expect("fx::movements::TaddwxjlDlg", QStringLiteral("repair"));
    form.BitBtn2Click();
    form.Cancel1Click();
    camera.expect("fx::movements::TwxcxDlg", QStringLiteral("repairquery"));
    form.N12->trigger();

    // The stocktake: a new one of the whole register, a few scans (one of them at another place
    // than the register's, one repeated, one of a code the register lacks), the results and the
    // missing assets in the results window.
    camera.expect("fx::stocktake::NewStocktakeDlg", QStringLiteral("newstocktake"), [](QDialog& d) {
        auto& dialog = static_cast<fx::stocktake::NewStocktakeDlg&>(d);
        dialog.OkButtonClick();
        return dialog.result();
    });
    camera.expect("fx::stocktake::StocktakeScanDlg", QStringLiteral("stocktakescan"),
                  [&camera, &state](QDialog& d) {
                      auto& scan = static_cast<fx::stocktake::StocktakeScanDlg&>(d);
                      fx::db::RowSet r(*state.current,
                                       QStringLiteral("select id, num, wz from sbjl where "
                                                      "ybf=false and worp=true order by ID1"));
                      r.open();
                      for (int i = 0; i < 3 && !r.eof(); ++i, r.next()) {
                          const QString number = r.text(QStringLiteral("id")) +
                                                 QString::number(r.integer(QStringLiteral("num")));
                          scan.PlaceBox->setCurrentText(r.text(QStringLiteral("wz")));
                          if (i == 1)  // found in the next place of the list
                              scan.PlaceBox->setCurrentIndex((scan.PlaceBox->currentIndex() + 1) %
                                                             scan.PlaceBox->count());
                          scan.scan(number);
                          if (i == 0) scan.scan(number);
                      }
                      scan.scan(QStringLiteral("ZW-0001"));
                      camera.take(d, QStringLiteral("stocktakescan"));
                      return int(QDialog::Accepted);
                  });
    form.NewStocktake1->trigger();
    camera.expect("fx::stocktake::ChooseStocktakeDlg", QStringLiteral("choosestocktake"),
                  [](QDialog&) { return int(QDialog::Accepted); });
    camera.expect("fx::stocktake::StocktakeResultsDlg", QStringLiteral("stocktakeresults"),
                  [](QDialog& d) {
                      static_cast<fx::stocktake::StocktakeResultsDlg&>(d)
                          .ListButtons[std::size_t(fx::stocktake::ResultList::Missing)]
                          ->click();
                      return int(QDialog::Accepted);
                  });
    camera.expect("fx::query::TcxjgDlg1", QStringLiteral("stocktakelist"));
    form.StocktakeResults1->trigger();

    camera.expect("fx::users::TyhglDlg", QStringLiteral("users"));
    form.N19->trigger();
    camera.expect("fx::users::Tmmmdlg", QStringLiteral("password"));
    form.N18->trigger();
    camera.expect("fx::TxtszDlg", QStringLiteral("settings"));
    form.N21->trigger();
    camera.expect("fx::backup::TexitDlg", QStringLiteral("backup"));
    form.N1->trigger();

    camera.expect("fx::backup::TexitDlg", QStringLiteral("exit"), [](QDialog& d) {
        // "直接退出" ends the run without a copy.
        auto& exit = static_cast<fx::backup::TexitDlg&>(d);
        exit.RadioButton1->setChecked(true);
        exit.BitBtn1Click();
        return exit.result();
    });
    form.shutDown();

    const bool ok = camera.done();
    err() << camera.taken() << " pictures in " << outDir << '\n';
    err().flush();
    return ok ? 0 : 1;
}
