#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "passwordhash.h"
#include "registerfixture.h"
#include "scripts.h"
#include "tmmmdlg.h"
#include "tyhgldlg.h"

// "修改密码" (F4, tool bar "密码") and "用户管理" run from the main window.

namespace fx::test {
namespace {

using users::Tmmmdlg;
using users::TyhglDlg;

class UserCommandsTest : public RegisterTest {
protected:
    void SetUp() override {
        RegisterTest::SetUp();
        completeFirstUse();
        exec(
            QStringLiteral("insert into users (user,password,view,modi,ins,del,jc,gh,db,spmodi) "
                           "values ('张三','旧密码',0,0,0,0,0,0,0,0)"));
    }
    void TearDown() override {
        if (form) shutDownDirectly(*form);
        form.reset();
        state.reset();
        RegisterTest::TearDown();
    }
    void start(const QString& user, const Rights& rights) {
        state = signIn(user, rights);
        form = startedForm(*state);
    }
    QString passwordOf(const QString& user) {
        return queryText(
            QStringLiteral("select * from users where user='") + user + QStringLiteral("'"),
            QStringLiteral("password"));
    }
    // A password window step that changes the signed-in user's password.
    static ModalScript::Step changePassword(const QString& oldPassword,
                                            const QString& newPassword) {
        return [=](QDialog& d) {
            auto* window = qobject_cast<Tmmmdlg*>(&d);
            if (!window) {
                ADD_FAILURE() << "not the password window: " << d.metaObject()->className();
                return int(QDialog::Rejected);
            }
            window->Edit1->setText(oldPassword);
            window->Edit2->setText(newPassword);
            window->Edit3->setText(newPassword);
            window->BitBtn1->click();
            return window->result();
        };
    }

    std::unique_ptr<AppState> state;
    std::unique_ptr<TMainForm> form;
};

TEST_F(UserCommandsTest, EveryUserChangesTheirPasswordFromTheMenuAndTheToolBar) {
    start(QStringLiteral("张三"), Rights{});
    EXPECT_EQ(form->N18->shortcut(), QKeySequence(Qt::Key_F4));
    EXPECT_TRUE(form->N18->isEnabled());
    EXPECT_TRUE(form->ToolButton14->isEnabled());

    ModalScript dialogs;
    dialogs.then(changePassword(QStringLiteral("旧密码"), QStringLiteral("菜单")))
        .then(changePassword(QStringLiteral("菜单"), QStringLiteral("按钮")));
    form->N18->trigger();
    EXPECT_TRUE(
        accounts::passwordMatches(passwordOf(QStringLiteral("张三")), QStringLiteral("菜单")));
    form->ToolButton14->click();
    EXPECT_TRUE(
        accounts::passwordMatches(passwordOf(QStringLiteral("张三")), QStringLiteral("按钮")));
    // Only the signed-in user's own row changes.
    EXPECT_EQ(passwordOf(kAdmin), QString());
}

TEST_F(UserCommandsTest, TheF4KeyOpensThePasswordWindowOnlyWhileBrowsing) {
    start(kAdmin, allRights());
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    {
        ModalScript dialogs;
        dialogs.then(changePassword(QString(), QStringLiteral("新的")));
        QTest::keyClick(form.get(), Qt::Key_F4);
    }
    EXPECT_TRUE(accounts::passwordMatches(passwordOf(kAdmin), QStringLiteral("新的")));

    // While an asset is being added the password cannot be changed.
    form->applyEditState();
    EXPECT_FALSE(form->ToolButton14->isEnabled());
    ModalScript noDialogs;
    QTest::keyClick(form.get(), Qt::Key_F4);
    form->ToolButton14->click();
    EXPECT_TRUE(noDialogs.seen().isEmpty());
    form->applyBrowseState();
}

TEST_F(UserCommandsTest, TheAdministratorManagesTheAccounts) {
    start(kAdmin, Rights{});
    ASSERT_TRUE(form->N19->isEnabled());
    ModalScript dialogs;
    dialogs.then<TyhglDlg>([](TyhglDlg& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("用户管理"));
        d.BitBtn1Click();
        d.DBEdit1->setText(QStringLiteral("王五"));
        d.DBCheckBox1->setChecked(true);  // 增加权
        d.DBCheckBox7->setChecked(true);  // 调拨权
        d.BitBtn5Click();
        d.BitBtn7Click();
        return d.result();
    });
    form->N19->trigger();
    const QString row = QStringLiteral("select * from users where user='王五'");
    EXPECT_EQ(queryText(row, QStringLiteral("ins")), QStringLiteral("true"));
    EXPECT_EQ(queryText(row, QStringLiteral("db")), QStringLiteral("true"));
    EXPECT_EQ(queryText(row, QStringLiteral("modi")), QStringLiteral("false"));
    // The running program keeps the rights it signed in with.
    EXPECT_FALSE(state->rights.ins);
}

}  // namespace
}  // namespace fx::test
