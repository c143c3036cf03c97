#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include "backuptestsupport.h"
#include "presencelock.h"

namespace {

using namespace fx::backup;
using fx::test::freeForAnotherProcess;
using fx::test::OtherProgram;

class Presence : public ::testing::Test {
protected:
    void TearDown() override { releasePresence(database); }
    QTemporaryDir dir;
    QString database = dir.filePath(QStringLiteral("gdzc.qsk"));
    QString lock = presenceLockPath(database);
};

TEST_F(Presence, TheLockFileLiesBesideTheDatabase) {
    EXPECT_EQ(lock, dir.filePath(QStringLiteral("gdzc.qsk.lock")));
}

TEST_F(Presence, ARunningProgramKeepsOthersFromTakingItExclusively) {
    EXPECT_TRUE(freeForAnotherProcess(lock));
    ASSERT_TRUE(holdPresence(database));
    EXPECT_TRUE(holdsPresence(database));
    EXPECT_FALSE(freeForAnotherProcess(lock));
    // Holding it twice is holding it once.
    EXPECT_TRUE(holdPresence(database));
    releasePresence(database);
    EXPECT_FALSE(holdsPresence(database));
    EXPECT_TRUE(freeForAnotherProcess(lock));
}

TEST_F(Presence, SeveralProgramsShareIt) {
    OtherProgram other(lock);
    ASSERT_TRUE(other.holding());
    EXPECT_TRUE(holdPresence(database, 0));
}

TEST_F(Presence, ExclusiveAccessIsRefusedWhileAnotherProgramIsPresent) {
    OtherProgram other(lock);
    ASSERT_TRUE(other.holding());
    ExclusiveAccess access(database);
    EXPECT_FALSE(access.acquired());
    EXPECT_FALSE(access.reason().isEmpty());
}

TEST_F(Presence, TheProgramsOwnPresenceDoesNotStandInItsWay) {
    ASSERT_TRUE(holdPresence(database));
    {
        ExclusiveAccess access(database);
        EXPECT_TRUE(access.acquired());
        // Nobody else gets in while it lasts, not even shared.
        EXPECT_FALSE(freeForAnotherProcess(lock));
        OtherProgram late(lock);
        EXPECT_FALSE(late.holding());
    }
    // Afterwards the program is present again, shared: others can join but not take it.
    EXPECT_TRUE(holdsPresence(database));
    EXPECT_FALSE(freeForAnotherProcess(lock));
    OtherProgram joining(lock);
    EXPECT_TRUE(joining.holding());
}

TEST_F(Presence, AFailedAttemptKeepsTheProgramPresent) {
    ASSERT_TRUE(holdPresence(database));
    {
        OtherProgram other(lock);
        ASSERT_TRUE(other.holding());
        ExclusiveAccess access(database);
        EXPECT_FALSE(access.acquired());
    }
    EXPECT_TRUE(holdsPresence(database));
    EXPECT_FALSE(freeForAnotherProcess(lock));
}

TEST_F(Presence, WithoutPresenceExclusiveAccessEndsWithTheOperation) {
    {
        ExclusiveAccess access(database);
        EXPECT_TRUE(access.acquired());
        EXPECT_FALSE(freeForAnotherProcess(lock));
    }
    EXPECT_TRUE(freeForAnotherProcess(lock));
}

TEST_F(Presence, AStartingProgramWaitsForABackupElsewhereAndGivesUpInTime) {
    OtherProgram backingUp(lock, true);
    ASSERT_TRUE(backingUp.holding());
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(holdPresence(database, 300));
    EXPECT_GE(timer.elapsed(), 300);
    EXPECT_FALSE(holdsPresence(database));
}

TEST_F(Presence, AFolderWithoutTheLockFileCannotBeLockedAtAll) {
    const QString nowhere = dir.filePath(QStringLiteral("missing/gdzc.qsk"));
    EXPECT_FALSE(holdPresence(nowhere, 0));
    ExclusiveAccess access(nowhere);
    EXPECT_FALSE(access.acquired());
}

}  // namespace
