#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "appstate.h"
#include "testinstallation.h"

namespace fx::test {

// One account as it is stored.
struct StoredUser {
    QString password;
    bool passwordIsNull = false;
    Rights rights;
};

// A fresh installation signed in as the administrator, with helpers that read and write table
// users directly.
class UsersFixture {
public:
    UsersFixture();

    AppState& state() { return *state_; }
    // The row of an account, read from the database; nothing when there is no such account.
    std::optional<StoredUser> stored(const QString& user);
    int countNamed(const QString& user);
    int countAll();
    void addAccount(const QString& user, const QString& password, const Rights& rights = {});

    TestInstallation install;

private:
    std::unique_ptr<AppState> state_;
};

}  // namespace fx::test
