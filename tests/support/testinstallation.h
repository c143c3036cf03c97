#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "appstate.h"

namespace fx::test {

// A fresh installation in a temporary folder: the key file, data/ with both keyed databases and
// the registry stand-in pointing at it (XDG_CONFIG_HOME is moved into the folder, so nothing of
// the developer's own configuration is read or written). Removed when destroyed.
class TestInstallation {
public:
    TestInstallation();
    ~TestInstallation();

    QString root() const { return dir_.path(); }
    QString appPath() const { return appPath_; }
    QString dataDir() const { return appPath_ + QStringLiteral("/data/"); }
    QString password() const { return password_; }

    // An AppState for this installation, signed in as the given user with all rights, and with
    // both connections open.
    std::unique_ptr<AppState> signedIn(const QString& user = QStringLiteral("系统管理员"));
    // An AppState with the paths and password set, nobody signed in, no connection open.
    std::unique_ptr<AppState> bare();

private:
    QTemporaryDir dir_;
    QString appPath_;
    QString password_;
};

}  // namespace fx::test
