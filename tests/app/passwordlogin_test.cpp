// Signing in against stored password hashes, and the passwords older versions kept in clear.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "connection.h"
#include "logindialog.h"
#include "logintest.h"
#include "passwordhash.h"
#include "prompt.h"
#include "rowset.h"
#include "testinstallation.h"
#include "userrows.h"

namespace {

using fx::TLoginDlg;

const QString kEmptyAdvice = QStringLiteral("现在您的密码为空,系统建议您进入后立即更改之。");
const QString kRetry = QStringLiteral("密码输入有误，请再试一次。");

class PasswordLogin : public ::testing::Test {
protected:
    void SetUp() override {
        TLoginDlg::resetFailedAttempts();
        state = install.bare();
        state->dataDir.clear();
        fx::ui::setPromptHandler([this](const fx::ui::PromptRequest& r) {
            seen << r.text;
            return QMessageBox::Ok;
        });
    }
    void TearDown() override { fx::ui::setPromptHandler({}); }

    QString currentDb() const { return install.dataDir() + QStringLiteral("gdzc.qsk"); }

    // The stored password of user, read straight from the file.
    QString stored(const QString& user) {
        auto c = fx::db::Connection::open(currentDb(), install.password());
        fx::db::RowSet rows(*c, QStringLiteral("select * from users"));
        rows.open();
        for (; !rows.eof(); rows.next())
            if (rows.text(QStringLiteral("user")) == user)
                return rows.text(QStringLiteral("password"));
        ADD_FAILURE() << "no user " << user.toStdString();
        return {};
    }

    void setStored(const QString& user, const QString& value) {
        auto c = fx::db::Connection::open(currentDb(), install.password());
        fx::db::RowSet rows(*c, QStringLiteral("select * from users"));
        rows.open();
        while (!rows.eof() && rows.text(QStringLiteral("user")) != user) rows.next();
        ASSERT_FALSE(rows.eof());
        rows.edit();
        rows.setValue(QStringLiteral("password"), value);
        rows.post();
    }

    // Signs in as user with password in a new dialog; true when the dialog accepted.
    bool signIn(const QString& user, const QString& password) {
        TLoginDlg d(*state);
        fx::test::tryLogin(d, user, password);
        return d.result() == QDialog::Accepted;
    }

    fx::test::TestInstallation install;
    std::unique_ptr<fx::AppState> state;
    QStringList seen;
};

TEST_F(PasswordLogin, APasswordInClearIsReplacedByItsHashAtTheFirstSuccessfulSignIn) {
    fx::test::addUser(currentDb(), install.password(), QStringLiteral("张三"),
                      QStringLiteral("Abc123"));
    ASSERT_EQ(stored(QStringLiteral("张三")), QStringLiteral("Abc123"));

    // A wrong password changes nothing.
    EXPECT_FALSE(signIn(QStringLiteral("张三"), QStringLiteral("abc123")));
    EXPECT_EQ(stored(QStringLiteral("张三")), QStringLiteral("Abc123"));

    ASSERT_TRUE(signIn(QStringLiteral("张三"), QStringLiteral("Abc123")));
    const QString hash = stored(QStringLiteral("张三"));
    EXPECT_TRUE(fx::accounts::isPasswordHash(hash)) << hash.toStdString();
    EXPECT_FALSE(hash.contains(QStringLiteral("Abc123")));
    EXPECT_TRUE(fx::accounts::passwordMatches(hash, QStringLiteral("Abc123")));

    // Signing in again verifies against the hash and leaves it as it is.
    ASSERT_TRUE(signIn(QStringLiteral("张三"), QStringLiteral("Abc123")));
    EXPECT_EQ(stored(QStringLiteral("张三")), hash);
    EXPECT_FALSE(seen.contains(kEmptyAdvice));
}

TEST_F(PasswordLogin, AWrongPasswordIsRefusedAgainstAHash) {
    fx::test::addUser(currentDb(), install.password(), QStringLiteral("李四"), QString());
    setStored(QStringLiteral("李四"), fx::accounts::hashPassword(QStringLiteral("lisi")));
    const QString hash = stored(QStringLiteral("李四"));

    EXPECT_FALSE(signIn(QStringLiteral("李四"), QStringLiteral("LISI")));
    EXPECT_FALSE(signIn(QStringLiteral("李四"), hash));  // the stored text itself is no password
    EXPECT_FALSE(signIn(QStringLiteral("李四"), QString()));
    EXPECT_EQ(seen.count(kRetry), 3);
    EXPECT_EQ(TLoginDlg::failedAttempts(), 3);
    EXPECT_TRUE(signIn(QStringLiteral("李四"), QStringLiteral("lisi")));
    EXPECT_EQ(stored(QStringLiteral("李四")), hash);
}

TEST_F(PasswordLogin, AnEmptyPasswordStillGivesTheAdviceAndIsNotHashed) {
    fx::test::addUser(currentDb(), install.password(), QStringLiteral("王五"), QString());
    ASSERT_TRUE(signIn(QStringLiteral("王五"), QString()));
    EXPECT_EQ(seen, QStringList{kEmptyAdvice});
    EXPECT_EQ(stored(QStringLiteral("王五")), QString());
}

TEST(PasswordHash, HashesAreSaltedAndMatchOnlyTheirPassword) {
    const QString a = fx::accounts::hashPassword(QStringLiteral("密码123"));
    const QString b = fx::accounts::hashPassword(QStringLiteral("密码123"));
    EXPECT_NE(a, b);
    EXPECT_TRUE(fx::accounts::passwordMatches(a, QStringLiteral("密码123")));
    EXPECT_TRUE(fx::accounts::passwordMatches(b, QStringLiteral("密码123")));
    EXPECT_FALSE(fx::accounts::passwordMatches(a, QStringLiteral("密码12")));
    // The users column was declared for 50 characters by the first layout; the engine keeps
    // longer texts whole, which the read-back in the tests above relies on.
    EXPECT_LE(a.size(), 128);
    EXPECT_TRUE(fx::accounts::hashPassword(QString()).isEmpty());
    EXPECT_FALSE(fx::accounts::needsHashing(QString()));
    EXPECT_FALSE(fx::accounts::needsHashing(a));
    EXPECT_TRUE(fx::accounts::needsHashing(QStringLiteral("clear")));
}

}  // namespace
