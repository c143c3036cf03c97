#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "appstate.h"
#include "backupcommands.h"
#include "backuptestsupport.h"
#include "presencelock.h"
#include "restoremarker.h"
#include "scripts.h"
#include "testinstallation.h"

namespace {

using namespace fx::backup;
using fx::test::freeForAnotherProcess;
using fx::test::OtherProgram;
using fx::test::PromptScript;

class StartUp : public ::testing::Test {
protected:
    void TearDown() override {
        leavePresence(*state);
        leavePresence(*other);
    }
    QString current() const { return install.dataDir() + QStringLiteral("gdzc.qsk"); }

    fx::test::TestInstallation install;
    std::unique_ptr<fx::AppState> state = install.bare();
    fx::test::TestInstallation elsewhere;
    std::unique_ptr<fx::AppState> other = elsewhere.bare();
};

TEST_F(StartUp, TakesPresenceOnBothDatabases) {
    EXPECT_TRUE(beginPresence(nullptr, *state));
    EXPECT_FALSE(freeForAnotherProcess(presenceLockPath(state->currentDatabasePath())));
    EXPECT_FALSE(freeForAnotherProcess(presenceLockPath(state->historyDatabasePath())));
}

TEST_F(StartUp, ASwitchToAnotherDataDirectoryMovesThePresence) {
    ASSERT_TRUE(beginPresence(nullptr, *state));
    state->dataDir = elsewhere.dataDir();
    ASSERT_TRUE(beginPresence(nullptr, *state));
    EXPECT_TRUE(freeForAnotherProcess(presenceLockPath(current())));
    EXPECT_FALSE(freeForAnotherProcess(presenceLockPath(other->currentDatabasePath())));
}

TEST_F(StartUp, ABackupElsewhereThatDoesNotFinishEndsTheStart) {
    OtherProgram backingUp(presenceLockPath(current()), true);
    ASSERT_TRUE(backingUp.holding());
    PromptScript prompts;
    prompts.expect(QStringLiteral("警告"), QStringLiteral("其他用户正在备份或恢复数据"));
    EXPECT_FALSE(beginPresence(nullptr, *state, 200));
}

TEST_F(StartUp, AnInterruptedRestoreEndsTheStartWithTheWayBack) {
    ASSERT_TRUE(writeRestoreMarker(current(), QStringLiteral("/backups/c.qsl")).isEmpty());
    ASSERT_TRUE(QFile::rename(current(), install.dataDir() + QStringLiteral("gdzc.sav")));
    fx::test::writeFile(current(), QByteArray(2048, '\0'));
    std::vector<fx::ui::PromptRequest> seen;
    fx::ui::setPromptHandler([&](const fx::ui::PromptRequest& r) {
        seen.push_back(r);
        return QMessageBox::Ok;
    });
    EXPECT_FALSE(beginPresence(nullptr, *state));
    fx::ui::setPromptHandler({});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].icon, fx::ui::Icon::Stop);
    EXPECT_TRUE(seen[0].text.contains(QStringLiteral("“gdzc.sav”改名为“gdzc.qsk”")));

    // Once the previous database is back, the program starts.
    ASSERT_TRUE(QFile::remove(current()));
    ASSERT_TRUE(QFile::rename(install.dataDir() + QStringLiteral("gdzc.sav"), current()));
    EXPECT_TRUE(beginPresence(nullptr, *state));
}

}  // namespace
