#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "appstate.h"
#include "help.h"
#include "modal.h"
#include "prompt.h"

namespace {

class LendingWindow : public QDialog {
    Q_OBJECT
    Q_CLASSINFO("helpSection", "lending.html")

public:
    using QDialog::QDialog;
};

class PlainWindow : public QDialog {
    Q_OBJECT

public:
    using QDialog::QDialog;
};

using fx::ui::helpSection;

TEST(HelpSection, IsTheOneTheWindowClassNames) {
    LendingWindow w;
    auto* field = new QLineEdit(&w);
    EXPECT_EQ(helpSection(&w), QStringLiteral("lending.html"));
    EXPECT_EQ(helpSection(field), QStringLiteral("lending.html"));
}

TEST(HelpSection, OfAWindowWithoutOneIsThatOfTheWindowItWasOpenedFrom) {
    LendingWindow owner;
    PlainWindow message(&owner);
    auto* field = new QLineEdit(&message);
    EXPECT_EQ(helpSection(field), QStringLiteral("lending.html"));
}

TEST(HelpSection, SetOnTheWindowOverridesItsClass) {
    LendingWindow w;
    w.setProperty("helpSection", QStringLiteral("transfer.html"));
    PlainWindow child(&w);
    EXPECT_EQ(helpSection(&child), QStringLiteral("transfer.html"));
}

TEST(HelpSection, IsTheContentsWhenNoWindowNamesOne) {
    PlainWindow w;
    EXPECT_EQ(helpSection(&w), QStringLiteral("index.html"));
    EXPECT_EQ(helpSection(nullptr), QStringLiteral("index.html"));
}

// An installation folder holding a manual of two pages (no manual is installed beside the test
// program, so the installation's copy is the one found).
class HelpDocument : public ::testing::Test {
protected:
    void SetUp() override {
        state.startDir = dir.filePath(QStringLiteral("start"));
        state.appPath = dir.filePath(QStringLiteral("app"));
        ASSERT_TRUE(QDir().mkpath(state.startDir));
        ASSERT_TRUE(QDir().mkpath(state.appPath + QStringLiteral("/help")));
        for (const char* page : {"index.html", "lending.html"}) write(manual(page));
        fx::ui::setOpenHandler([this](const QString& path) {
            opened << path;
            return openSucceeds;
        });
    }
    void TearDown() override {
        fx::ui::setOpenHandler({});
        fx::ui::setPromptHandler({});
    }
    static void write(const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QString manual(const char* page) const {
        return state.appPath + QStringLiteral("/help/") + QString::fromLatin1(page);
    }

    QTemporaryDir dir;
    fx::AppState state;
    QStringList opened;
    bool openSucceeds = true;
};

TEST_F(HelpDocument, IsTheSectionsPage) {
    EXPECT_EQ(fx::ui::helpDocumentPath(state, QStringLiteral("lending.html")),
              manual("lending.html"));
}

TEST_F(HelpDocument, IsTheContentsWhenTheManualLacksTheSection) {
    EXPECT_EQ(fx::ui::helpDocumentPath(state, QStringLiteral("stocktake.html")),
              manual("index.html"));
}

TEST_F(HelpDocument, IsTheHelpFileInTheStartDirectoryWhenThere) {
    const QString chm = state.startDir + QStringLiteral("/qslhelp.chm");
    write(chm);
    EXPECT_EQ(fx::ui::helpDocumentPath(state, QStringLiteral("lending.html")), chm);
}

TEST_F(HelpDocument, IsNothingWithoutAManual) {
    QDir(state.appPath + QStringLiteral("/help")).removeRecursively();
    EXPECT_TRUE(fx::ui::helpDocumentPath(state, QStringLiteral("lending.html")).isEmpty());
}

TEST_F(HelpDocument, F1InAWindowOpensItsSection) {
    fx::ui::HelpKey key(state);
    qApp->installEventFilter(&key);
    LendingWindow w;
    auto* field = new QLineEdit(&w);
    QTest::keyClick(field, Qt::Key_F1);
    QTest::keyClick(field, Qt::Key_F1, Qt::ShiftModifier);  // not help
    qApp->removeEventFilter(&key);
    EXPECT_EQ(opened, QStringList{manual("lending.html")});
}

TEST_F(HelpDocument, ThatCannotBeOpenedIsNamedToTheUser) {
    openSucceeds = false;
    QStringList told;
    fx::ui::setPromptHandler([&told](const fx::ui::PromptRequest& r) {
        told << r.text;
        return QMessageBox::Ok;
    });
    LendingWindow w;
    fx::ui::openHelp(&w, state);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.front().startsWith(QStringLiteral("无法打开帮助文件")))
        << told.front().toStdString();
    EXPECT_TRUE(told.front().contains(manual("lending.html")));
}

}  // namespace

#include "help_test.moc"
