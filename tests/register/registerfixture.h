#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QVariant>
#include <memory>

#include "appstate.h"
#include "mainform.h"
#include "testinstallation.h"

namespace fx::test {

inline const QString kAdmin = QStringLiteral("系统管理员");

inline Rights allRights() {
    return Rights{true, true, true, true, true, true, true, true};
}

// A fresh installation and the state the login leaves behind: paths, password, user and
// rights, no connection open yet. The program clock is fixed for the test.
class RegisterTest : public ::testing::Test {
protected:
    explicit RegisterTest(Engine engine = Engine::File) : inst(engine) {}
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<AppState> signIn(const QString& user = kAdmin,
                                     const Rights& rights = allRights());
    // Runs a statement as the program's schema is written (the file engine's dialect,
    // translated on the server) on the current database, through a connection of its own
    // (test data is written the way the installer writes it).
    void exec(const QString& sql);
    // A statement's first row, one field, as text.
    QString queryText(const QString& jetSql, const QString& field);
    // The installation as it is after its first start: mark set, organisation named.
    void completeFirstUse(const QString& organisation = QStringLiteral("测试单位"));
    // fxasset.ini in the data directory.
    QString iniPath() const;
    QVariant iniValue(const QString& section, const QString& key) const;
    void setIniValue(const QString& section, const QString& key, const QVariant& value);
    // A window started on the installation; fails the test when start-up refuses.
    std::unique_ptr<TMainForm> startedForm(AppState& state);
    // Shuts the window down as a user leaving with "直接退出" in the exit dialog, when it is
    // offered. Replaces any modal script of the test while it runs.
    bool shutDownDirectly(TMainForm& form);

    TestInstallation inst;
};

// A register fixture run on both engines: TEST_P on it, with FX_REGISTER_ON_BOTH_ENGINES.
template <typename Fixture>
class OnBothEngines : public ::testing::WithParamInterface<Engine>, public Fixture {
protected:
    OnBothEngines() : Fixture(availableEngine(GetParam())) {}
    void SetUp() override {
        if (GetParam() == Engine::Server && serverConninfo().isEmpty()) {
            GTEST_SKIP() << "no test server: FX_TEST_PG is not set (scripts/test.sh starts one)";
        }
        Fixture::SetUp();
    }
    bool onServer() const { return GetParam() == Engine::Server; }
};

// While it lives the exit dialog is answered with "直接退出"; any other modal dialog fails the
// test. It replaces the modal handler and restores the real dialogs when it ends.
class DirectExit {
public:
    DirectExit();
    ~DirectExit();
    DirectExit(const DirectExit&) = delete;
    DirectExit& operator=(const DirectExit&) = delete;
    // How many times the exit dialog was offered.
    int offered() const { return offered_; }

private:
    int offered_ = 0;
};

// Gives every command of the window a handler that counts its runs, as if all were built.
class CommandCounter {
public:
    explicit CommandCounter(TMainForm& form);
    int runs(QAction* action) const { return counts_.value(action); }
    // True for a command the counter stands in for (not one the window already runs).
    bool counts(QAction* action) const { return counts_.contains(action); }

private:
    QHash<QAction*, int> counts_;
};

}  // namespace fx::test

// Defines Suite as the register fixture Fixture on both engines.
#define FX_REGISTER_ON_BOTH_ENGINES(Suite, Fixture)             \
    class Suite : public ::fx::test::OnBothEngines<Fixture> {}; \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite, ::fx::test::bothEngines(), ::fx::test::engineName)
