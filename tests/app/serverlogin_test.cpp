#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

#include "appstate.h"
#include "connection.h"
#include "datalocation.h"
#include "installation.h"
#include "locationdialog.h"
#include "logindialog.h"
#include "migration.h"
#include "pgpass.h"
#include "schema.h"
#include "scripts.h"
#include "serverlogintest.h"
#include "testinstallation.h"

// Choosing a database server in the location dialog, signing in there, and what the next start
// finds; the server password file.

namespace {

using fx::DataLocation;
using fx::TLocationDlg;
using fx::TLoginDlg;
using fx::test::chooseServer;
using fx::test::Messages;
using fx::test::ModalScript;
using fx::test::PasswordFile;
using fx::test::ServerLogin;
using fx::test::testServer;
using fx::test::tryLogin;

const QString kAdmin = QStringLiteral("系统管理员");
const QString kEmptyAdvice = QStringLiteral("现在您的密码为空,系统建议您进入后立即更改之。");

// ---- the location file ----

TEST(ServerLocationFile, AnOlderFileWithoutServerKeysReadsAsBefore) {
    QTemporaryDir start;
    {
        QSettings ini(fx::locationFilePath(start.path()), QSettings::IniFormat);
        ini.setValue(QStringLiteral("path/net"), 1);
        ini.setValue(QStringLiteral("path/driver"), int('E'));
        ini.setValue(QStringLiteral("path/root"), QStringLiteral("/mnt/share"));
    }
    const DataLocation loc = fx::readDataLocation(start.path());
    EXPECT_FALSE(loc.server);
    EXPECT_TRUE(loc.network);
    EXPECT_EQ(loc.driver, int('E'));
    EXPECT_EQ(fx::determineDataDir(start.path(), QStringLiteral("/opt/fx")),
              QStringLiteral("/mnt/share/"));
}

TEST(ServerLocationFile, TheServerChoiceReadsBackAndKeepsTheSettingsLocal) {
    QTemporaryDir start;
    DataLocation loc;
    loc.network = true;
    loc.driver = 'E';
    loc.root = QStringLiteral("/mnt/share");
    loc.server = true;
    loc.host = QStringLiteral("db.example");
    loc.port = 6543;
    loc.dbname = QStringLiteral("资产");
    loc.user = QStringLiteral("fx");
    fx::writeDataLocation(start.path(), loc);

    const DataLocation back = fx::readDataLocation(start.path());
    EXPECT_TRUE(back.server);
    EXPECT_EQ(back.host, loc.host);
    EXPECT_EQ(back.port, 6543);
    EXPECT_EQ(back.dbname, loc.dbname);
    EXPECT_EQ(back.user, loc.user);
    EXPECT_TRUE(back.prefix.isEmpty());
    // An older program reading the file still finds its network drive.
    QSettings ini(fx::locationFilePath(start.path()), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("path/net")).toInt(), 1);
    EXPECT_EQ(ini.value(QStringLiteral("path/root")).toString(), loc.root);
    EXPECT_EQ(ini.value(QStringLiteral("path/server")).toInt(), 1);
    // fxasset.ini stays in the installation's own data folder.
    EXPECT_EQ(fx::determineDataDir(start.path(), QStringLiteral("/opt/fx")),
              fx::schema::localDataDir(QStringLiteral("/opt/fx")));
}

TEST(ServerLocationFile, TheConnectionStringQuotesEveryValue) {
    DataLocation loc;
    loc.host = QStringLiteral("/tmp/sock dir");
    loc.port = 5433;
    loc.dbname = QStringLiteral("o'brien");
    loc.user = QStringLiteral("a\\b");
    EXPECT_EQ(fx::serverConninfo(loc),
              QStringLiteral("host='/tmp/sock dir' port=5433 dbname='o\\'brien' user='a\\\\b'"));
}

// ---- the location dialog ----

TEST(ServerLocationDialog, HasTheServerChoiceWithItsFieldsUsableOnlyWhenChosen) {
    QTemporaryDir start;
    TLocationDlg d(start.path());
    auto* server = d.findChild<QRadioButton*>(QStringLiteral("RadioButton3"));
    ASSERT_TRUE(server);
    EXPECT_EQ(server->text(), QStringLiteral("数据库服务器"));
    EXPECT_FALSE(server->isChecked());
    const std::vector<std::pair<const char*, QString>> labels = {
        {"Label2", QStringLiteral("服务器地址")}, {"Label3", QStringLiteral("端口")},
        {"Label4", QStringLiteral("数据库名")},   {"Label5", QStringLiteral("用户名")},
        {"Label6", QStringLiteral("服务器密码")},
    };
    for (const auto& [name, text] : labels) {
        auto* label = d.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_TRUE(label) << name;
        EXPECT_EQ(label->text(), text);
        EXPECT_FALSE(label->isEnabled()) << name;
    }
    auto* port = d.findChild<QSpinBox*>(QStringLiteral("SpinEdit1"));
    ASSERT_TRUE(port);
    EXPECT_EQ(port->value(), 5432);
    auto* password = d.findChild<QLineEdit*>(QStringLiteral("Edit4"));
    ASSERT_TRUE(password);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    auto* remember = d.findChild<QCheckBox*>(QStringLiteral("CheckBox1"));
    ASSERT_TRUE(remember);
    EXPECT_EQ(remember->text(), QStringLiteral("记住密码"));

    server->click();
    EXPECT_TRUE(d.Edit1->isEnabled());
    EXPECT_TRUE(d.CheckBox1->isEnabled());
    EXPECT_FALSE(d.DriveComboBox1->isEnabled());
}

TEST(ServerLocationDialog, RefusesAServerWithoutAddressDatabaseOrUserAndWritesNothing) {
    QTemporaryDir start;
    const std::vector<int> missing = {1, 2, 3};
    for (int field : missing) {
        TLocationDlg d(start.path());
        DataLocation loc;
        loc.host = QStringLiteral("db.example");
        loc.dbname = QStringLiteral("assets");
        loc.user = QStringLiteral("fx");
        (field == 1 ? loc.host : field == 2 ? loc.dbname : loc.user) = QStringLiteral("  ");
        chooseServer(d, loc);
        Messages messages;
        d.Button1Click();
        ASSERT_EQ(messages.seen.size(), 1u) << field;
        EXPECT_EQ(messages.seen[0].text,
                  QStringLiteral("请填写数据库服务器的地址、数据库名和用户名。"));
        EXPECT_EQ(d.result(), 0);
        EXPECT_FALSE(QFile::exists(fx::locationFilePath(start.path())));
    }
}

TEST(ServerLocationDialog, OpensOnTheStoredServer) {
    QTemporaryDir start;
    DataLocation loc;
    loc.server = true;
    loc.host = QStringLiteral("db.example");
    loc.port = 6000;
    loc.dbname = QStringLiteral("assets");
    loc.user = QStringLiteral("fx");
    fx::writeDataLocation(start.path(), loc);
    TLocationDlg d(start.path());
    EXPECT_TRUE(d.RadioButton3->isChecked());
    EXPECT_EQ(d.Edit1->text(), loc.host);
    EXPECT_EQ(d.SpinEdit1->value(), 6000);
    EXPECT_EQ(d.Edit2->text(), loc.dbname);
    EXPECT_EQ(d.Edit3->text(), loc.user);
    EXPECT_TRUE(d.Edit4->text().isEmpty());
}

// ---- the password file ----

TEST(ServerPasswordFile, EscapesColonAndBackslash) {
    EXPECT_EQ(fx::db::passwordFileLine(QStringLiteral("/tmp/s"), 5432, QStringLiteral("a:b"),
                                       QStringLiteral("u"), QStringLiteral("p\\w:d")),
              QStringLiteral("/tmp/s:5432:a\\:b:u:p\\\\w\\:d"));
}

TEST(ServerPasswordFile, IsWrittenWithMode0600AndReplacesOnlyItsOwnLine) {
    PasswordFile file;
    file.write(
        "other:5432:db:u:keep\n"
        "db.example:5432:assets:fx:old\n"
        "# a comment\n");
    ASSERT_TRUE(fx::db::rememberPassword(QStringLiteral("db.example"), 5432,
                                         QStringLiteral("assets"), QStringLiteral("fx"),
                                         QStringLiteral("new"))
                    .isEmpty());
    EXPECT_EQ(file.text(), QStringLiteral("other:5432:db:u:keep\n# a comment\n"
                                          "db.example:5432:assets:fx:new\n"));
    EXPECT_EQ(file.mode(), 0600);
    // The same account on another port is another line.
    ASSERT_TRUE(fx::db::rememberPassword(QStringLiteral("db.example"), 5433,
                                         QStringLiteral("assets"), QStringLiteral("fx"),
                                         QStringLiteral("n:2"))
                    .isEmpty());
    EXPECT_TRUE(file.text().endsWith(
        QStringLiteral("db.example:5432:assets:fx:new\ndb.example:5433:assets:fx:n\\:2\n")));
}

TEST(ServerPasswordFile, AFolderThatCannotBeWrittenIsSaid) {
    qputenv("PGPASSFILE", "/nonexistent-folder-18/pgpass");
    const QString problem = fx::db::rememberPassword(QStringLiteral("h"), 5432, QStringLiteral("d"),
                                                     QStringLiteral("u"), QStringLiteral("p"));
    qunsetenv("PGPASSFILE");
    EXPECT_TRUE(problem.startsWith(QStringLiteral("无法写入密码文件"))) << problem.toStdString();
}

// ---- signing in on the server ----

TEST_F(ServerLogin, ChoosingTheServerSignsInThereAndTheNextStartGoesThereAgain) {
    Messages messages;
    TLoginDlg d(*state);
    EXPECT_FALSE(state->onServer());

    // The server's users are told apart from the local ones by one added there.
    {
        fx::ServerLocation where = install->serverLocation();
        auto c = fx::db::Connection::openServer(where.connectionString(), where.currentSchema);
        c->execute(
            QStringLiteral("insert into users ([user],[password],[view],[modi],[ins],[del],"
                           "[jc],[gh],[db],[spmodi]) values ('服务器用户','',true,true,"
                           "true,true,true,true,true,true)"));
    }
    ModalScript dialogs;
    answerWithServer(dialogs, testServer(prefix));
    d.SpeedButton1->click();
    EXPECT_TRUE(dialogs.done());
    ASSERT_GT(d.ComboBox1->count(), 0);
    EXPECT_GE(d.ComboBox1->findText(QStringLiteral("服务器用户")), 0);
    ASSERT_TRUE(state->onServer());
    EXPECT_EQ(state->server->currentSchema, prefix + QStringLiteral("gdzc"));
    EXPECT_EQ(state->server->historySchema, prefix + QStringLiteral("dbjl"));
    EXPECT_EQ(state->dataDir, install->dataDir());
    EXPECT_TRUE(fx::readDataLocation(install->appPath()).server);

    // The next start: the program goes to the server by itself.
    state = freshStart();
    TLoginDlg next(*state);
    EXPECT_TRUE(next.canGoOn());
    ASSERT_TRUE(state->onServer());
    EXPECT_GE(next.ComboBox1->findText(QStringLiteral("服务器用户")), 0);
    tryLogin(next, QStringLiteral("服务器用户"), QString());
    EXPECT_EQ(next.result(), QDialog::Accepted);
    state->openCurrent();
    ASSERT_TRUE(state->current);
    EXPECT_TRUE(state->current->isServer());
    EXPECT_EQ(state->settingsPath(), install->dataDir() + QStringLiteral("fxasset.ini"));
}

struct Failure {
    const char* name;
    std::function<void(DataLocation&, const fx::ServerLocation&)> spoil;
    QString message;
};

TEST_F(ServerLogin, EachServerThatDoesNotOpenIsNamedAndTheDialogStaysOpen) {
    const std::vector<Failure> failures = {
        {"unreachable",
         [](DataLocation& loc, const fx::ServerLocation&) {
             loc.host = QStringLiteral("/nonexistent-socket-folder-18");
         },
         QStringLiteral("无法连接数据库服务器")},
        {"no such database",
         [](DataLocation& loc, const fx::ServerLocation&) {
             loc.dbname = QStringLiteral("fx_no_such_database_18");
         },
         QStringLiteral("数据库服务器上没有这个数据库")},
        {"no schema",
         [](DataLocation& loc, const fx::ServerLocation&) {
             loc.prefix = QStringLiteral("nobody_here_18_");
         },
         QStringLiteral("数据库服务器上没有本程序的数据")},
        {"newer layout",
         [](DataLocation&, const fx::ServerLocation& where) {
             auto c = fx::db::Connection::openServer(where.connectionString(), where.currentSchema);
             c->execute(QStringLiteral("update username set version=%1")
                            .arg(fx::schema::layoutVersion(fx::schema::DatabaseKind::Current) + 1));
         },
         QStringLiteral("较新版本的程序")},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.name);
        DataLocation loc = testServer(prefix);
        f.spoil(loc, install->serverLocation());
        {
            DataLocation stored = fx::readDataLocation(install->appPath());
            stored.prefix = loc.prefix;
            fx::writeDataLocation(install->appPath(), stored);
        }
        Messages messages;
        TLoginDlg d(*state);
        ASSERT_TRUE(d.canGoOn());
        ModalScript dialogs;
        answerWithServer(dialogs, loc);
        d.SpeedButton1->click();
        ASSERT_EQ(messages.seen.size(), 1u);
        EXPECT_EQ(messages.seen[0].icon, fx::ui::Icon::Warning);
        EXPECT_TRUE(messages.seen[0].text.startsWith(QStringLiteral("无法打开数据库服务器")))
            << messages.seen[0].text.toStdString();
        EXPECT_TRUE(messages.seen[0].text.contains(f.message))
            << messages.seen[0].text.toStdString();
        EXPECT_EQ(d.ComboBox1->count(), 0);
        EXPECT_EQ(d.result(), 0);
        EXPECT_FALSE(state->onServer());

        // The user chooses the local database again and signs in there.
        dialogs.then<TLocationDlg>([](TLocationDlg& l) {
            l.RadioButton1->click();
            l.Button1Click();
            return l.result();
        });
        d.SpeedButton1->click();
        EXPECT_GT(d.ComboBox1->count(), 0);
        tryLogin(d, kAdmin, QString());
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_FALSE(state->onServer());
        if (std::string(f.name) == "newer layout") {
            fx::ServerLocation where = install->serverLocation();
            auto c = fx::db::Connection::openServer(where.connectionString(), where.currentSchema);
            c->execute(QStringLiteral("update username set version=%1")
                           .arg(fx::schema::layoutVersion(fx::schema::DatabaseKind::Current)));
        }
    }
}

TEST_F(ServerLogin, AServerThatDoesNotOpenAtTheStartLeavesTheDialogToChooseAgain) {
    DataLocation loc = testServer(prefix);
    loc.host = QStringLiteral("/nonexistent-socket-folder-18");
    fx::writeDataLocation(install->appPath(), loc);
    Messages messages;
    TLoginDlg d(*state);
    EXPECT_FALSE(d.canGoOn());
    EXPECT_EQ(d.ComboBox1->count(), 0);
    ASSERT_EQ(messages.seen.size(), 1u);
    EXPECT_TRUE(messages.seen[0].text.contains(QStringLiteral("/nonexistent-socket-folder-18")));

    ModalScript dialogs;
    answerWithServer(dialogs, testServer(prefix));
    d.SpeedButton1->click();
    EXPECT_GT(d.ComboBox1->count(), 0);
    EXPECT_TRUE(state->onServer());
}

TEST_F(ServerLogin, ThePasswordIsRememberedOnlyWhenTicked) {
    PasswordFile file;
    Messages messages;
    TLoginDlg d(*state);
    ModalScript dialogs;
    answerWithServer(dialogs, testServer(prefix), QStringLiteral("s3cret"), false);
    d.SpeedButton1->click();
    ASSERT_TRUE(state->onServer());
    EXPECT_EQ(state->server->password, QStringLiteral("s3cret"));
    EXPECT_FALSE(QFile::exists(file.path));
    // Nowhere in qslpath.ini.
    QFile ini(fx::locationFilePath(install->appPath()));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains("s3cret"));

    const DataLocation loc = testServer(prefix);
    file.write(
        fx::db::passwordFileLine(loc.host, loc.port, loc.dbname, loc.user, QStringLiteral("stale"))
            .toUtf8() +
        "\nelsewhere:5432:x:y:z\n");
    answerWithServer(dialogs, loc, QStringLiteral("s3cret"), true);
    d.SpeedButton1->click();
    ASSERT_TRUE(state->onServer());
    EXPECT_EQ(file.mode(), 0600);
    EXPECT_EQ(file.text(), QStringLiteral("elsewhere:5432:x:y:z\n") +
                               fx::db::passwordFileLine(loc.host, loc.port, loc.dbname, loc.user,
                                                        QStringLiteral("s3cret")) +
                               QLatin1Char('\n'));
    EXPECT_TRUE(messages.seen.empty());
}

}  // namespace
