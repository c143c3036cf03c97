#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "connection.h"
#include "displayonly.h"
#include "logindialog.h"
#include "passwordhash.h"
#include "scripts.h"
#include "theme.h"
#include "tmmmdlg.h"
#include "tyhgldlg.h"
#include "usercommands.h"
#include "usersfixture.h"

namespace {

// True when stored is a password hash (never the password in clear) that password matches.
bool isHashOf(const QString& stored, const QString& password) {
    return fx::accounts::isPasswordHash(stored) && fx::accounts::passwordMatches(stored, password);
}

using fx::test::ModalScript;
using fx::test::PromptScript;
using fx::users::TyhglDlg;
using Mode = TyhglDlg::Mode;

const QString kTip = QStringLiteral("提示");
const QString kAdmin = QStringLiteral("系统管理员");

bool noRights(const fx::Rights& r) {
    return !r.ins && !r.modi && !r.del && !r.view && !r.jc && !r.gh && !r.db && !r.spmodi;
}

// Which of the window's buttons are enabled, in the order 增加 修改 删除 清除密码 保存 放弃 退出.
QString enabledButtons(const TyhglDlg& d) {
    QString s;
    for (const QPushButton* b :
         {d.BitBtn1, d.BitBtn2, d.BitBtn3, d.BitBtn4, d.BitBtn5, d.BitBtn6, d.BitBtn7})
        s += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

const QString kBrowsing = QStringLiteral("1111001");
const QString kEditing = QStringLiteral("0001110");

void selectUser(TyhglDlg& d, const QString& name) {
    for (int row = 0; row < d.DBGrid1->rowCount(); ++row) {
        if (d.DBGrid1->item(row, 0)->text() == name) {
            d.DBGrid1->setCurrentCell(row, 0);
            ASSERT_EQ(d.DBEdit1->text(), name);
            return;
        }
    }
    FAIL() << "no account " << name.toStdString() << " in the grid";
}

QStringList gridNames(const TyhglDlg& d) {
    QStringList names;
    for (int row = 0; row < d.DBGrid1->rowCount(); ++row) names << d.DBGrid1->item(row, 0)->text();
    return names;
}

// True while some right of the account can be ticked.
bool rightsOpen(const TyhglDlg& d) {
    for (QCheckBox* box : d.GroupBox1->findChildren<QCheckBox*>())
        if (box->isEnabled() && !fx::ui::isDisplayOnly(box)) return true;
    return false;
}

class UserManagement : public ::testing::Test, public fx::test::UsersFixture {};

TEST_F(UserManagement, OpensBrowsingWithItsControls) {
    addAccount(QStringLiteral("张三"), QStringLiteral("zs"),
               {true, true, false, false, false, false, true, false});
    TyhglDlg d(state());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("用户管理"));
    EXPECT_FALSE(d.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(gridNames(d), (QStringList{kAdmin, QStringLiteral("张三")}));
    EXPECT_EQ(d.DBGrid1->horizontalHeaderItem(0)->text(), QStringLiteral("用户名"));
    EXPECT_EQ(enabledButtons(d), kBrowsing);
    EXPECT_TRUE(d.DBEdit1->isReadOnly());
    EXPECT_FALSE(rightsOpen(d));
    // Shown legibly, in the normal colours, but not to be ticked.
    for (QCheckBox* box : d.GroupBox1->findChildren<QCheckBox*>()) {
        EXPECT_TRUE(box->isEnabled()) << box->objectName().toStdString();
        EXPECT_EQ(box->focusPolicy(), Qt::NoFocus) << box->objectName().toStdString();
    }
    EXPECT_EQ(d.GroupBox1->title(), QStringLiteral("用户权限"));
    const QStringList captions{QStringLiteral("增加权"),     QStringLiteral("修改权"),
                               QStringLiteral("报废权"),     QStringLiteral("数据字典维护权"),
                               QStringLiteral("借出批复权"), QStringLiteral("归还审核权"),
                               QStringLiteral("调拨权"),     QStringLiteral("超级修改权")};
    for (int i = 0; i < captions.size(); ++i) {
        auto* box = d.findChild<QCheckBox*>(QStringLiteral("DBCheckBox%1").arg(i + 1));
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text(), captions[i]);
    }
    // The grid is bound to the row: choosing 张三 shows his rights.
    selectUser(d, QStringLiteral("张三"));
    EXPECT_TRUE(d.DBCheckBox1->isChecked());
    EXPECT_TRUE(d.DBCheckBox2->isChecked());
    EXPECT_FALSE(d.DBCheckBox3->isChecked());
    EXPECT_TRUE(d.DBCheckBox7->isChecked());
    EXPECT_FALSE(d.DBCheckBox8->isChecked());
}

TEST_F(UserManagement, TheAdministratorCannotBeModifiedOrDeleted) {
    TyhglDlg d(state());
    selectUser(d, kAdmin);
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("该用户为系统保留用户，不能改名，具有最高的权限。"));
        d.BitBtn2->click();
    }
    EXPECT_EQ(d.mode(), Mode::Browsing);
    EXPECT_EQ(enabledButtons(d), kBrowsing);
    EXPECT_TRUE(d.DBEdit1->isReadOnly());
    EXPECT_FALSE(rightsOpen(d));
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("该用户为系统保留用户，不能删除。"));
        d.BitBtn3->click();
    }
    EXPECT_EQ(d.mode(), Mode::Browsing);
    EXPECT_EQ(enabledButtons(d), kBrowsing);
    EXPECT_EQ(countNamed(kAdmin), 1);
}

TEST_F(UserManagement, AccountsThatCannotBeReadAgainRefuseAddingInsteadOfFailing) {
    addAccount(QStringLiteral("甲"), QString());
    TyhglDlg d(state());
    selectUser(d, QStringLiteral("甲"));
    d.BitBtn2->click();
    ASSERT_EQ(d.mode(), Mode::Modifying);
    // Another program takes the table away while the account is being modified.
    auto other = fx::db::Connection::open(state().currentDatabasePath(), state().currentPassword);
    other->executeNative(QStringLiteral("ALTER TABLE users RENAME TO users_elsewhere"));
    PromptScript prompts;
    prompts.expect(QStringLiteral("警告"), QStringLiteral("users"));  // "放弃" cannot read them
    prompts.expect(QStringLiteral("警告"), QString());  // "增加" has nothing to add to
    d.BitBtn6->click();
    d.BitBtn1->click();
    EXPECT_TRUE(prompts.done());
    EXPECT_EQ(d.mode(), Mode::Browsing);
    EXPECT_EQ(enabledButtons(d), kBrowsing);
    other->executeNative(QStringLiteral("ALTER TABLE users_elsewhere RENAME TO users"));
    EXPECT_EQ(countNamed(QStringLiteral("甲")), 1);
}

TEST_F(UserManagement, RefusalsUseTheWarningIcon) {
    TyhglDlg d(state());
    selectUser(d, kAdmin);
    std::vector<fx::ui::PromptRequest> seen;
    fx::ui::setPromptHandler([&](const fx::ui::PromptRequest& r) {
        seen.push_back(r);
        return QMessageBox::Ok;
    });
    d.BitBtn2Click();
    d.BitBtn3Click();
    fx::ui::setPromptHandler({});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].icon, fx::ui::Icon::Warning);
    EXPECT_EQ(seen[1].icon, fx::ui::Icon::Warning);
}

TEST_F(UserManagement, ANewAccountHasNoRightsAndSignsInWithTheEmptyPasswordAdvice) {
    {
        TyhglDlg d(state());
        d.BitBtn1->click();
        EXPECT_EQ(d.mode(), Mode::Adding);
        EXPECT_EQ(enabledButtons(d), kEditing);
        EXPECT_FALSE(d.DBEdit1->isReadOnly());
        EXPECT_TRUE(rightsOpen(d));
        EXPECT_FALSE(d.DBGrid1->isEnabled());
        EXPECT_TRUE(d.DBEdit1->text().isEmpty());
        for (QCheckBox* box : d.findChildren<QCheckBox*>()) EXPECT_FALSE(box->isChecked());
        d.DBEdit1->setText(QStringLiteral("赵六"));
        d.BitBtn5->click();
        EXPECT_EQ(d.mode(), Mode::Browsing);
        EXPECT_EQ(enabledButtons(d), kBrowsing);
        EXPECT_TRUE(gridNames(d).contains(QStringLiteral("赵六")));
    }
    const auto row = stored(QStringLiteral("赵六"));
    ASSERT_TRUE(row);
    EXPECT_TRUE(noRights(row->rights));
    EXPECT_TRUE(row->password.isEmpty());

    // The first sign-in of the new account.
    fx::TLoginDlg::resetFailedAttempts();
    auto loginState = install.bare();
    loginState->dataDir.clear();
    fx::TLoginDlg login(*loginState);
    ASSERT_TRUE(login.canGoOn());
    login.ComboBox1->setCurrentIndex(login.ComboBox1->findText(QStringLiteral("赵六")));
    login.Edit1->clear();
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("现在您的密码为空,系统建议您进入后立即更改之。"));
        login.BitBtn1Click();
    }
    EXPECT_EQ(login.result(), QDialog::Accepted);
    EXPECT_EQ(loginState->userName, QStringLiteral("赵六"));
    EXPECT_TRUE(noRights(loginState->rights));
}

TEST_F(UserManagement, SuperModifyIsStoredWithModify) {
    TyhglDlg d(state());
    d.BitBtn1Click();
    d.DBEdit1->setText(QStringLiteral("钱七"));
    // Ticking super-modify ticks modify on the window...
    QTest::mouseClick(d.DBCheckBox8, Qt::LeftButton);
    EXPECT_TRUE(d.DBCheckBox8->isChecked());
    EXPECT_TRUE(d.DBCheckBox2->isChecked());
    // ...and even with modify cleared again both are stored.
    d.DBCheckBox2->setChecked(false);
    d.BitBtn5Click();
    const auto row = stored(QStringLiteral("钱七"));
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->rights.spmodi);
    EXPECT_TRUE(row->rights.modi);
    EXPECT_FALSE(row->rights.ins);
    EXPECT_FALSE(row->rights.db);
}

TEST_F(UserManagement, ADuplicateNameIsRefusedAndTheEditStaysOpen) {
    addAccount(QStringLiteral("张三"), QStringLiteral("zs"));
    TyhglDlg d(state());
    d.BitBtn1Click();
    d.DBEdit1->setText(QStringLiteral("张三"));
    d.DBCheckBox3->setChecked(true);
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("此用户名已存在,请换一个用户名。"));
        d.BitBtn5Click();
    }
    EXPECT_EQ(d.mode(), Mode::Adding);
    EXPECT_EQ(enabledButtons(d), kEditing);
    EXPECT_EQ(d.DBEdit1->text(), QStringLiteral("张三"));
    EXPECT_EQ(countNamed(QStringLiteral("张三")), 1);
    EXPECT_FALSE(stored(QStringLiteral("张三"))->rights.del);

    // The pending edit can be corrected and saved.
    d.DBEdit1->setText(QStringLiteral("张三丰"));
    d.BitBtn5Click();
    EXPECT_EQ(d.mode(), Mode::Browsing);
    ASSERT_TRUE(stored(QStringLiteral("张三丰")));
    EXPECT_TRUE(stored(QStringLiteral("张三丰"))->rights.del);
    EXPECT_EQ(countAll(), 3);
}

TEST_F(UserManagement, RenamingOntoAnotherAccountIsRefused) {
    addAccount(QStringLiteral("张三"), QStringLiteral("zs"));
    addAccount(QStringLiteral("李四"), QStringLiteral("ls"));
    TyhglDlg d(state());
    selectUser(d, QStringLiteral("李四"));
    d.BitBtn2Click();
    EXPECT_EQ(d.mode(), Mode::Modifying);
    d.DBEdit1->setText(QStringLiteral("张三"));
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("此用户名已存在,请换一个用户名。"));
        d.BitBtn5Click();
    }
    EXPECT_EQ(d.mode(), Mode::Modifying);
    EXPECT_EQ(countNamed(QStringLiteral("张三")), 1);
    EXPECT_EQ(countNamed(QStringLiteral("李四")), 1);
}

TEST_F(UserManagement, ModifyingKeepsTheNameAndChangesTheRights) {
    addAccount(QStringLiteral("李四"), QStringLiteral("ls"),
               {true, false, false, false, false, false, false, false});
    TyhglDlg d(state());
    selectUser(d, QStringLiteral("李四"));
    d.BitBtn2Click();
    EXPECT_EQ(enabledButtons(d), kEditing);
    d.DBCheckBox1->setChecked(false);
    d.DBCheckBox5->setChecked(true);
    d.BitBtn5Click();
    const auto row = stored(QStringLiteral("李四"));
    ASSERT_TRUE(row);
    EXPECT_FALSE(row->rights.ins);
    EXPECT_TRUE(row->rights.jc);
    EXPECT_EQ(row->password, QStringLiteral("ls"));
    EXPECT_EQ(countAll(), 2);
}

TEST_F(UserManagement, AnEmptyNameIsRefused) {
    TyhglDlg d(state());
    d.BitBtn1Click();
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("用户名不能为空!"));
        d.BitBtn5Click();
    }
    EXPECT_EQ(d.mode(), Mode::Adding);
    EXPECT_EQ(countAll(), 1);
}

TEST_F(UserManagement, DeletingWaitsForSave) {
    addAccount(QStringLiteral("张三"), QStringLiteral("zs"));
    addAccount(QStringLiteral("李四"), QStringLiteral("ls"));
    TyhglDlg d(state());
    selectUser(d, QStringLiteral("张三"));
    d.BitBtn3Click();
    EXPECT_EQ(d.mode(), Mode::Deleting);
    EXPECT_EQ(enabledButtons(d), kEditing);
    EXPECT_EQ(countNamed(QStringLiteral("张三")), 1);
    // Discarding keeps the account.
    d.BitBtn6Click();
    EXPECT_EQ(d.mode(), Mode::Browsing);
    EXPECT_EQ(enabledButtons(d), kBrowsing);
    EXPECT_EQ(countNamed(QStringLiteral("张三")), 1);

    selectUser(d, QStringLiteral("张三"));
    d.BitBtn3Click();
    d.BitBtn5Click();
    EXPECT_EQ(countNamed(QStringLiteral("张三")), 0);
    EXPECT_EQ(countNamed(QStringLiteral("李四")), 1);
    EXPECT_EQ(gridNames(d), (QStringList{kAdmin, QStringLiteral("李四")}));
}

TEST_F(UserManagement, DiscardForgetsAPendingChange) {
    addAccount(QStringLiteral("李四"), QStringLiteral("ls"));
    TyhglDlg d(state());
    selectUser(d, QStringLiteral("李四"));
    d.BitBtn2Click();
    d.DBEdit1->setText(QStringLiteral("李四四"));
    d.DBCheckBox4->setChecked(true);
    d.BitBtn6Click();
    EXPECT_EQ(d.mode(), Mode::Browsing);
    EXPECT_TRUE(d.DBEdit1->isReadOnly());
    EXPECT_FALSE(rightsOpen(d));
    EXPECT_EQ(gridNames(d), (QStringList{kAdmin, QStringLiteral("李四")}));
    EXPECT_FALSE(stored(QStringLiteral("李四"))->rights.view);
    EXPECT_FALSE(stored(QStringLiteral("李四四")));

    // An added row that is discarded is never written.
    d.BitBtn1Click();
    d.DBEdit1->setText(QStringLiteral("王五"));
    d.BitBtn6Click();
    EXPECT_FALSE(stored(QStringLiteral("王五")));
    EXPECT_EQ(countAll(), 2);
}

TEST_F(UserManagement, ClearPasswordAsksAndWorksForEveryAccount) {
    addAccount(QStringLiteral("张三"), QStringLiteral("zs"));
    ASSERT_EQ(countAll(), 2);
    TyhglDlg d(state());
    selectUser(d, QStringLiteral("张三"));
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("确实要清除该用户的密码吗?"), QMessageBox::Cancel);
        d.BitBtn4Click();
    }
    EXPECT_EQ(stored(QStringLiteral("张三"))->password, QStringLiteral("zs"));
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("确实要清除该用户的密码吗?"), QMessageBox::Ok);
        d.BitBtn4Click();
    }
    EXPECT_TRUE(stored(QStringLiteral("张三"))->password.isEmpty());
    EXPECT_EQ(d.mode(), Mode::Browsing);

    // The reserved account too.
    state().current->execute(
        QStringLiteral("update users set password='root' where user='系统管理员'"));
    ASSERT_EQ(stored(kAdmin)->password, QStringLiteral("root"));
    TyhglDlg again(state());
    selectUser(again, kAdmin);
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("确实要清除该用户的密码吗?"), QMessageBox::Ok);
        again.BitBtn4Click();
    }
    EXPECT_TRUE(stored(kAdmin)->password.isEmpty());
}

TEST_F(UserManagement, ClearedPasswordThenTheOldPasswordMayBeEmpty) {
    addAccount(QStringLiteral("张三"), QStringLiteral("secret"));
    {
        TyhglDlg d(state());
        selectUser(d, QStringLiteral("张三"));
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("确实要清除该用户的密码吗?"), QMessageBox::Ok);
        d.BitBtn4Click();
    }
    state().userName = QStringLiteral("张三");
    fx::users::Tmmmdlg p(state());
    p.Edit1->clear();
    p.Edit2->setText(QStringLiteral("new1"));
    p.Edit3->setText(QStringLiteral("new1"));
    p.BitBtn1Click();
    EXPECT_EQ(p.result(), QDialog::Accepted);
    EXPECT_TRUE(isHashOf(stored(QStringLiteral("张三"))->password, QStringLiteral("new1")));
}

TEST_F(UserManagement, EscapeClosesOnlyWhileBrowsing) {
    TyhglDlg d(state());
    d.show();
    d.BitBtn1Click();
    d.reject();
    EXPECT_TRUE(d.isVisible());
    d.BitBtn6Click();
    d.reject();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
}

TEST_F(UserManagement, HasItsOwnColourAndFollowsTheTheme) {
    state().theme = fx::Theme::Colourful;
    TyhglDlg colourful(state());
    EXPECT_EQ(colourful.palette().color(QPalette::Window), QColor(255, 214, 232));
    state().theme = fx::Theme::Blue;
    TyhglDlg blue(state());
    EXPECT_EQ(blue.palette().color(QPalette::Window), QColor(193, 218, 238));
}

TEST_F(UserManagement, TheMenuEntryRunsTheWindowModally) {
    ModalScript modals;
    modals.then<TyhglDlg>([&](TyhglDlg& d) {
        d.BitBtn1Click();
        d.DBEdit1->setText(QStringLiteral("孙八"));
        d.DBCheckBox7->setChecked(true);
        d.BitBtn5Click();
        d.BitBtn7Click();
        return d.result();
    });
    fx::users::openUserManagement(nullptr, state());
    ASSERT_TRUE(stored(QStringLiteral("孙八")));
    EXPECT_TRUE(stored(QStringLiteral("孙八"))->rights.db);
}

}  // namespace

namespace {

TEST_F(UserManagement, ClearingAHashedPasswordGivesTheEmptyPasswordAdviceAtSignIn) {
    addAccount(QStringLiteral("张三"), QString());
    state().current->execute(QStringLiteral("update users set password='") +
                             fx::accounts::hashPassword(QStringLiteral("zs")) +
                             QStringLiteral("' where user='张三'"));
    ASSERT_TRUE(isHashOf(stored(QStringLiteral("张三"))->password, QStringLiteral("zs")));
    TyhglDlg d(state());
    selectUser(d, QStringLiteral("张三"));
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("确实要清除该用户的密码吗?"), QMessageBox::Ok);
        d.BitBtn4Click();
    }
    EXPECT_TRUE(stored(QStringLiteral("张三"))->password.isEmpty());

    fx::TLoginDlg::resetFailedAttempts();
    auto loginState = install.bare();
    loginState->dataDir.clear();
    fx::TLoginDlg login(*loginState);
    login.ComboBox1->setCurrentIndex(login.ComboBox1->findText(QStringLiteral("张三")));
    login.Edit1->clear();
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("现在您的密码为空,系统建议您进入后立即更改之。"));
        login.BitBtn1Click();
    }
    EXPECT_EQ(login.result(), QDialog::Accepted);
    EXPECT_TRUE(stored(QStringLiteral("张三"))->password.isEmpty());
}

}  // namespace
