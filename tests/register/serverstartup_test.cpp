#include <gtest/gtest.h>

#include "backuptestsupport.h"
#include "connection.h"
#include "mainform.h"
#include "presencelock.h"
#include "registerfixture.h"
#include "scripts.h"

// A server installation starts while its local data folder is locked by another program: the
// register is on the server, and the folder holds only the settings.

namespace fx::test {
namespace {

class ServerStartUpTest : public RegisterTest {
protected:
    ServerStartUpTest() : RegisterTest(availableEngine(Engine::Server)) {}
    void SetUp() override {
        if (serverConninfo().isEmpty()) {
            GTEST_SKIP() << "no test server: FX_TEST_PG is not set (scripts/test.sh starts one)";
        }
        RegisterTest::SetUp();
    }
};

TEST_F(ServerStartUpTest, StartsWhileAnotherProgramHoldsTheLocalFilesExclusively) {
    completeFirstUse();
    auto state = signIn();
    ASSERT_TRUE(state->onServer());
    OtherProgram backingUp(backup::presenceLockPath(state->currentDatabasePath()), true);
    ASSERT_TRUE(backingUp.holding());
    {
        PromptScript noMessages;
        ModalScript noDialogs;
        TMainForm form(*state);
        ASSERT_TRUE(form.startUp());
        ASSERT_TRUE(state->current);
        EXPECT_TRUE(state->current->isServer());
        EXPECT_FALSE(backup::holdsPresence(state->currentDatabasePath()));
        EXPECT_FALSE(backup::holdsPresence(state->historyDatabasePath()));
        EXPECT_TRUE(shutDownDirectly(form));
    }
    EXPECT_FALSE(backup::holdsPresence(state->currentDatabasePath()));
}

}  // namespace
}  // namespace fx::test
