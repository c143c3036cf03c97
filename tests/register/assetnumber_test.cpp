#include <QStringList>
#include <atomic>
#include <thread>

#include "assetnumber.h"
#include "cardfixture.h"
#include "connection.h"
#include "dberror.h"
#include "testinstallation.h"

namespace fx::test {
namespace {

using namespace fx::numbering;

// ---- reading and writing numbers ----------------------------------------------------------------

TEST(AssetNumberParse, PrefixAndNumber) {
    const ParseResult r = parseAssetNumber(QStringLiteral("JSJ-121"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value.prefix, QStringLiteral("JSJ-"));
    EXPECT_EQ(r.value.number, 121);
    // Leading zeros are read away; the number is shown without them.
    const ParseResult z = parseAssetNumber(QStringLiteral("DN-007"));
    ASSERT_TRUE(z.ok());
    EXPECT_EQ(z.value.number, 7);
    EXPECT_EQ(formatAssetNumber(z.value), QStringLiteral("DN-7"));
    EXPECT_EQ(formatAssetNumber(QStringLiteral("JSJ-"), 0), QStringLiteral("JSJ-0"));
}

TEST(AssetNumberParse, MissingDashOrNumber) {
    EXPECT_EQ(parseAssetNumber(QStringLiteral("JSJ")).error, ParseError::Malformed);
    EXPECT_EQ(parseAssetNumber(QString()).error, ParseError::Malformed);
    EXPECT_EQ(parseAssetNumber(QStringLiteral("JSJ-")).error, ParseError::Incomplete);
    EXPECT_EQ(parseAssetNumber(QStringLiteral("JSJ-12A")).error, ParseError::Malformed);
    EXPECT_EQ(parseAssetNumber(QStringLiteral("JSJ-1-2")).error, ParseError::Malformed);
    EXPECT_EQ(parseAssetNumber(QStringLiteral("JSJ- 1")).error, ParseError::Malformed);
    EXPECT_EQ(parseAssetNumber(QStringLiteral("JSJ-+1")).error, ParseError::Malformed);
    // Beyond what an integer holds.
    EXPECT_EQ(parseAssetNumber(QStringLiteral("JSJ-99999999999")).error, ParseError::Malformed);
    EXPECT_TRUE(parseAssetNumber(QStringLiteral("JSJ-2147483647")).ok());
}

TEST(AssetNumberParse, PrefixIsOneToEightCapitalLetters) {
    EXPECT_EQ(parseAssetNumber(QStringLiteral("-5")).error, ParseError::Malformed);
    EXPECT_TRUE(parseAssetNumber(QStringLiteral("ABCDEFGH-1")).ok());
    EXPECT_EQ(parseAssetNumber(QStringLiteral("ABCDEFGHI-1")).error, ParseError::Malformed);
    EXPECT_EQ(parseAssetNumber(QStringLiteral("J'S-1")).error, ParseError::Malformed);
    EXPECT_EQ(parseAssetNumber(QStringLiteral("J S-1")).error, ParseError::Malformed);
    EXPECT_EQ(parseAssetNumber(QStringLiteral("电脑-1")).error, ParseError::Malformed);
    EXPECT_EQ(parseAssetNumber(QStringLiteral("jsj-1")).error, ParseError::Malformed);
}

TEST(AssetNumberParse, Messages) {
    EXPECT_EQ(malformedMessage(), QStringLiteral("编号栏输入格式错误，请重新输入！例如：JSJ-121"));
    EXPECT_EQ(incompleteMessage(), QStringLiteral("编号栏输入不全，请补齐！例如：JSJ-121"));
}

// ---- numbers in use -----------------------------------------------------------------------------

using NumbersInUseTest = CardTest;

TEST_F(NumbersInUseTest, TakenNumbersAreThoseOfThePrefix) {
    addAsset(QStringLiteral("JSJ-"), 3);
    addAsset(QStringLiteral("DN-"), 4);
    EXPECT_TRUE(isNumberTaken(conn(), QStringLiteral("JSJ-"), 3));
    EXPECT_FALSE(isNumberTaken(conn(), QStringLiteral("JSJ-"), 4));
    EXPECT_FALSE(isNumberTaken(conn(), QStringLiteral("DN-"), 3));
    EXPECT_FALSE(isNumberTaken(conn(), QStringLiteral("JS'J-"), 3));
}

TEST_F(NumbersInUseTest, FirstFreeNumberIsTheEndOfTheRun) {
    for (int n : {1, 2, 3, 5, 6, 9}) addAsset(QStringLiteral("JSJ-"), n);
    addAsset(QStringLiteral("DN-"), 4);
    addAsset(QStringLiteral("DN-"), 7);
    const QString p = QStringLiteral("JSJ-");
    EXPECT_EQ(firstFreeNumber(conn(), p, 1), 4);
    EXPECT_EQ(firstFreeNumber(conn(), p, 2), 4);
    EXPECT_EQ(firstFreeNumber(conn(), p, 4), 4);
    EXPECT_EQ(firstFreeNumber(conn(), p, 5), 7);
    EXPECT_EQ(firstFreeNumber(conn(), p, 9), 10);
    EXPECT_EQ(firstFreeNumber(conn(), p, 0), 0);
    EXPECT_EQ(firstFreeNumber(conn(), QStringLiteral("NEW-"), 1), 1);
}

TEST_F(NumbersInUseTest, ARecordBeingRenumberedDoesNotHoldItsOwnNumber) {
    addAsset(QStringLiteral("JSJ-"), 1);
    addAsset(QStringLiteral("JSJ-"), 2);
    const int own = addAsset(QStringLiteral("JSJ-"), 3);
    addAsset(QStringLiteral("JSJ-"), 4);
    EXPECT_EQ(firstFreeNumber(conn(), QStringLiteral("JSJ-"), 2), 5);
    EXPECT_EQ(firstFreeNumber(conn(), QStringLiteral("JSJ-"), 2, own), 3);
    EXPECT_EQ(firstFreeNumber(conn(), QStringLiteral("JSJ-"), 1, own), 3);
}

TEST_F(NumbersInUseTest, ALongRunIsCrossedAtOnce) {
    QStringList values;
    for (int n = 100; n < 3100; ++n) values << QStringLiteral("('JSJ-',%1)").arg(n);
    conn().executeNative(QStringLiteral("insert into sbjl (id,num) values ") +
                         values.join(QLatin1Char(',')));
    EXPECT_EQ(firstFreeNumber(conn(), QStringLiteral("JSJ-"), 100), 3100);
    EXPECT_EQ(firstFreeNumber(conn(), QStringLiteral("JSJ-"), 2500), 3100);
}

// ---- the prefix registry ------------------------------------------------------------------------

using RegistryTest = CardTest;

TEST_F(RegistryTest, IssuingRegistersANewPrefixAndRaisesTheHighest) {
    RegistryChange c = noteNumberIssued(conn(), QStringLiteral("JSJ-"), 5);
    EXPECT_TRUE(c.inserted);
    EXPECT_TRUE(c.rowsChanged());
    EXPECT_EQ(prefixMax(QStringLiteral("JSJ-")), 5);
    c = noteNumberIssued(conn(), QStringLiteral("JSJ-"), 3);
    EXPECT_FALSE(c.rowsChanged());
    EXPECT_EQ(prefixMax(QStringLiteral("JSJ-")), 5);
    noteNumberIssued(conn(), QStringLiteral("JSJ-"), 8);
    EXPECT_EQ(prefixMax(QStringLiteral("JSJ-")), 8);
    EXPECT_EQ(registeredMax(conn(), QStringLiteral("JSJ-")), 8);
    EXPECT_EQ(registeredMax(conn(), QStringLiteral("DN-")), std::nullopt);
}

TEST_F(RegistryTest, ReleasingTheHighestFallsBackToTheNextHighest) {
    addAsset(QStringLiteral("JSJ-"), 2);
    addAsset(QStringLiteral("JSJ-"), 7);
    setPrefix(QStringLiteral("JSJ-"), 9);
    // Not the highest issued: nothing changes.
    RegistryChange c = noteNumberReleased(conn(), QStringLiteral("JSJ-"), 8);
    EXPECT_FALSE(c.rowsChanged());
    EXPECT_FALSE(c.missing);
    EXPECT_EQ(prefixMax(QStringLiteral("JSJ-")), 9);
    // The highest issued: the highest still in use.
    c = noteNumberReleased(conn(), QStringLiteral("JSJ-"), 9);
    EXPECT_FALSE(c.rowsChanged());
    EXPECT_EQ(prefixMax(QStringLiteral("JSJ-")), 7);
}

TEST_F(RegistryTest, ReleasingTheLastAssetOfAPrefixRemovesThePrefix) {
    setPrefix(QStringLiteral("JSJ-"), 4);
    const RegistryChange c = noteNumberReleased(conn(), QStringLiteral("JSJ-"), 4);
    EXPECT_TRUE(c.deleted);
    EXPECT_TRUE(c.rowsChanged());
    EXPECT_EQ(prefixMax(QStringLiteral("JSJ-")), std::nullopt);
}

TEST_F(RegistryTest, AMissingPrefixIsReportedNotMade) {
    const RegistryChange c = noteNumberReleased(conn(), QStringLiteral("JSJ-"), 4);
    EXPECT_TRUE(c.missing);
    EXPECT_FALSE(c.rowsChanged());
    EXPECT_EQ(prefixMax(QStringLiteral("JSJ-")), std::nullopt);
}

// ---- proposing a number -------------------------------------------------------------------------

using ProposalTest = CardTest;

TEST_F(ProposalTest, NameInItsCategory) {
    const NameDefaults d =
        nameDefaults(conn(), QStringLiteral("打印机"), QStringLiteral("电子设备"));
    EXPECT_EQ(d.source, NameDefaults::Source::NameInCategory);
    EXPECT_EQ(d.prefix, QStringLiteral("DY"));
    EXPECT_FALSE(d.byLocation);
    EXPECT_TRUE(d.knowsStorage());
}

TEST_F(ProposalTest, NameOfAnotherCategoryKeepsItsPrefixAndStorage) {
    const NameDefaults d =
        nameDefaults(conn(), QStringLiteral("打印机"), QStringLiteral("办公家具"));
    EXPECT_EQ(d.source, NameDefaults::Source::NameElsewhere);
    EXPECT_EQ(d.prefix, QStringLiteral("DY"));
    EXPECT_FALSE(d.byLocation);
}

TEST_F(ProposalTest, UnknownNameTakesTheCategoryDefault) {
    const NameDefaults d =
        nameDefaults(conn(), QStringLiteral("投影仪"), QStringLiteral("办公家具"));
    EXPECT_EQ(d.source, NameDefaults::Source::CategoryDefault);
    EXPECT_EQ(d.prefix, QStringLiteral("JJ"));
    EXPECT_TRUE(d.byLocation);
    EXPECT_FALSE(d.knowsStorage());
}

TEST_F(ProposalTest, NothingKnownOrNoName) {
    EXPECT_EQ(nameDefaults(conn(), QStringLiteral("投影仪"), QStringLiteral("O'Brien")).source,
              NameDefaults::Source::Nothing);
    EXPECT_TRUE(
        nameDefaults(conn(), QStringLiteral("投影仪"), QStringLiteral("O'Brien")).prefix.isEmpty());
    EXPECT_EQ(nameDefaults(conn(), QString(), QStringLiteral("电子设备")).source,
              NameDefaults::Source::Nothing);
}

TEST_F(ProposalTest, NextNumberAfterTheHighestIssued) {
    EXPECT_EQ(proposedNumber(conn(), QStringLiteral("DN")), QStringLiteral("DN-1"));
    setPrefix(QStringLiteral("DN-"), 12);
    EXPECT_EQ(proposedNumber(conn(), QStringLiteral("DN")), QStringLiteral("DN-13"));
    EXPECT_TRUE(proposedNumber(conn(), QString()).isEmpty());
}

// ---- two workstations numbering at once ---------------------------------------------------------

FX_BOTH_ENGINES(NumberingTurnTest);

QString insertAsset(const QString& prefix, int number) {
    return QStringLiteral("insert into sbjl (id,num) values ('%1',%2)").arg(prefix).arg(number);
}

TEST_P(NumberingTurnTest, TheSecondWorkstationReadsAfterTheFirstHasStored) {
    TestInstallation installation(GetParam());
    const auto first = installation.openCurrentDatabase();
    const auto second = installation.openCurrentDatabase();
    const QString p = QStringLiteral("JSJ-");
    first->execute(insertAsset(p, 1));

    // The first workstation has found its free number and not stored it yet when the second
    // starts looking; the second must find the number after it, not the same one.
    db::Transaction t(*first);
    takeNumberingTurn(*first);
    const int mine = firstFreeNumber(*first, p, 1);
    ASSERT_EQ(mine, 2);
    std::atomic<bool> secondDone = false;
    int theirs = 0;
    QString failure;
    std::jthread other([&] {
        try {
            db::Transaction u(*second);
            takeNumberingTurn(*second);
            theirs = firstFreeNumber(*second, p, 1);
            second->execute(insertAsset(p, theirs));
            u.commit();
        } catch (const db::DbError& e) {
            failure = e.message();
        }
        secondDone = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(secondDone) << "the second workstation did not wait for its turn";
    first->execute(insertAsset(p, mine));
    t.commit();
    other.join();
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    EXPECT_EQ(theirs, 3);
    EXPECT_EQ(
        first->queryValue(QStringLiteral("select count(*) from sbjl where id='JSJ-'")).toInt(), 3);
}

TEST_P(NumberingTurnTest, TheTurnIsGivenUpWhenTheTransactionGoesBack) {
    TestInstallation installation(GetParam());
    const auto first = installation.openCurrentDatabase();
    const auto second = installation.openCurrentDatabase();
    {
        db::Transaction t(*first);
        takeNumberingTurn(*first);
    }  // rolled back
    db::Transaction u(*second);
    EXPECT_NO_THROW(takeNumberingTurn(*second));
    u.commit();
    // A turn belongs to a transaction.
    try {
        takeNumberingTurn(*first);
        ADD_FAILURE() << "a turn was taken outside a transaction";
    } catch (const db::DbError& e) {
        EXPECT_FALSE(e.isBusy());
    }
}

TEST_P(NumberingTurnTest, AWaitForTheTurnHasALimit) {
    if (!onServer()) GTEST_SKIP() << "on a file the write transaction itself waits (busy)";
    TestInstallation installation(GetParam());
    const auto first = installation.openCurrentDatabase();
    const auto second = installation.openCurrentDatabase();
    db::Transaction t(*first);
    takeNumberingTurn(*first);
    second->executeNative(QStringLiteral("SET lock_timeout = '100ms'"));
    db::Transaction u(*second);
    try {
        takeNumberingTurn(*second);
        ADD_FAILURE() << "the turn was taken twice";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.isBusy()) << e.message().toStdString();
    }
}

}  // namespace
}  // namespace fx::test
