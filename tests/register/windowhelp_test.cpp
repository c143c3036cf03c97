#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

#include "batchdialog.h"
#include "firstusedialog.h"
#include "help.h"
#include "locationdialog.h"
#include "logindialog.h"
#include "modal.h"
#include "querystate.h"
#include "registerfixture.h"
#include "reportpreview.h"
#include "settingsdialog.h"
#include "taddwxjldlg.h"
#include "tbbdydlg.h"
#include "tcxjgdlg1.h"
#include "texitdlg.h"
#include "tinputpzdlg.h"
#include "tjcjldlg.h"
#include "tljcxdlg.h"
#include "tmmmdlg.h"
#include "tpaperdlg.h"
#include "tsjzdwh.h"
#include "twxcxdlg.h"
#include "txzdlg.h"
#include "tyhgldlg.h"
#include "tzhcxdlg.h"

namespace fx::test {
namespace {

QString helpFolder() {
    return QStringLiteral(FX_SHARE_DIR) + QStringLiteral("/help/");
}

QString readPage(const QString& page) {
    QFile f(helpFolder() + page);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll());
}

// Every "attr" link of a page ("href" or "src"), without a fragment.
QStringList linksOf(const QString& page, const char* attr) {
    QStringList links;
    const QRegularExpression re(QString::fromLatin1(attr) + QStringLiteral("=\"([^\"#:]+)"));
    for (auto it = re.globalMatch(readPage(page)); it.hasNext();) links << it.next().captured(1);
    return links;
}

// The manual as the installer copies it into the installation, and the help opener replaced
// by a list of what it was asked to open.
class WindowHelpTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        const QString target = inst.appPath() + QStringLiteral("/help/");
        ASSERT_TRUE(QDir().mkpath(target));
        for (const QString& page : QDir(helpFolder()).entryList({QStringLiteral("*.html")}))
            ASSERT_TRUE(QFile::copy(helpFolder() + page, target + page));
        state = signIn();
        state->openCurrent();
        state->openHistory();
        key = std::make_unique<ui::HelpKey>(*state);
        qApp->installEventFilter(key.get());
        ui::setOpenHandler([this](const QString& path) {
            opened << QFileInfo(path).fileName();
            return true;
        });
    }
    void TearDown() override {
        ui::setOpenHandler({});
        qApp->removeEventFilter(key.get());
        key.reset();
        state.reset();
        RegisterTest::TearDown();
    }
    // F1 pressed in a field of the window, or in the window itself when it has none.
    QStringList pressF1(QWidget& window) {
        opened.clear();
        QWidget* target = window.findChild<QLineEdit*>();
        QTest::keyClick(target ? target : &window, Qt::Key_F1);
        return opened;
    }

    std::unique_ptr<AppState> state;
    std::unique_ptr<ui::HelpKey> key;
    QStringList opened;
};

TEST_F(WindowHelpTest, F1InAWindowAsksToOpenItsSection) {
    query::QueryState queries;
    {
        query::TzhcxDlg w(*state, queries);
        EXPECT_EQ(pressF1(w), QStringList{QStringLiteral("query.html")});
    }
    {
        users::TyhglDlg w(*state);
        EXPECT_EQ(pressF1(w), QStringList{QStringLiteral("users.html")});
    }
    {
        backup::TexitDlg w(*state, backup::TexitDlg::Use::Backup);
        EXPECT_EQ(pressF1(w), QStringList{QStringLiteral("backup.html")});
    }
    {
        dictionary::Tsjzdwh w(*state);
        EXPECT_EQ(pressF1(w), QStringList{QStringLiteral("dictionary.html")});
    }
    {
        TxtszDlg w(*state);
        EXPECT_EQ(pressF1(w), QStringList{QStringLiteral("settings.html")});
    }
}

TEST_F(WindowHelpTest, ThePaperDialogOpensTransfersWhenItAsksForTheTarget) {
    report::TpaperDlg paper;
    EXPECT_EQ(pressF1(paper), QStringList{QStringLiteral("printing.html")});
    report::TpaperDlg target;
    target.configureAsTransferTarget({});
    EXPECT_EQ(pressF1(target), QStringList{QStringLiteral("transfer.html")});
}

// Each window's section is a page of the manual, linked from its contents.
TEST(HelpManual, HasThePageOfEveryWindow) {
    const QStringList contents = linksOf(QStringLiteral("index.html"), "href");
    const QMetaObject* windows[] = {
        &TLoginDlg::staticMetaObject,
        &TFirstUseDlg::staticMetaObject,
        &TLocationDlg::staticMetaObject,
        &TxtszDlg::staticMetaObject,
        &TplzjDlg::staticMetaObject,
        &dictionary::Tsjzdwh::staticMetaObject,
        &dictionary::TinputpzDlg::staticMetaObject,
        &dictionary::TxzDlg::staticMetaObject,
        &query::TzhcxDlg::staticMetaObject,
        &query::TljcxDlg::staticMetaObject,
        &query::TcxjgDlg1::staticMetaObject,
        &movements::Tjcjldlg::staticMetaObject,
        &movements::TaddwxjlDlg::staticMetaObject,
        &movements::TwxcxDlg::staticMetaObject,
        &reports::TbbdyDlg::staticMetaObject,
        &report::TpaperDlg::staticMetaObject,
        &report::ReportPreview::staticMetaObject,
        &users::TyhglDlg::staticMetaObject,
        &users::Tmmmdlg::staticMetaObject,
        &backup::TexitDlg::staticMetaObject,
    };
    for (const QMetaObject* meta : windows) {
        const int i = meta->indexOfClassInfo("helpSection");
        ASSERT_GE(i, 0) << meta->className();
        const QString page = QString::fromLatin1(meta->classInfo(i).value());
        EXPECT_FALSE(readPage(page).isEmpty()) << meta->className() << " " << page.toStdString();
        EXPECT_TRUE(contents.contains(page)) << page.toStdString();
    }
    EXPECT_TRUE(contents.contains(QStringLiteral("transfer.html")));
}

TEST(HelpManual, PagesAreChineseAndLinkOnlyToPagesThatExist) {
    const QStringList pages = QDir(helpFolder()).entryList({QStringLiteral("*.html")});
    EXPECT_GE(pages.size(), 13);
    QString all;
    for (const QString& page : pages) {
        const QString text = readPage(page);
        EXPECT_TRUE(text.contains(QStringLiteral("<meta charset=\"utf-8\">")))
            << page.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("lang=\"zh-CN\""))) << page.toStdString();
        for (const QString& link : linksOf(page, "href"))
            EXPECT_TRUE(QFileInfo::exists(helpFolder() + link))
                << page.toStdString() << " -> " << link.toStdString();
        all += text;
    }
    for (const char* word : {"序号", "数据字典维护", "系统设置", "修改单位名称", "多彩多姿",
                             "fxasset-admin init", "备份数据", "恢复备份", "批量调拨", "打印借条",
                             "维修记录查寻", "用户管理", "固定资产标签"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(word))) << word;
}

// The pictures are taken from the windows by the build (tools/manualshots); every picture a
// page shows must be one that was taken.
TEST(HelpManual, ShowsOnlyPicturesTheBuildTakes) {
    const QString images = QStringLiteral(FX_BUILD_SHARE_DIR) + QStringLiteral("/help/");
    int shown = 0;
    for (const QString& page : QDir(helpFolder()).entryList({QStringLiteral("*.html")})) {
        for (const QString& src : linksOf(page, "src")) {
            ++shown;
            EXPECT_TRUE(QImage(images + src).width() > 100)
                << page.toStdString() << " " << src.toStdString();
        }
    }
    EXPECT_GE(shown, 20);
}

}  // namespace
}  // namespace fx::test
