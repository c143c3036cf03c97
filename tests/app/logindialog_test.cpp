#include <gtest/gtest.h>

#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QToolButton>

#include "datalocation.h"
#include "locationdialog.h"
#include "logindialog.h"
#include "logintest.h"
#include "scripts.h"
#include "testinstallation.h"
#include "userrows.h"

namespace {

using fx::TLoginDlg;
using fx::test::choose;
using fx::test::Messages;
using fx::test::ModalScript;
using fx::test::PromptScript;
using fx::test::tryLogin;

const QString kTip = QStringLiteral("提示");
const QString kChoose = QStringLiteral("请选择用户名");
const QString kEmptyAdvice = QStringLiteral("现在您的密码为空,系统建议您进入后立即更改之。");
const QString kRetry = QStringLiteral("密码输入有误，请再试一次。");
const QString kGoAway = QStringLiteral("找系统管理员去吧，不能让你再试了！");
const QString kAdmin = QStringLiteral("系统管理员");

QStringList listed(const TLoginDlg& d) {
    QStringList names;
    for (int i = 0; i < d.ComboBox1->count(); ++i) names << d.ComboBox1->itemText(i);
    return names;
}

class Login : public ::testing::Test {
protected:
    void SetUp() override {
        TLoginDlg::resetFailedAttempts();
        state = install.bare();
        state->dataDir.clear();
        fx::test::addUser(currentDb(), install.password(), QStringLiteral("张三"),
                          QStringLiteral("Abc123"),
                          fx::Rights{true, false, true, false, true, false, false, true});
        fx::test::addUser(currentDb(), install.password(), QStringLiteral("李四"),
                          QStringLiteral("lisi"));
        fx::test::addUser(currentDb(), install.password(), QStringLiteral("王五"),
                          QStringLiteral("wangwu"));
    }
    void TearDown() override { fx::setVolumeLister({}); }

    QString currentDb() const { return install.dataDir() + QStringLiteral("gdzc.qsk"); }

    fx::test::TestInstallation install;
    std::unique_ptr<fx::AppState> state;
};

// ---- the dialog as it opens ----

TEST_F(Login, HasItsCaptionAndControls) {
    TLoginDlg d(*state);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("欢迎使用青石岭通用固定资产管理系统！"));
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(d.findChild<QGroupBox*>(QStringLiteral("GroupBox1"))->title(),
              QStringLiteral("用户登录"));
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("用户名"));
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("密码"));
    auto* users = d.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    ASSERT_TRUE(users);
    EXPECT_FALSE(users->isEditable());
    auto* password = d.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    ASSERT_TRUE(password);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    auto* login = d.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    ASSERT_TRUE(login);
    EXPECT_EQ(login->text(), QStringLiteral("登录"));
    EXPECT_TRUE(login->isDefault());
    EXPECT_EQ(d.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->text(), QStringLiteral("离开"));
    auto* drive = d.findChild<QToolButton*>(QStringLiteral("SpeedButton1"));
    ASSERT_TRUE(drive);
    EXPECT_TRUE(drive->autoRaise());
    EXPECT_FALSE(drive->icon().isNull());
    EXPECT_EQ(drive->toolTip(), QStringLiteral("点击这里选择网络驱动器"));
}

TEST_F(Login, ListsTheUsersInTableOrderWithNoneChosen) {
    TLoginDlg d(*state);
    EXPECT_TRUE(d.canGoOn());
    EXPECT_EQ(state->dataDir, install.dataDir());
    EXPECT_EQ(listed(d), (QStringList{kAdmin, QStringLiteral("张三"), QStringLiteral("李四"),
                                      QStringLiteral("王五")}));
    EXPECT_EQ(d.ComboBox1->currentIndex(), -1);
}

TEST_F(Login, ADatabaseThatDoesNotOpenIsNamedAndLeftAlone) {
    QFile file(currentDb());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
    file.close();

    state->currentPassword = QStringLiteral("not the password");
    Messages messages;
    {
        TLoginDlg d(*state);
        EXPECT_FALSE(d.canGoOn());
        EXPECT_EQ(d.ComboBox1->count(), 0);
    }
    ASSERT_EQ(messages.seen.size(), 1u);
    EXPECT_EQ(messages.seen[0].icon, fx::ui::Icon::Warning);
    EXPECT_TRUE(messages.seen[0].text.contains(currentDb())) << messages.seen[0].text.toStdString();

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1), before);
    EXPECT_FALSE(QFile::exists(currentDb() + QStringLiteral("-journal")));
}

TEST_F(Login, ADatabaseThatDoesNotOpenAtTheStartLeavesTheDialogToChooseTheLocationAgain) {
    const QString moved = currentDb() + QStringLiteral(".elsewhere");
    ASSERT_TRUE(QFile::rename(currentDb(), moved));
    Messages messages;
    ModalScript dialogs;
    dialogs.then<TLoginDlg>([&](TLoginDlg& d) {
        EXPECT_FALSE(d.canGoOn());
        EXPECT_EQ(d.ComboBox1->count(), 0);
        // The database is there again (the network drive mapped again); the location is chosen.
        EXPECT_TRUE(QFile::rename(moved, currentDb()));
        d.SpeedButton1Click();
        EXPECT_EQ(listed(d).first(), kAdmin);
        tryLogin(d, kAdmin, QString());
        return d.result();
    });
    dialogs.then<fx::TLocationDlg>([](fx::TLocationDlg& d) {
        d.Button1Click();
        return d.result();
    });
    EXPECT_TRUE(TLoginDlg::signIn(*state));
    EXPECT_TRUE(dialogs.done());
    ASSERT_GE(messages.seen.size(), 1u);
    EXPECT_TRUE(messages.seen[0].text.contains(currentDb()));
    EXPECT_EQ(state->userName, kAdmin);
}

TEST_F(Login, ADatabaseThatDoesNotOpenCanBeLeft) {
    QFile::remove(currentDb());
    Messages messages;
    ModalScript dialogs;
    dialogs.then<TLoginDlg>([](TLoginDlg& d) {
        d.BitBtn2Click();
        return d.result();
    });
    EXPECT_FALSE(TLoginDlg::signIn(*state));
    EXPECT_TRUE(dialogs.done());
}

// ---- signing in ----

TEST_F(Login, NoUserChosenAsksForOne) {
    PromptScript prompts;
    prompts.expect(kTip, kChoose);
    TLoginDlg d(*state);
    d.Edit1->setText(QStringLiteral("Abc123"));
    d.BitBtn1->click();
    EXPECT_EQ(d.result(), 0);
    EXPECT_TRUE(state->userName.isEmpty());
    EXPECT_EQ(TLoginDlg::failedAttempts(), 0);
}

TEST_F(Login, AdministratorWithEmptyPasswordSignsInWithAdvice) {
    Messages messages;
    TLoginDlg d(*state);
    tryLogin(d, kAdmin, QString());
    ASSERT_EQ(messages.seen.size(), 1u);
    EXPECT_EQ(messages.seen[0].caption, kTip);
    EXPECT_EQ(messages.seen[0].text, kEmptyAdvice);
    EXPECT_EQ(messages.seen[0].icon, fx::ui::Icon::Information);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(state->userName, kAdmin);
    EXPECT_TRUE(state->isAdministrator());
    const fx::Rights& r = state->rights;
    EXPECT_TRUE(r.ins && r.modi && r.del && r.view && r.jc && r.gh && r.db && r.spmodi);
}

TEST_F(Login, EmptyStoredPasswordRefusesATypedOne) {
    PromptScript prompts;
    prompts.expect(kTip, kRetry);
    TLoginDlg d(*state);
    tryLogin(d, kAdmin, QStringLiteral("x"));
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_TRUE(state->userName.isEmpty());
}

TEST_F(Login, RightsAndNameOfTheUserAreKeptWithoutAdvice) {
    Messages messages;
    TLoginDlg d(*state);
    tryLogin(d, QStringLiteral("张三"), QStringLiteral("Abc123"));
    EXPECT_TRUE(messages.seen.empty());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(state->userName, QStringLiteral("张三"));
    EXPECT_FALSE(state->isAdministrator());
    const fx::Rights& r = state->rights;
    EXPECT_TRUE(r.ins);
    EXPECT_FALSE(r.modi);
    EXPECT_TRUE(r.del);
    EXPECT_FALSE(r.view);
    EXPECT_TRUE(r.jc);
    EXPECT_FALSE(r.gh);
    EXPECT_FALSE(r.db);
    EXPECT_TRUE(r.spmodi);
}

TEST_F(Login, PasswordsCompareCaseSensitivelyAndPerUser) {
    PromptScript prompts;
    prompts.expect(kTip, kRetry).expect(kTip, kRetry);
    TLoginDlg d(*state);
    tryLogin(d, QStringLiteral("张三"), QStringLiteral("abc123"));
    tryLogin(d, QStringLiteral("李四"), QStringLiteral("Abc123"));
    EXPECT_EQ(TLoginDlg::failedAttempts(), 2);
    tryLogin(d, QStringLiteral("李四"), QStringLiteral("lisi"));
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(state->userName, QStringLiteral("李四"));
}

TEST_F(Login, TheFourthWrongPasswordEndsTheProgram) {
    Messages messages;
    TLoginDlg d(*state);
    for (int i = 1; i <= 3; ++i) {
        tryLogin(d, QStringLiteral("王五"), QStringLiteral("wrong"));
        ASSERT_EQ(messages.seen.size(), size_t(i));
        EXPECT_EQ(messages.seen.back().text, kRetry);
        EXPECT_EQ(messages.seen.back().caption, kTip);
        EXPECT_EQ(messages.seen.back().icon, fx::ui::Icon::Information);
        EXPECT_EQ(TLoginDlg::failedAttempts(), i);
        EXPECT_EQ(d.result(), 0) << "dialog closed after attempt " << i;
    }
    tryLogin(d, QStringLiteral("王五"), QStringLiteral("wrong"));
    ASSERT_EQ(messages.seen.size(), 4u);
    EXPECT_EQ(messages.seen.back().text, kGoAway);
    EXPECT_EQ(messages.seen.back().caption, kTip);
    EXPECT_EQ(messages.seen.back().icon, fx::ui::Icon::Stop);
    EXPECT_EQ(d.result(), TLoginDlg::Exit);
    EXPECT_TRUE(state->userName.isEmpty());
}

TEST_F(Login, AfterThreeFailuresTheRightPasswordStillSignsIn) {
    // Three failures leave one more chance: the right password still signs in.
    Messages messages;
    TLoginDlg d(*state);
    for (int i = 0; i < 3; ++i) tryLogin(d, QStringLiteral("王五"), QStringLiteral("x"));
    tryLogin(d, QStringLiteral("王五"), QStringLiteral("wangwu"));
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(state->userName, QStringLiteral("王五"));
}

TEST_F(Login, TheFailureCountOutlivesTheDialog) {
    Messages messages;
    {
        TLoginDlg d(*state);
        tryLogin(d, QStringLiteral("王五"), QStringLiteral("x"));
        tryLogin(d, QStringLiteral("王五"), QStringLiteral("y"));
    }
    TLoginDlg again(*state);
    tryLogin(again, QStringLiteral("王五"), QStringLiteral("z"));
    EXPECT_EQ(again.result(), 0);
    tryLogin(again, QStringLiteral("王五"), QStringLiteral("w"));
    EXPECT_EQ(again.result(), TLoginDlg::Exit);
    EXPECT_EQ(messages.seen.back().text, kGoAway);
}

TEST_F(Login, EnterInThePasswordFieldSignsIn) {
    PromptScript prompts;
    TLoginDlg d(*state);
    d.show();
    choose(d, QStringLiteral("王五"));
    d.Edit1->setFocus();
    QTest::keyClicks(d.Edit1, QStringLiteral("wangwu"));
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("wangwu"));
    QTest::keyClick(d.Edit1, Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(state->userName, QStringLiteral("王五"));
}

TEST_F(Login, LeavingEndsTheProgram) {
    PromptScript prompts;
    TLoginDlg d(*state);
    d.BitBtn2->click();
    EXPECT_EQ(d.result(), TLoginDlg::Exit);
    EXPECT_TRUE(state->userName.isEmpty());

    TLoginDlg escaped(*state);
    escaped.show();
    QTest::keyClick(&escaped, Qt::Key_Escape);
    EXPECT_EQ(escaped.result(), TLoginDlg::Exit);
}

TEST_F(Login, SignInReportsTheOutcome) {
    PromptScript prompts;
    prompts.expect(kTip, kEmptyAdvice);
    ModalScript dialogs;
    dialogs.then<TLoginDlg>([](TLoginDlg& d) {
        tryLogin(d, kAdmin, QString());
        return d.result();
    });
    dialogs.then<TLoginDlg>([](TLoginDlg& d) {
        d.BitBtn2Click();
        return d.result();
    });
    EXPECT_TRUE(TLoginDlg::signIn(*state));
    EXPECT_EQ(state->userName, kAdmin);
    EXPECT_FALSE(TLoginDlg::signIn(*state));
}

// ---- switching to a network database ----

TEST_F(Login, SwitchingToANetworkVolumeListsItsUsersAndKeepsCounting) {
    fx::test::NetworkVolume volume(install.password());
    fx::test::addUser(volume.currentDatabasePath(), install.password(), QStringLiteral("网管"),
                      QStringLiteral("net"));

    Messages messages;
    TLoginDlg d(*state);
    tryLogin(d, QStringLiteral("王五"), QStringLiteral("x"));
    tryLogin(d, QStringLiteral("王五"), QStringLiteral("y"));
    ASSERT_EQ(TLoginDlg::failedAttempts(), 2);

    ModalScript dialogs;
    dialogs.then<fx::TLocationDlg>([&](fx::TLocationDlg& loc) {
        EXPECT_EQ(loc.parent(), &d);
        loc.RadioButton2->click();
        const int i = loc.DriveComboBox1->findText(volume.root(), Qt::MatchEndsWith);
        EXPECT_GE(i, 0);
        loc.DriveComboBox1->setCurrentIndex(i);
        loc.Button1->click();
        return loc.result();
    });
    d.Edit1->setText(QStringLiteral("typed before"));
    d.SpeedButton1->click();
    EXPECT_TRUE(dialogs.done());

    EXPECT_EQ(state->dataDir, volume.root() + QLatin1Char('/'));
    EXPECT_EQ(listed(d), (QStringList{kAdmin, QStringLiteral("网管")}));
    EXPECT_EQ(d.ComboBox1->currentIndex(), -1);
    EXPECT_TRUE(d.Edit1->text().isEmpty());
    EXPECT_EQ(d.result(), 0);
    const fx::DataLocation stored = fx::readDataLocation(install.appPath());
    EXPECT_TRUE(stored.network);
    EXPECT_EQ(stored.root, volume.root());
    EXPECT_EQ(stored.driver, int('D'));

    // The local users are gone from the list, and two more failures end the program.
    tryLogin(d, QStringLiteral("网管"), QStringLiteral("wrong"));
    EXPECT_EQ(d.result(), 0);
    tryLogin(d, QStringLiteral("网管"), QStringLiteral("wrong"));
    EXPECT_EQ(d.result(), TLoginDlg::Exit);
    ASSERT_EQ(messages.seen.size(), 4u);
    EXPECT_EQ(messages.seen.back().text, kGoAway);
}

TEST_F(Login, TheNextStartFindsTheNetworkDatabaseAgain) {
    fx::test::NetworkVolume volume(install.password(), {QStringLiteral("/")});
    fx::test::addUser(volume.currentDatabasePath(), install.password(), QStringLiteral("网管"),
                      QStringLiteral("net"));
    fx::writeDataLocation(install.appPath(), {true, 'E', volume.root()});

    PromptScript prompts;
    TLoginDlg d(*state);
    EXPECT_EQ(state->dataDir, volume.root() + QLatin1Char('/'));
    tryLogin(d, QStringLiteral("网管"), QStringLiteral("net"));
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(Login, CancellingTheLocationDialogKeepsEverything) {
    fx::test::NetworkVolume volume(install.password());
    PromptScript prompts;
    TLoginDlg d(*state);
    choose(d, QStringLiteral("李四"));
    d.Edit1->setText(QStringLiteral("lisi"));

    ModalScript dialogs;
    dialogs.then<fx::TLocationDlg>([](fx::TLocationDlg& loc) {
        loc.RadioButton2->click();
        loc.Button2->click();
        return loc.result();
    });
    d.SpeedButton1Click();

    EXPECT_EQ(state->dataDir, install.dataDir());
    EXPECT_EQ(d.ComboBox1->count(), 4);
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("lisi"));
    EXPECT_FALSE(QFile::exists(fx::locationFilePath(install.appPath())));
    d.BitBtn1->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(Login, ANetworkDatabaseThatDoesNotOpenLeavesTheDialogOpenToChooseAgain) {
    // The volume's database was keyed by another installation.
    fx::test::NetworkVolume volume(QStringLiteral("another key"));
    Messages messages;
    TLoginDlg d(*state);

    ModalScript dialogs;
    dialogs.then<fx::TLocationDlg>([](fx::TLocationDlg& loc) {
        loc.RadioButton2->click();
        loc.Button1->click();
        return loc.result();
    });
    d.SpeedButton1Click();
    ASSERT_EQ(messages.seen.size(), 1u);
    EXPECT_TRUE(messages.seen[0].text.contains(volume.currentDatabasePath()));
    EXPECT_EQ(d.ComboBox1->count(), 0);
    EXPECT_EQ(d.result(), 0);

    // Back to the local database.
    dialogs.then<fx::TLocationDlg>([](fx::TLocationDlg& loc) {
        loc.RadioButton1->click();
        loc.Button1->click();
        return loc.result();
    });
    d.SpeedButton1Click();
    EXPECT_EQ(d.ComboBox1->count(), 4);
    EXPECT_EQ(state->dataDir, install.dataDir());
    tryLogin(d, QStringLiteral("李四"), QStringLiteral("lisi"));
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

}  // namespace
