#include <gtest/gtest.h>

#include "connection.h"
#include "dberror.h"
#include "testdb.h"

namespace fx::db {
namespace {

struct Explained {
    const char* english;
    const char* shown;
};

// Each engine text a user meets in normal work, as it is shown: Chinese words, then the engine.
class EngineTexts : public ::testing::TestWithParam<Explained> {};

TEST_P(EngineTexts, AreShownInChineseWordsFollowedByTheEnginesText) {
    const DbError e(QString::fromLatin1(GetParam().english));
    EXPECT_EQ(e.message(), QString::fromUtf8(GetParam().shown));
    EXPECT_EQ(QString::fromUtf8(e.what()), QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Known, EngineTexts,
    ::testing::Values(
        Explained{"database disk image is malformed",
                  "数据库文件已经损坏 (database disk image is malformed)"},
        Explained{"attempt to write a readonly database",
                  "数据库文件是只读的，不能写入 (attempt to write a readonly database)"},
        Explained{"database or disk is full",
                  "磁盘已满，数据库不能写入 (database or disk is full)"},
        Explained{"database is locked", "数据库正被其他用户锁定 (database is locked)"}));

TEST(EngineText, InsideALongerMessageItIsExplainedInPlaceAndOnlyOnce) {
    const QString once = explainEngineText(QStringLiteral("无法打开数据库“a”：database is locked"));
    EXPECT_EQ(once,
              QStringLiteral("无法打开数据库“a”：数据库正被其他用户锁定 (database is locked)"));
    EXPECT_EQ(explainEngineText(once), once);
    EXPECT_EQ(DbError(once).message(), once);
    EXPECT_EQ(explainEngineText(QStringLiteral("no such table: sbjl")),
              QStringLiteral("no such table: sbjl"));
}

TEST(EngineText, AWriteRefusedByTheEngineReachesTheCallerInChinese) {
    test::TestDb t;
    t.db().executeNative(QStringLiteral("PRAGMA query_only=1"));
    try {
        t.db().execute(QStringLiteral("delete from person"));
        FAIL() << "the engine took a write on a read-only connection";
    } catch (const DbError& e) {
        EXPECT_EQ(
            e.message(),
            QStringLiteral("数据库文件是只读的，不能写入 (attempt to write a readonly database)"));
    }
}

}  // namespace
}  // namespace fx::db
