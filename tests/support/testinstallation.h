#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "appstate.h"
#include "testserver.h"

namespace fx::test {

// A fresh installation in a temporary folder: the key file, data/ with both keyed databases and
// the registry stand-in pointing at it (XDG_CONFIG_HOME is moved into the folder, so nothing of
// the developer's own configuration is read or written). Removed when destroyed.
// On the server engine the two databases are instead two fresh schemas of the test server
// (dropped when destroyed), and the AppStates given out work on them; the folder still holds
// the key file and the settings.
class TestInstallation {
public:
    explicit TestInstallation(Engine engine = Engine::File);
    ~TestInstallation();

    QString root() const { return dir_.path(); }
    QString appPath() const { return appPath_; }
    QString dataDir() const { return appPath_ + QStringLiteral("/data/"); }
    QString password() const { return password_; }
    bool onServer() const { return space_ != nullptr; }
    // The server location the AppStates use; only on the server engine.
    ServerLocation serverLocation() const;

    // An AppState for this installation, signed in as the given user with all rights, and with
    // both connections open.
    std::unique_ptr<AppState> signedIn(const QString& user = QStringLiteral("系统管理员"));
    // An AppState with the paths and password set, nobody signed in, no connection open.
    std::unique_ptr<AppState> bare();
    // A connection of its own to the current database: the file, or the server's schema.
    std::unique_ptr<db::Connection> openCurrentDatabase() const;
    // The same for the history database.
    std::unique_ptr<db::Connection> openHistoryDatabase() const;

private:
    QTemporaryDir dir_;
    QString appPath_;
    QString password_;
    std::unique_ptr<ServerSpace> space_;
};

}  // namespace fx::test
