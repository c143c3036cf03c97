#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cctype>
#include <functional>
#include <memory>
#include <vector>

#include "appstate.h"
#include "backupcommands.h"
#include "backuptestsupport.h"
#include "datalocation.h"
#include "presencelock.h"
#include "prompt.h"
#include "restoremarker.h"
#include "scripts.h"
#include "testinstallation.h"

// On a server installation the local data folder holds only the settings: the program takes no
// presence lock there and nothing found there keeps it from starting.

namespace {

using namespace fx::backup;
using fx::test::freeForAnotherProcess;
using fx::test::Messages;
using fx::test::OtherProgram;

// A server for the state; nothing here connects to it.
fx::ServerLocation someServer() {
    fx::ServerLocation server;
    server.conninfo = QStringLiteral("host=/nonexistent-socket-folder-18 dbname=assets");
    return server;
}

class ServerPresence : public ::testing::Test {
protected:
    void TearDown() override {
        state->server.reset();
        leavePresence(*state);
    }
    QString current() const { return state->currentDatabasePath(); }
    QString history() const { return state->historyDatabasePath(); }

    fx::test::TestInstallation install;
    std::unique_ptr<fx::AppState> state = install.bare();
};

// What in the local data folder refuses the start of a file installation. Whatever it holds
// lives until the case ends.
struct LocalObstacle {
    const char* name;
    std::function<std::shared_ptr<void>(const fx::AppState&)> make;
};

std::vector<LocalObstacle> obstacles() {
    return {
        {"a backup running elsewhere",
         [](const fx::AppState& s) -> std::shared_ptr<void> {
             auto other =
                 std::make_shared<OtherProgram>(presenceLockPath(s.currentDatabasePath()), true);
             EXPECT_TRUE(other->holding());
             return other;
         }},
        {"a lock file that cannot be opened",
         [](const fx::AppState& s) -> std::shared_ptr<void> {
             // Stands for a folder that cannot be written (the tests may run as root).
             EXPECT_TRUE(QFile::link(QStringLiteral("/nonexistent-folder-18/gdzc.qsk.lock"),
                                     presenceLockPath(s.currentDatabasePath())));
             return nullptr;
         }},
        {"an interrupted restore",
         [](const fx::AppState& s) -> std::shared_ptr<void> {
             const QString db = s.currentDatabasePath();
             EXPECT_TRUE(writeRestoreMarker(db, QStringLiteral("/backups/c.qsl")).isEmpty());
             EXPECT_TRUE(QFile::rename(db, savedDatabasePath(db)));
             fx::test::writeFile(db, QByteArray(2048, '\0'));
             return nullptr;
         }},
    };
}

void PrintTo(const LocalObstacle& o, std::ostream* os) {
    *os << o.name;
}

class ServerPresenceAgainst : public ServerPresence,
                              public ::testing::WithParamInterface<LocalObstacle> {};

TEST_P(ServerPresenceAgainst, RefusesTheFilesButNotTheServer) {
    const std::shared_ptr<void> obstacle = GetParam().make(*state);
    {
        Messages messages;
        EXPECT_FALSE(beginPresence(nullptr, *state, 200));
        ASSERT_EQ(messages.seen.size(), 1u);
        EXPECT_EQ(messages.seen[0].icon, fx::ui::Icon::Stop);
    }
    state->server = someServer();
    Messages messages;
    EXPECT_TRUE(beginPresence(nullptr, *state, 200));
    EXPECT_TRUE(enterPresence(*state, 200));
    EXPECT_TRUE(messages.seen.empty());
    EXPECT_FALSE(holdsPresence(current()));
    EXPECT_FALSE(holdsPresence(history()));
}

INSTANTIATE_TEST_SUITE_P(Obstacles, ServerPresenceAgainst, ::testing::ValuesIn(obstacles()),
                         [](const ::testing::TestParamInfo<LocalObstacle>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                             return name;
                         });

TEST_F(ServerPresence, SigningInOnTheServerGivesUpTheLockOfTheFiles) {
    ASSERT_TRUE(beginPresence(nullptr, *state));
    ASSERT_FALSE(freeForAnotherProcess(presenceLockPath(current())));
    state->server = someServer();
    ASSERT_TRUE(beginPresence(nullptr, *state));
    EXPECT_TRUE(freeForAnotherProcess(presenceLockPath(current())));
    EXPECT_TRUE(freeForAnotherProcess(presenceLockPath(history())));
}

TEST_F(ServerPresence, EnterPresenceTakesNoLockOnAServer) {
    OtherProgram backingUp(presenceLockPath(current()), true);
    ASSERT_TRUE(backingUp.holding());
    EXPECT_FALSE(enterPresence(*state, 200));
    state->server = someServer();
    EXPECT_TRUE(enterPresence(*state, 200));
    EXPECT_FALSE(holdsPresence(current()));
}

struct BeforeLogin {
    const char* name;
    bool server;         // the location file names a database server
    bool folderMissing;  // the data folder is not there
    bool starts;
};

TEST_F(ServerPresence, BeforeTheLoginOnlyTheFilesOfAFolderThatIsThereAreLocked) {
    const std::vector<BeforeLogin> cases = {
        {"the files", false, false, false},
        {"a database server", true, false, true},
        {"a folder that is not there", false, true, true},
    };
    OtherProgram backingUp(presenceLockPath(current()), true);
    ASSERT_TRUE(backingUp.holding());
    for (const BeforeLogin& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir start;
        fx::DataLocation loc;
        loc.server = c.server;
        loc.host = QStringLiteral("db.example");
        loc.dbname = QStringLiteral("assets");
        loc.user = QStringLiteral("fx");
        fx::writeDataLocation(start.path(), loc);
        auto s = install.bare();
        s->startDir = start.path();
        if (c.folderMissing) s->dataDir = start.path() + QStringLiteral("/no-such-folder/");
        Messages messages;
        EXPECT_EQ(beginPresenceBeforeLogin(nullptr, *s, 200), c.starts);
        EXPECT_EQ(messages.seen.size(), c.starts ? 0u : 1u);
        EXPECT_FALSE(holdsPresence(s->currentDatabasePath()));
    }
}

}  // namespace
