#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "appstate.h"
#include "connection.h"
#include "datalocation.h"
#include "dberror.h"
#include "engine.h"
#include "locationdialog.h"
#include "logindialog.h"
#include "pgpass.h"
#include "quote.h"
#include "rowset.h"
#include "scripts.h"
#include "serverlogintest.h"
#include "serverpassworddialog.h"

// Signing in on a database server that checks the account's password: the test server asks
// fx_password for its password (scripts/testserver.sh) and trusts every other role.

namespace {

using fx::DataLocation;
using fx::TLocationDlg;
using fx::TLoginDlg;
using fx::TServerPasswordDlg;
using fx::test::Messages;
using fx::test::ModalScript;
using fx::test::PasswordFile;

const QString kRole = QStringLiteral("fx_password");
// ':' and '\' are escaped in the password file, '\'' and '\' in the connection string.
const QString kRight = QStringLiteral("pa:ss\\wo'rd");
const QString kWrong = QStringLiteral("not the password");
const QString kAdmin = QStringLiteral("系统管理员");
const QString kRefused = QStringLiteral("数据库服务器拒绝了用户名或密码");

// The role with its password, made once on the test server (tests run at once in several
// processes, so another may make it first).
void ensurePasswordRole(fx::db::Connection& admin) {
    const auto exists = [&] {
        fx::db::RowSet r(admin, QStringLiteral("select rolname from pg_roles where rolname=") +
                                    fx::db::quoted(kRole));
        r.open();
        return !r.eof();
    };
    if (exists()) return;
    try {
        admin.engine().run(
            QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD %2").arg(kRole, fx::db::quoted(kRight)));
    } catch (const fx::db::DbError&) {
        if (!exists()) throw;
    }
}

class ServerPassword : public fx::test::ServerLogin {
protected:
    void SetUp() override {
        ServerLogin::SetUp();
        if (IsSkipped()) return;
        auto admin =
            fx::db::Connection::openServer(fx::test::serverConninfo(), QStringLiteral("public"));
        ensurePasswordRole(*admin);
        for (const QString& name : {QStringLiteral("gdzc"), QStringLiteral("dbjl")}) {
            const QString schema = QLatin1Char('"') + prefix + name + QLatin1Char('"');
            admin->engine().run(
                QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(schema, kRole));
            admin->engine().run(
                QStringLiteral(
                    "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA %1 TO %2")
                    .arg(schema, kRole));
            admin->engine().run(
                QStringLiteral("GRANT USAGE, SELECT, UPDATE ON ALL SEQUENCES IN SCHEMA %1 TO %2")
                    .arg(schema, kRole));
        }
        loc = fx::test::testServer(prefix);
        loc.user = kRole;
        // A server started by an older scripts/testserver.sh trusts the role: nothing to test.
        fx::ServerLocation wrong;
        wrong.conninfo = fx::serverConninfo(loc);
        wrong.password = kWrong;
        try {
            fx::db::Connection::openServer(wrong.connectionString(), QStringLiteral("public"));
            GTEST_SKIP() << "the test server does not check " << kRole.toStdString()
                         << "'s password (start it with scripts/testserver.sh)";
        } catch (const fx::db::DbError& e) {
            ASSERT_TRUE(e.isLoginRefused()) << e.message().toStdString();
        }
    }

    // The location file names the server with the role, as after an earlier sign-in there.
    void storeServerLocation() { fx::writeDataLocation(install->appPath(), loc); }
    // A start on the local files, the server to be chosen in the login (as at SetUp).
    void startOnLocalFiles() {
        DataLocation local;
        local.prefix = prefix;
        fx::writeDataLocation(install->appPath(), local);
        state = freshStart();
        asked = 0;
    }

    // The password dialog answered; counts how often it was asked.
    void answerPassword(ModalScript& dialogs, const QString& password, bool remember,
                        int result = QDialog::Accepted) {
        dialogs.then<TServerPasswordDlg>([=, this](TServerPasswordDlg& d) {
            ++asked;
            EXPECT_TRUE(d.Label1->text().contains(kRole)) << d.Label1->text().toStdString();
            EXPECT_TRUE(d.Edit1->text().isEmpty());
            d.Edit1->setText(password);
            d.CheckBox1->setChecked(remember);
            (result == QDialog::Accepted ? d.Button1 : d.Button2)->click();
            return d.result();
        });
    }

    // The server chosen in the location dialog, the password typed beside its address or given
    // when the program asks for it afterwards; 记住密码 ticked where it is given.
    void answerWithServerAndPassword(ModalScript& dialogs, bool inLocationDialog,
                                     const QString& password, bool remember) {
        if (inLocationDialog) {
            answerWithServer(dialogs, loc, password, remember);
        } else {
            answerWithServer(dialogs, loc);
            answerPassword(dialogs, password, remember);
        }
    }

    // The dialog lists the server's users and the administrator signs in; the register is then
    // read through the program's own connection, which must carry the password as well.
    void expectSignedIn(TLoginDlg& d) {
        ASSERT_TRUE(state->onServer());
        ASSERT_GE(d.ComboBox1->findText(kAdmin), 0);
        fx::test::tryLogin(d, kAdmin, QString());
        EXPECT_EQ(d.result(), QDialog::Accepted);
        state->openCurrent();
        ASSERT_TRUE(state->current);
        fx::db::RowSet users(*state->current, QStringLiteral("select * from users"));
        users.open();
        EXPECT_FALSE(users.eof());
        EXPECT_TRUE(state->openHistory());
    }

    // The one message of a refused password, the list left empty to choose again.
    void expectRefused(const Messages& messages, TLoginDlg& d) {
        ASSERT_EQ(messages.seen.size(), 1u);
        EXPECT_EQ(messages.seen[0].icon, fx::ui::Icon::Warning);
        const QString& text = messages.seen[0].text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("无法打开数据库服务器"))) << text.toStdString();
        EXPECT_TRUE(text.contains(kRefused)) << text.toStdString();
        EXPECT_EQ(d.ComboBox1->count(), 0);
        EXPECT_EQ(d.result(), 0);
        EXPECT_FALSE(state->onServer());
    }

    QString line(const QString& password) const {
        return fx::db::passwordFileLine(loc.host, loc.port, loc.dbname, loc.user, password);
    }

    PasswordFile file;  // never the developer's own ~/.pgpass
    DataLocation loc;
    int asked = 0;
};

TEST_F(ServerPassword, WithoutAStoredPasswordItIsAskedOnceAndSignsIn) {
    Messages messages;
    TLoginDlg d(*state);
    ModalScript dialogs;
    answerWithServer(dialogs, loc);
    answerPassword(dialogs, kRight, false);
    d.SpeedButton1->click();
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(messages.seen.empty());
    expectSignedIn(d);
    EXPECT_FALSE(QFile::exists(file.path));
}

// Where the password is given: beside the server's address, else when asked for afterwards.
struct WherePasswordGiven {
    const char* name;
    bool inLocationDialog;
};

TEST_F(ServerPassword, AWrongPasswordIsNamedStoresNothingAndTheUserChoosesAgain) {
    const std::vector<WherePasswordGiven> cases = {
        {"typed in the location dialog", true},
        {"given when asked", false},
    };
    for (const WherePasswordGiven& c : cases) {
        SCOPED_TRACE(c.name);
        startOnLocalFiles();
        Messages messages;
        TLoginDlg d(*state);
        ModalScript dialogs;
        // 记住密码 ticked: still nothing is written for a password the server refused.
        answerWithServerAndPassword(dialogs, c.inLocationDialog, kWrong, true);
        d.SpeedButton1->click();
        EXPECT_TRUE(dialogs.done());
        EXPECT_EQ(asked, c.inLocationDialog ? 0 : 1);
        expectRefused(messages, d);
        EXPECT_FALSE(QFile::exists(file.path));

        // The login is still open: the user chooses the server again and gives the right one.
        messages.seen.clear();
        answerWithServer(dialogs, loc, kRight);
        d.SpeedButton1->click();
        EXPECT_TRUE(messages.seen.empty());
        expectSignedIn(d);
    }
}

TEST_F(ServerPassword, AWrongPasswordAtTheStartLeavesTheDialogToChooseAgain) {
    storeServerLocation();
    Messages messages;
    ModalScript dialogs;
    answerPassword(dialogs, kWrong, false);
    TLoginDlg d(*state);
    EXPECT_FALSE(d.canGoOn());
    EXPECT_EQ(asked, 1);
    expectRefused(messages, d);

    messages.seen.clear();
    answerWithServer(dialogs, loc);
    answerPassword(dialogs, kRight, false);
    d.SpeedButton1->click();
    EXPECT_TRUE(dialogs.done());
    EXPECT_EQ(asked, 2);
    expectSignedIn(d);
}

TEST_F(ServerPassword, CancellingTheQuestionLeavesTheListEmptyWithoutAMessage) {
    storeServerLocation();
    Messages messages;
    ModalScript dialogs;
    answerPassword(dialogs, kRight, true, QDialog::Rejected);
    TLoginDlg d(*state);
    EXPECT_FALSE(d.canGoOn());
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(messages.seen.empty());
    EXPECT_EQ(d.ComboBox1->count(), 0);
    EXPECT_FALSE(state->onServer());
    EXPECT_FALSE(QFile::exists(file.path));
}

TEST_F(ServerPassword, ARememberedPasswordIsPrivateAndTheNextStartDoesNotAsk) {
    const std::vector<WherePasswordGiven> cases = {
        {"ticked in the location dialog", true},
        {"ticked when asked", false},
    };
    for (const WherePasswordGiven& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(file.path);
        startOnLocalFiles();
        {
            Messages messages;
            TLoginDlg d(*state);
            ModalScript dialogs;
            answerWithServerAndPassword(dialogs, c.inLocationDialog, kRight, true);
            d.SpeedButton1->click();
            EXPECT_TRUE(dialogs.done());
            EXPECT_TRUE(messages.seen.empty());
            ASSERT_TRUE(state->onServer());
        }
        EXPECT_EQ(file.mode(), 0600);
        EXPECT_EQ(file.text(), line(kRight) + QLatin1Char('\n'));

        // The next start: the server's client library finds the password in the file.
        state = freshStart();
        Messages messages;
        ModalScript dialogs;  // any dialog now fails the test
        TLoginDlg next(*state);
        EXPECT_TRUE(next.canGoOn());
        EXPECT_TRUE(messages.seen.empty());
        EXPECT_EQ(asked, c.inLocationDialog ? 0 : 1);
        expectSignedIn(next);
        EXPECT_TRUE(state->server->password.isEmpty());
    }
}

struct StoredWrong {
    const char* name;
    QString answer;  // empty: the question is cancelled
    bool remember;
    bool signedIn;
    bool replaced;  // the stored line then holds the right password
};

TEST_F(ServerPassword, AStoredPasswordThatNoLongerFitsIsAskedForAndReplacedOnlyOnSuccess) {
    const std::vector<StoredWrong> cases = {
        {"right, not remembered", kRight, false, true, false},
        {"right, remembered", kRight, true, true, true},
        {"wrong again, remembered", kWrong, true, false, false},
        {"cancelled", QString(), true, false, false},
    };
    storeServerLocation();
    for (const StoredWrong& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray stored = "elsewhere:5432:x:y:z\n" + line(kWrong).toUtf8() + '\n';
        file.write(stored, true);
        asked = 0;
        state = freshStart();
        Messages messages;
        ModalScript dialogs;
        answerPassword(dialogs, c.answer, c.remember,
                       c.answer.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
        TLoginDlg d(*state);
        EXPECT_TRUE(dialogs.done());
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(d.canGoOn(), c.signedIn);
        if (c.signedIn) {
            EXPECT_TRUE(messages.seen.empty());
            expectSignedIn(d);
        } else if (!c.answer.isEmpty()) {
            expectRefused(messages, d);
        } else {
            EXPECT_TRUE(messages.seen.empty());
            EXPECT_EQ(d.ComboBox1->count(), 0);
        }
        if (c.replaced) {
            EXPECT_EQ(file.text(),
                      QStringLiteral("elsewhere:5432:x:y:z\n") + line(kRight) + QLatin1Char('\n'));
            EXPECT_EQ(file.mode(), 0600);
        } else {
            EXPECT_EQ(file.text().toUtf8(), stored);
        }
    }
}

}  // namespace
