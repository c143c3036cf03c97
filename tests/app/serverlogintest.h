#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "appstate.h"
#include "datalocation.h"
#include "locationdialog.h"
#include "logindialog.h"
#include "logintest.h"
#include "prompt.h"
#include "schema.h"
#include "scripts.h"
#include "testinstallation.h"

// What the tests of signing in on a database server share: the messages seen, a password file
// of the test's own, the test server as the location dialog names it, and an installation whose
// register is on fresh schemas of the test server.

namespace fx::test {

// Points libpq's password file at a temporary folder for the life of a test.
class PasswordFile {
public:
    PasswordFile() : path(dir.path() + QStringLiteral("/pgpass")) {
        qputenv("PGPASSFILE", QFile::encodeName(path));
    }
    ~PasswordFile() { qunsetenv("PGPASSFILE"); }
    QString text() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    int mode() const {
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
        return int(st.st_mode & 0777);
    }
    // Written as given; ownerOnly gives it the mode libpq wants (it ignores a password file
    // others may read).
    void write(const QByteArray& text, bool ownerOnly = false) const {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        if (ownerOnly) {
            ASSERT_TRUE(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        }
    }
    QTemporaryDir dir;
    QString path;
};

// The test server's connection string taken apart: host, port, database, user.
inline DataLocation testServer(const QString& prefix) {
    DataLocation loc;
    loc.server = true;
    loc.prefix = prefix;
    for (const QString& part : serverConninfo().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString key = part.section(QLatin1Char('='), 0, 0);
        const QString value = part.section(QLatin1Char('='), 1);
        if (key == QLatin1String("host")) loc.host = value;
        if (key == QLatin1String("port")) loc.port = value.toInt();
        if (key == QLatin1String("dbname")) loc.dbname = value;
        if (key == QLatin1String("user")) loc.user = value;
    }
    return loc;
}

// Fills the dialog's server fields and chooses the server.
inline void chooseServer(TLocationDlg& d, const DataLocation& loc,
                         const QString& password = QString(), bool remember = false) {
    d.RadioButton3->click();
    d.Edit1->setText(loc.host);
    d.SpinEdit1->setValue(loc.port);
    d.Edit2->setText(loc.dbname);
    d.Edit3->setText(loc.user);
    d.Edit4->setText(password);
    d.CheckBox1->setChecked(remember);
}

// An installation whose register is on the test server, started on its local files: the login
// is where the server gets chosen. Skipped without a test server.
class ServerLogin : public ::testing::Test {
protected:
    void SetUp() override {
        if (serverConninfo().isEmpty()) {
            GTEST_SKIP() << "no test server: FX_TEST_PG is not set (scripts/test.sh starts one)";
        }
        TLoginDlg::resetFailedAttempts();
        install = std::make_unique<TestInstallation>(Engine::Server);
        // The installation's own files as well, where the program starts.
        schema::createDatabases(install->dataDir(), install->password());
        // The program starts on the local files; the server's schemas carry this test's prefix.
        const ServerLocation where = install->serverLocation();
        prefix = where.currentSchema.chopped(4);
        state = freshStart();
        DataLocation local;
        local.prefix = prefix;
        writeDataLocation(install->appPath(), local);
    }

    // An AppState as the program has it before the login: no server yet.
    std::unique_ptr<AppState> freshStart() {
        auto s = install->bare();
        s->server.reset();
        s->dataDir.clear();
        return s;
    }

    // The location dialog answered with the given server and password.
    void answerWithServer(ModalScript& dialogs, const DataLocation& loc,
                          const QString& password = QString(), bool remember = false) {
        dialogs.then<TLocationDlg>([=](TLocationDlg& d) {
            chooseServer(d, loc, password, remember);
            d.Button1Click();
            return d.result();
        });
    }

    std::unique_ptr<TestInstallation> install;
    std::unique_ptr<AppState> state;
    QString prefix;
};

}  // namespace fx::test
