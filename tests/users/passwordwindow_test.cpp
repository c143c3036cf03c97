#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "connection.h"
#include "passwordhash.h"
#include "scripts.h"
#include "theme.h"
#include "tmmmdlg.h"
#include "usercommands.h"
#include "usersfixture.h"

namespace {

// True when stored is a password hash (never the password in clear) that password matches.
bool isHashOf(const QString& stored, const QString& password) {
    return fx::accounts::isPasswordHash(stored) && fx::accounts::passwordMatches(stored, password);
}

using fx::test::ModalScript;
using fx::test::PromptScript;
using fx::users::Tmmmdlg;

const QString kTip = QStringLiteral("提示");
const QString kWrongOld = QStringLiteral("旧密码输入有误，请再试一次。");
const QString kMismatch = QStringLiteral("两次输入的新密码不一致，请重新输入。");

class PasswordWindow : public ::testing::Test, public fx::test::UsersFixture {
protected:
    void SetUp() override {
        addAccount(QStringLiteral("张三"), QStringLiteral("old"));
        addAccount(QStringLiteral("李四"), QStringLiteral("lisi"));
        state().userName = QStringLiteral("张三");
    }
    void fill(Tmmmdlg& d, const QString& old, const QString& first, const QString& second) {
        d.Edit1->setText(old);
        d.Edit2->setText(first);
        d.Edit3->setText(second);
    }
};

TEST_F(PasswordWindow, HasThreeMaskedEntriesThatStartEmpty) {
    Tmmmdlg d(state());
    EXPECT_EQ(d.windowTitle(), QStringLiteral("修改密码"));
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("请输入旧密码："));
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label2"))->text(),
              QStringLiteral("请输入新密码："));
    EXPECT_EQ(d.findChild<QLabel*>(QStringLiteral("Label3"))->text(),
              QStringLiteral("再输入新密码："));
    for (const char* name : {"Edit1", "Edit2", "Edit3"}) {
        auto* e = d.findChild<QLineEdit*>(QLatin1String(name));
        ASSERT_TRUE(e);
        EXPECT_EQ(e->echoMode(), QLineEdit::Password);
        EXPECT_TRUE(e->text().isEmpty());
    }
    EXPECT_TRUE(d.BitBtn1->isDefault());
    EXPECT_EQ(d.BitBtn1->text(), QStringLiteral("确定"));
    EXPECT_EQ(d.BitBtn2->text(), QStringLiteral("取消"));
}

TEST_F(PasswordWindow, StoresTheNewPasswordOfTheSignedInUserOnly) {
    Tmmmdlg d(state());
    fill(d, QStringLiteral("old"), QStringLiteral("n3w"), QStringLiteral("n3w"));
    d.BitBtn1Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(isHashOf(stored(QStringLiteral("张三"))->password, QStringLiteral("n3w")));
    EXPECT_EQ(stored(QStringLiteral("李四"))->password, QStringLiteral("lisi"));
    EXPECT_TRUE(stored(QStringLiteral("系统管理员"))->password.isEmpty());
}

TEST_F(PasswordWindow, AWrongOldPasswordKeepsTheWindowOpen) {
    Tmmmdlg d(state());
    d.show();
    fill(d, QStringLiteral("OLD"), QStringLiteral("n3w"), QStringLiteral("n3w"));
    {
        PromptScript prompts;
        prompts.expect(kTip, kWrongOld);
        d.BitBtn1Click();
    }
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(stored(QStringLiteral("张三"))->password, QStringLiteral("old"));
    // Another user's password does not open it either.
    fill(d, QStringLiteral("lisi"), QStringLiteral("n3w"), QStringLiteral("n3w"));
    {
        PromptScript prompts;
        prompts.expect(kTip, kWrongOld);
        d.BitBtn1Click();
    }
    EXPECT_EQ(stored(QStringLiteral("张三"))->password, QStringLiteral("old"));
}

TEST_F(PasswordWindow, TwoDifferentNewPasswordsEmptyOnlyTheNewPasswordBoxes) {
    Tmmmdlg d(state());
    d.show();
    fill(d, QStringLiteral("old"), QStringLiteral("abc"), QStringLiteral("abd"));
    {
        PromptScript prompts;
        prompts.expect(kTip, kMismatch);
        d.BitBtn1Click();
    }
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.Edit1->text(), QStringLiteral("old"));
    EXPECT_TRUE(d.Edit2->text().isEmpty());
    EXPECT_TRUE(d.Edit3->text().isEmpty());
    EXPECT_EQ(stored(QStringLiteral("张三"))->password, QStringLiteral("old"));
}

TEST_F(PasswordWindow, MessagesAreInformation) {
    Tmmmdlg d(state());
    std::vector<fx::ui::PromptRequest> seen;
    fx::ui::setPromptHandler([&](const fx::ui::PromptRequest& r) {
        seen.push_back(r);
        return QMessageBox::Ok;
    });
    fill(d, QStringLiteral("x"), QString(), QString());
    d.BitBtn1Click();
    fill(d, QStringLiteral("old"), QStringLiteral("a"), QStringLiteral("b"));
    d.BitBtn1Click();
    fx::ui::setPromptHandler({});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].icon, fx::ui::Icon::Information);
    EXPECT_EQ(seen[1].icon, fx::ui::Icon::Information);
}

TEST_F(PasswordWindow, AnEmptyNewPasswordIsStoredEmpty) {
    Tmmmdlg d(state());
    fill(d, QStringLiteral("old"), QString(), QString());
    d.BitBtn1Click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(stored(QStringLiteral("张三"))->password.isEmpty());

    // And the empty password is then the old one.
    Tmmmdlg again(state());
    fill(again, QString(), QStringLiteral("back"), QStringLiteral("back"));
    again.BitBtn1Click();
    EXPECT_EQ(again.result(), QDialog::Accepted);
    EXPECT_TRUE(isHashOf(stored(QStringLiteral("张三"))->password, QStringLiteral("back")));
}

TEST_F(PasswordWindow, ApostrophesArePasswordsLikeAnyOther) {
    Tmmmdlg d(state());
    fill(d, QStringLiteral("old"), QStringLiteral("it's"), QStringLiteral("it's"));
    d.BitBtn1Click();
    EXPECT_TRUE(isHashOf(stored(QStringLiteral("张三"))->password, QStringLiteral("it's")));
    EXPECT_EQ(countAll(), 3);
}

TEST_F(PasswordWindow, AnAccountDeletedMeanwhileIsReported) {
    state().current->execute(QStringLiteral("delete from users where user='张三'"));
    Tmmmdlg d(state());
    d.show();
    fill(d, QStringLiteral("old"), QStringLiteral("a"), QStringLiteral("a"));
    {
        PromptScript prompts;
        prompts.expect(kTip, QStringLiteral("找不到用户“张三”"));
        d.BitBtn1Click();
    }
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(countAll(), 2);
}

TEST_F(PasswordWindow, CancelChangesNothing) {
    ModalScript modals;
    modals.then<Tmmmdlg>([&](Tmmmdlg& d) {
        fill(d, QStringLiteral("old"), QStringLiteral("n"), QStringLiteral("n"));
        d.BitBtn2->click();
        return d.result();
    });
    fx::users::openPasswordChange(nullptr, state());
    EXPECT_EQ(stored(QStringLiteral("张三"))->password, QStringLiteral("old"));
}

TEST_F(PasswordWindow, TheMenuEntryChangesThePassword) {
    ModalScript modals;
    modals.then<Tmmmdlg>([&](Tmmmdlg& d) {
        fill(d, QStringLiteral("old"), QStringLiteral("n"), QStringLiteral("n"));
        d.BitBtn1->click();
        return d.result();
    });
    fx::users::openPasswordChange(nullptr, state());
    EXPECT_TRUE(isHashOf(stored(QStringLiteral("张三"))->password, QStringLiteral("n")));
}

TEST_F(PasswordWindow, HasItsOwnColourAndFollowsTheTheme) {
    state().theme = fx::Theme::Colourful;
    Tmmmdlg colourful(state());
    EXPECT_EQ(colourful.palette().color(QPalette::Window), fx::users::ownColour());
    state().theme = fx::Theme::Windows;
    Tmmmdlg windows(state());
    EXPECT_NE(windows.palette().color(QPalette::Window), fx::users::ownColour());
}

}  // namespace
